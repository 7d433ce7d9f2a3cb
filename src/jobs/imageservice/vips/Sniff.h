#pragma once
// Recognising an image file's format from its first bytes (never from its name).

#include "formats/Formats.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace quarbel::imageservice {

using formats::Format;

// The signatures of the table of formats first, then the formats that need a closer look
// (BMP's header, the brands of HEIF and AVIF, SVG's XML).
Format sniffFormat(const std::uint8_t* data, std::size_t size);

const char* formatIdOf(Format format);     // FormatID::* text, "" for Unknown
Format formatOfId(const std::string& id);  // Unknown for any other text
const char* formatName(Format format);     // "JPEG", "PNG", ... ("unknown")

// Which of Heif and Avif an ISO base media file (an "ftyp" box first) is, from its major and
// compatible brands; Unknown when it names neither.
Format heifBrandOf(const std::uint8_t* data, std::size_t size);

// Whether the text starts (after a byte order mark, blanks, an XML declaration, comments and
// a document type) with an <svg element.
bool looksLikeSvg(const std::uint8_t* data, std::size_t size);

}  // namespace quarbel::imageservice
