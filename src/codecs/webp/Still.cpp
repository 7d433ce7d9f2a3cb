#include "codecs/webp/Container.h"
#include "codecs/webp/Planes.h"
#include "codecs/webp/Settings.h"
#include "codecs/webp/WebpWriter.h"

#include <webp/encode.h>

namespace quarbel::codecs::webp {

namespace {

// Rows gathered before libwebp converts them: an even number (see Planes.h), few enough that
// the gathered RGB stays small beside the planes.
constexpr int kStripRows = 32;

// libwebp's output in memory, released whatever happens.
struct Output {
    WebPMemoryWriter writer;
    Output() { WebPMemoryWriterInit(&writer); }
    ~Output() { WebPMemoryWriterClear(&writer); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
};

}  // namespace

// The rows that came in, gathered into strips as RGB or RGBA and converted strip by strip.
class StillWriter::Rows {
public:
    Rows(int width, int height, int bands)
        : m_planes(width, height, rgbBands(bands) == 4 ? Alpha::Plane : Alpha::None),
          m_height(height),
          m_bands(bands),
          m_strip(std::size_t(kStripRows) * std::size_t(width) * std::size_t(rgbBands(bands)))
    {}

    void add(const PixelView& rows)
    {
        const int width = m_planes.picture().width;
        if (rows.width != width || rows.bands != m_bands ||
            m_planes.rowsDone() + m_gathered + rows.height > m_height)
            throw Failure("internal error: rows that do not fit the WebP picture");
        const std::size_t rowBytes = std::size_t(width) * std::size_t(rgbBands(m_bands));
        for (int y = 0; y < rows.height; ++y) {
            copyAsRgb(rows.row(y), m_bands, width, m_strip.data() + std::size_t(m_gathered) * rowBytes);
            if (++m_gathered == kStripRows)
                flush();
        }
    }

    Planes& finish()
    {
        flush();
        if (m_planes.rowsDone() != m_height)
            throw Failure("internal error: the WebP picture is missing rows");
        return m_planes;
    }

private:
    void flush()
    {
        if (m_gathered)
            m_planes.import(
                tightView(m_strip.data(), m_planes.picture().width, m_gathered, rgbBands(m_bands)));
        m_gathered = 0;
    }

    Planes m_planes;
    int m_height, m_bands;
    Bytes m_strip;
    int m_gathered = 0;
};

StillWriter::StillWriter(int width, int height, int bands, Options options) : m_options(std::move(options))
{
    checkSize(width, height);
    if (bands < 1 || bands > 4)
        throw Failure("internal error: WebP output takes 1 to 4 bands");
    m_rows = std::make_unique<Rows>(width, height, bands);
}

StillWriter::~StillWriter() = default;

void StillWriter::add(const PixelView& rows)
{
    checkCancel(m_options.cancel);
    m_rows->add(rows);
}

Bytes StillWriter::finish()
{
    if (!m_rows)
        throw Failure("internal error: the WebP file was taken already");
    WebPPicture& picture = m_rows->finish().picture();
    const WebPConfig config = configFor(m_options.quality);
    Output output;
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &output.writer;
    watch(picture, m_options.cancel);
    const bool encoded = WebPEncode(&config, &picture);
    const WebPEncodingError error = picture.error_code;
    m_rows.reset();  // the planes go before the file is put together
    if (!encoded)
        fail(error);
    return withChunks(Bytes(output.writer.mem, output.writer.mem + output.writer.size), m_options);
}

Bytes encode(const PixelView& picture, const Options& options)
{
    StillWriter writer(picture.width, picture.height, picture.bands, options);
    writer.add(picture);
    return writer.finish();
}

}  // namespace quarbel::codecs::webp
