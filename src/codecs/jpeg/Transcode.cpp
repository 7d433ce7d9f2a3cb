#include "codecs/jpeg/Transcode.h"

#include "codecs/jpeg/Exif.h"
#include "codecs/jpeg/Libjpeg.h"
#include "codecs/jpeg/Profile.h"

#include <cstring>

namespace quarbel::codecs::jpeg {

namespace {

struct SourceFile {
    libjpeg::Source s{};
    ~SourceFile() { libjpeg::closeSource(&s); }
};

struct OutputFile {
    libjpeg::Output o{};
    ~OutputFile() { libjpeg::closeOutput(&o); }
};

Transcoded failed(std::string message)
{
    Transcoded result;
    result.outcome = Outcome::Failed;
    result.reason = message.empty() ? "the JPEG library failed" : std::move(message);
    return result;
}

Transcoded notEligible(std::string why)
{
    Transcoded result;
    result.outcome = Outcome::NotEligible;
    result.reason = std::move(why);
    return result;
}

bool samplingMatches(const jpeg_decompress_struct& info, Chroma chroma)
{
    if (info.num_components == 1)
        return true;
    const jpeg_component_info* c = info.comp_info;
    const bool full = c[0].h_samp_factor == c[1].h_samp_factor && c[0].v_samp_factor == c[1].v_samp_factor &&
                      c[0].h_samp_factor == c[2].h_samp_factor && c[0].v_samp_factor == c[2].v_samp_factor;
    if (chroma == Chroma::Full)
        return full;
    return c[0].h_samp_factor == 2 && c[0].v_samp_factor == 2 && c[1].h_samp_factor == 1 &&
           c[1].v_samp_factor == 1 && c[2].h_samp_factor == 1 && c[2].v_samp_factor == 1;
}

int orientationOf(const jpeg_decompress_struct& info)
{
    for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && isExif(m->data, m->data_length))
            return exifOrientation(m->data, m->data_length);
    return 1;
}

std::size_t coefficientBytes(const jpeg_decompress_struct& info)
{
    std::size_t total = 0;
    for (int ci = 0; ci < info.num_components; ++ci) {
        const jpeg_component_info& c = info.comp_info[ci];
        // Rows and columns are held in whole MCUs.
        const std::size_t columns = (c.width_in_blocks + c.h_samp_factor) * sizeof(JBLOCK);
        total += columns * (c.height_in_blocks + c.v_samp_factor);
    }
    return total;
}

enum class Steps { Coarser, Finer, Mixed };

// How the target's steps compare with the source's, over every component.
Steps compareSteps(const jpeg_decompress_struct& info, const libjpeg::Tables& target, bool latched)
{
    bool anyCoarser = false, anyFiner = false;
    for (int ci = 0; ci < info.num_components; ++ci) {
        const jpeg_component_info& c = info.comp_info[ci];
        const bool known = c.quant_tbl_no >= 0 && c.quant_tbl_no < NUM_QUANT_TBLS;
        const JQUANT_TBL* table = latched ? c.quant_table
                                  : known ? info.quant_tbl_ptrs[c.quant_tbl_no]
                                          : nullptr;
        if (!table)
            return Steps::Mixed;
        const unsigned short* to = ci == 0 ? target.luma : target.chroma;
        for (int k = 0; k < DCTSIZE2; ++k) {
            anyCoarser |= to[k] > table->quantval[k];
            anyFiner |= to[k] < table->quantval[k];
        }
    }
    if (anyCoarser && anyFiner)
        return Steps::Mixed;
    return anyFiner ? Steps::Finer : Steps::Coarser;
}

// The frame header's table numbers come straight from the file; libjpeg checks them only
// when a scan starts. A number past the four tables makes the file unreadable: the reason,
// or "" when every component names a table that can exist.
std::string whyUnreadable(const jpeg_decompress_struct& info)
{
    for (int ci = 0; ci < info.num_components; ++ci) {
        const int number = info.comp_info[ci].quant_tbl_no;
        if (number < 0 || number >= NUM_QUANT_TBLS)
            return "the JPEG file names quantisation table " + std::to_string(number) +
                   ", which cannot exist";
    }
    return {};
}

// Why the file cannot be written from its coefficients, or "" when it can.
std::string whyNotEligible(libjpeg::Source& source, const Target& target)
{
    const jpeg_decompress_struct& info = source.info;
    for (int ci = 0; ci < info.num_components; ++ci)
        if (!info.quant_tbl_ptrs[info.comp_info[ci].quant_tbl_no])
            return "the JPEG file defines a quantisation table only after its first scan";
    if (info.data_precision != 8)
        return "the JPEG file has " + std::to_string(info.data_precision) + "-bit samples";
    const bool grey = info.num_components == 1 && info.jpeg_color_space == JCS_GRAYSCALE;
    const bool ycc = info.num_components == 3 && info.jpeg_color_space == JCS_YCbCr;
    if (!grey && !ycc)
        return "the JPEG file is neither YCbCr nor greyscale";
    if (!samplingMatches(info, target.chroma))
        return "the JPEG file's chroma sampling differs from the one written at this quality";
    if (orientationOf(info) != 1)
        return "the picture is turned by its EXIF orientation";
    if (source.iccProfile && !isSrgbProfile(source.iccProfile, source.iccLength))
        return "the JPEG file has a colour profile other than sRGB";
    if (coefficientBytes(info) > target.maxCoefficientBytes)
        return "the picture is too large to hold its coefficients in memory";
    return {};
}

}  // namespace

