#pragma once
// The calls into libjpeg that can fail. libjpeg reports an error by calling the error
// manager, which here jumps (longjmp) back to the setjmp at the start of the function that
// made the call. So each function below keeps only plain C data in its frame (nothing whose
// destructor a jump would skip) and turns the jump into `false` and a message. Warnings
// (corrupt or missing data that libjpeg would paper over) are failures too.

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace quarbel::codecs::jpeg::libjpeg {

// What a warning (damaged but readable data) does: fail like an error, or let the decode go on.
enum class Warnings { Fail, Tolerate };

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    Warnings warnings;
};

// Points a libjpeg object's error reporting at `error`: an error (and a warning, unless
// tolerated) formats its message into error->message and jumps back to error->jump.
jpeg_error_mgr* useErrorManager(ErrorManager* error, Warnings warnings = Warnings::Fail);

// A source file opened for reading its coefficients. Zero-initialise, then openSource; always
// closeSource, also after a failure.
struct Source {
    jpeg_decompress_struct info;
    ErrorManager error;
    bool created;
    jvirt_barray_ptr* coefficients;  // after readCoefficients
    JOCTET* iccProfile;              // after readIccProfile; malloc'ed
    unsigned int iccLength;
};

// Reads the header, keeping APP1 and APP2 segments (EXIF, ICC) in info.marker_list.
bool openSource(Source* source, const unsigned char* data, unsigned long size);
bool readIccProfile(Source* source);
bool readCoefficients(Source* source);
void closeSource(Source* source);

// A file being written. Zero-initialise; always closeOutput, also after a failure.
struct Output {
    jpeg_compress_struct info;
    ErrorManager error;
    bool created;
    jpeg_destination_mgr destination;  // grows buffer (malloc'ed, freed by closeOutput)
    unsigned char* buffer;
    std::size_t capacity;
    std::size_t size;  // after writeOutput
};
void closeOutput(Output* output);

// The quantisation tables libjpeg writes at a quality (1..100, baseline), natural order.
struct Tables {
    unsigned short luma[DCTSIZE2];
    unsigned short chroma[DCTSIZE2];
};
bool tablesForQuality(Output* scratch, int quality, Tables* tables);

// Replaces every coefficient of the source by the nearest multiple of the new step, from its
// dequantised value: component 0 takes the luma table, the others the chroma table.
bool requantise(Source* source, const Tables* tables);

struct MarkerView {
    int code;  // JPEG_APP0 + n or JPEG_COM
    const unsigned char* data;
    unsigned int length;
};

enum class Quantisation { Source, Target };

// Writes the source's coefficients as a baseline JPEG: with the source's tables, or with the
// target tables at `quality` (component 0 the luma table, the others the chroma table).
// `markers` are written right after SOI, and nothing else before the frame. On success
// output->buffer holds output->size bytes.
bool writeOutput(Output* output, Source* source, Quantisation quantisation, int quality,
                 const MarkerView* markers, int markerCount);

// Encodes 8-bit pixels (1 band grey, 3 bands RGB; rows `stride` bytes apart) as a baseline
// JPEG the way libvips' saver does: libjpeg's defaults at `quality`, chroma halved below
// quality 90, no JFIF segment, standard Huffman tables. `markers` follow SOI. On success
// output->buffer holds output->size bytes.
bool writePixels(Output* output, const unsigned char* pixels, int width, int height, int bands,
                 std::size_t stride, int quality, const MarkerView* markers, int markerCount);

}  // namespace quarbel::codecs::jpeg::libjpeg
