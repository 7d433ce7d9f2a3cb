#include "codecs/jpeg/Libjpeg.h"

#include <jerror.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace quarbel::codecs::jpeg::libjpeg {

namespace {

[[noreturn]] void failWith(j_common_ptr info)
{
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, error->message);
    std::longjmp(error->jump, 1);
}

void exitWithError(j_common_ptr info) { failWith(info); }

void emitMessage(j_common_ptr info, int level)
{
    // A warning: the data is corrupt or incomplete.
    if (level < 0 && reinterpret_cast<ErrorManager*>(info->err)->warnings == Warnings::Fail)
        failWith(info);
}

void outputNothing(j_common_ptr) {}

// The destination grows a malloc'ed buffer that is ours to free in every case (libjpeg's own
// memory destination loses its last buffer when compression is aborted).
Output* outputOf(j_compress_ptr info) { return static_cast<Output*>(info->client_data); }

void startDestination(j_compress_ptr) {}

boolean growDestination(j_compress_ptr info)
{
    Output* out = outputOf(info);
    const std::size_t used = out->capacity;
    auto* grown = static_cast<unsigned char*>(std::realloc(out->buffer, used * 2));
    if (!grown)
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    out->buffer = grown;
    out->capacity = used * 2;
    out->destination.next_output_byte = grown + used;
    out->destination.free_in_buffer = out->capacity - used;
    return TRUE;
}

void endDestination(j_compress_ptr) {}

}  // namespace

jpeg_error_mgr* useErrorManager(ErrorManager* error, Warnings warnings)
{
    jpeg_std_error(&error->pub);
    error->pub.error_exit = exitWithError;
    error->pub.emit_message = emitMessage;
    error->pub.output_message = outputNothing;
    error->message[0] = '\0';
    error->warnings = warnings;
    return &error->pub;
}

bool openSource(Source* source, const unsigned char* data, unsigned long size)
{
    source->info.err = useErrorManager(&source->error);
    if (setjmp(source->error.jump))
        return false;
    jpeg_create_decompress(&source->info);
    source->created = true;
    jpeg_mem_src(&source->info, data, size);
    jpeg_save_markers(&source->info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&source->info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&source->info, TRUE);
    return true;
}

bool readIccProfile(Source* source)
{
    if (setjmp(source->error.jump))
        return false;
    jpeg_read_icc_profile(&source->info, &source->iccProfile, &source->iccLength);
    return true;
}

bool readCoefficients(Source* source)
{
    if (setjmp(source->error.jump))
        return false;
    source->coefficients = jpeg_read_coefficients(&source->info);
    return source->coefficients != nullptr;
}

void closeSource(Source* source)
{
    if (source->created)
        jpeg_destroy_decompress(&source->info);
    source->created = false;
    std::free(source->iccProfile);
    source->iccProfile = nullptr;
}

void closeOutput(Output* output)
{
    if (output->created)
        jpeg_destroy_compress(&output->info);
    output->created = false;
    std::free(output->buffer);
    output->buffer = nullptr;
}

namespace {

// Call after setjmp: a failed allocation jumps back like any libjpeg error.
void useGrowingDestination(Output* output, std::size_t initialCapacity)
{
    if (!output->buffer) {
        output->capacity = initialCapacity;
        output->buffer = static_cast<unsigned char*>(std::malloc(output->capacity));
        if (!output->buffer)
            ERREXIT1(&output->info, JERR_OUT_OF_MEMORY, 0);
    }
    output->destination.init_destination = startDestination;
    output->destination.empty_output_buffer = growDestination;
    output->destination.term_destination = endDestination;
    output->destination.next_output_byte = output->buffer;
    output->destination.free_in_buffer = output->capacity;
    output->info.dest = &output->destination;
}

bool createOutput(Output* output)
{
    output->info.err = useErrorManager(&output->error);
    if (setjmp(output->error.jump))
        return false;
    jpeg_create_compress(&output->info);
    output->info.client_data = output;
    output->created = true;
    return true;
}

}  // namespace

bool tablesForQuality(Output* scratch, int quality, Tables* tables)
{
    if (!scratch->created && !createOutput(scratch))
        return false;
    if (setjmp(scratch->error.jump))
        return false;
    scratch->info.in_color_space = JCS_YCbCr;
    scratch->info.input_components = 3;
    jpeg_set_defaults(&scratch->info);
    jpeg_set_quality(&scratch->info, quality, TRUE);
    for (int k = 0; k < DCTSIZE2; ++k) {
        tables->luma[k] = scratch->info.quant_tbl_ptrs[0]->quantval[k];
        tables->chroma[k] = scratch->info.quant_tbl_ptrs[1]->quantval[k];
    }
    return true;
}