namespace {

// The part of the decision that the header gives: outcome NotEligible or Failed with the
// reason, else Requantised or Copied (steps says which).
Transcoded decideFromHeader(SourceFile& source, OutputFile& output, const std::uint8_t* data,
                            std::size_t size, const Target& target, libjpeg::Tables& tables, Steps& steps)
{
    if (target.quality < 1 || target.quality > 100)
        return notEligible("the quality is outside 1 to 100");
    if (!libjpeg::openSource(&source.s, data, size) || !libjpeg::readIccProfile(&source.s))
        return failed(source.s.error.message);
    if (std::string why = whyUnreadable(source.s.info); !why.empty())
        return failed(std::move(why));
    if (std::string why = whyNotEligible(source.s, target); !why.empty())
        return notEligible(why);
    if (!libjpeg::tablesForQuality(&output.o, target.quality, &tables))
        return failed(output.o.error.message);
    steps = compareSteps(source.s.info, tables, false);
    if (steps == Steps::Mixed)
        return notEligible(
            "the target's quantisation steps are finer than the source's for some coefficients "
            "and coarser for others");
    Transcoded result;
    result.outcome = steps == Steps::Coarser ? Outcome::Requantised : Outcome::Copied;
    return result;
}

}  // namespace

Transcoded decide(const std::uint8_t* data, std::size_t size, const Target& target)
{
    SourceFile source;
    OutputFile output;
    libjpeg::Tables tables;
    Steps steps;
    return decideFromHeader(source, output, data, size, target, tables, steps);
}

Transcoded transcode(const std::uint8_t* data, std::size_t size, const Target& target)
{
    SourceFile source;
    OutputFile output;
    libjpeg::Tables tables;
    Steps before = Steps::Mixed;
    if (Transcoded decision = decideFromHeader(source, output, data, size, target, tables, before);
        !decision.written())
        return decision;

    if (!libjpeg::readCoefficients(&source.s))
        return failed(source.s.error.message);
    // A file may define its tables anew between scans: decide on those its scans used.
    const Steps steps = compareSteps(source.s.info, tables, true);
    if (steps != before)
        return notEligible("the JPEG file changes its quantisation tables between scans");
    if (steps == Steps::Coarser && !libjpeg::requantise(&source.s, &tables))
        return failed(source.s.error.message);

    std::vector<libjpeg::MarkerView> markers;
    for (const Marker& m : target.markers)
        markers.push_back({m.code, m.payload.data(), unsigned(m.payload.size())});
    const auto quantisation =
        steps == Steps::Coarser ? libjpeg::Quantisation::Target : libjpeg::Quantisation::Source;
    if (!libjpeg::writeOutput(&output.o, &source.s, quantisation, target.quality, markers.data(),
                              int(markers.size())))
        return failed(output.o.error.message);

    Transcoded result;
    result.outcome = steps == Steps::Coarser ? Outcome::Requantised : Outcome::Copied;
    result.bytes.assign(output.o.buffer, output.o.buffer + output.o.size);
    return result;
}

std::vector<Marker> metadataSegments(const std::uint8_t* data, std::size_t size)
{
    std::vector<Marker> segments;
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return segments;
    std::size_t pos = 2;
    while (pos + 4 <= size && data[pos] == 0xFF) {
        const int code = data[pos + 1];
        if (code == 0xFF) {
            ++pos;
            continue;
        }
        if (code == 0xDA || code == 0xD9)
            break;
        const std::size_t length = std::size_t(data[pos + 2]) << 8 | data[pos + 3];
        if (length < 2 || pos + 2 + length > size)
            break;
        if ((code >= 0xE0 && code <= 0xEF) || code == 0xFE)
            segments.push_back({code, std::vector<std::uint8_t>(data + pos + 4, data + pos + 2 + length)});
        pos += 2 + length;
    }
    return segments;
}

}  // namespace quarbel::codecs::jpeg
