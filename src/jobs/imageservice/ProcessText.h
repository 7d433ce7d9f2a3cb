#pragma once
// A filter chain written as text and read back, so that a worker process can run the same
// chain: every filter's identifier and every parameter with its kind of value. The text is
// a run of length-prefixed fields ("5:Scale"), so any bytes a parameter holds survive.

#include "jobs/imageservice/ImageService.h"

#include <charconv>
#include <string>
#include <string_view>

namespace quarbel::imageservice {

std::string processToText(const ImageProcess& process);
// Fills an empty process; false when the text is not one processToText wrote.
bool processFromText(std::string_view text, ImageProcess& process);

// The fields themselves, for texts that carry a chain among other things.
void appendField(std::string& text, std::string_view field);
// Reads the field at the front of text and removes it; false when there is none.
bool takeField(std::string_view& text, std::string_view& field);
// The same for a field that holds a number in decimal digits and nothing else.
template <typename Number>
bool takeNumber(std::string_view& text, Number& number)
{
    std::string_view field;
    if (!takeField(text, field))
        return false;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    return error == std::errc() && end == field.data() + field.size();
}

}  // namespace quarbel::imageservice