bool requantise(Source* source, const Tables* tables)
{
    j_decompress_ptr info = &source->info;
    if (setjmp(source->error.jump))
        return false;
    for (int ci = 0; ci < info->num_components; ++ci) {
        jpeg_component_info* component = &info->comp_info[ci];
        const UINT16* from = component->quant_table->quantval;
        const unsigned short* to = ci == 0 ? tables->luma : tables->chroma;
        // Nearest multiple, halves away from zero, in single precision so that the loop has no
        // branch and vectorises (a division per coefficient took 40% of the whole transcode).
        // A dequantised coefficient of 8-bit samples is at most about 2^11, so the product's
        // error is below 2^-12, while the quotients of different values lie at least 1/255
        // apart (a baseline step is at most 255): the bias only settles exact halves that
        // the rounding put a hair below. Any product fits an int (2^15 x 2^16); values of
        // hostile files are held to JCOEF's range, and the encoder refuses what does not fit
        // its codes.
        float ratio[DCTSIZE2];
        for (int k = 0; k < DCTSIZE2; ++k)
            ratio[k] = float(from[k]) / float(to[k]);
        for (JDIMENSION row = 0; row < component->height_in_blocks; ++row) {
            JBLOCKARRAY blocks = info->mem->access_virt_barray(reinterpret_cast<j_common_ptr>(info),
                                                               source->coefficients[ci], row, 1, TRUE);
            JBLOCKROW blockRow = blocks[0];
            for (JDIMENSION column = 0; column < component->width_in_blocks; ++column) {
                JCOEF* block = blockRow[column];
                for (int k = 0; k < DCTSIZE2; ++k) {
                    const float value = float(block[k]) * ratio[k];
                    const int rounded = int(value + std::copysign(0.5f + 1e-3f, value));
                    block[k] = JCOEF(std::clamp(rounded, -32767, 32767));
                }
            }
        }
    }
    return true;
}

bool writeOutput(Output* output, Source* source, Quantisation quantisation, int quality,
                 const MarkerView* markers, int markerCount)
{
    if (!output->created && !createOutput(output))
        return false;
    if (setjmp(output->error.jump))
        return false;
    j_compress_ptr info = &output->info;
    // Requantised output is rarely more than half the source.
    useGrowingDestination(output, 64 * 1024);

    jpeg_copy_critical_parameters(&source->info, info);
    if (quantisation == Quantisation::Target) {
        jpeg_set_quality(info, quality, TRUE);
        for (int ci = 0; ci < info->num_components; ++ci)
            info->comp_info[ci].quant_tbl_no = ci == 0 ? 0 : 1;
    }
    info->write_JFIF_header = FALSE;
    info->write_Adobe_marker = FALSE;
    info->optimize_coding = FALSE;
    jpeg_write_coefficients(info, source->coefficients);
    for (int i = 0; i < markerCount; ++i)
        jpeg_write_marker(info, markers[i].code, markers[i].data, markers[i].length);
    jpeg_finish_compress(info);
    output->size = output->capacity - output->destination.free_in_buffer;
    return true;
}

bool writePixels(Output* output, const unsigned char* pixels, int width, int height, int bands,
                 std::size_t stride, int quality, const MarkerView* markers, int markerCount)
{
    if (!output->created && !createOutput(output))
        return false;
    if (setjmp(output->error.jump))
        return false;
    j_compress_ptr info = &output->info;
    useGrowingDestination(output, std::max<std::size_t>(4096, std::size_t(width) * std::size_t(height) / 2));
    info->image_width = JDIMENSION(width);
    info->image_height = JDIMENSION(height);
    info->input_components = bands;
    info->in_color_space = bands == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(info);
    info->optimize_coding = FALSE;
    jpeg_set_quality(info, quality, TRUE);
    if (quality >= 90)
        for (int ci = 0; ci < info->num_components; ++ci)
            info->comp_info[ci].h_samp_factor = info->comp_info[ci].v_samp_factor = 1;
    info->write_JFIF_header = FALSE;
    jpeg_start_compress(info, TRUE);
    for (int i = 0; i < markerCount; ++i)
        jpeg_write_marker(info, markers[i].code, markers[i].data, markers[i].length);
    while (info->next_scanline < info->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + std::size_t(info->next_scanline) * stride);
        jpeg_write_scanlines(info, &row, 1);
    }
    jpeg_finish_compress(info);
    output->size = output->capacity - output->destination.free_in_buffer;
    return true;
}

}  // namespace quarbel::codecs::jpeg::libjpeg
