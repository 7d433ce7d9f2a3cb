#include "jobs/imageservice/ProcessText.h"

#include <charconv>

namespace quarbel::imageservice {

namespace {

// What follows a parameter's name: the kind of its value.
constexpr char kNone = 'n', kBool = 'b', kNumber = 'i', kText = 's';
constexpr std::string_view kFilter = "F", kProperty = "P";

}  // namespace

void appendField(std::string& text, std::string_view field)
{
    text += std::to_string(field.size());
    text += ':';
    text += field;
}

bool takeField(std::string_view& text, std::string_view& field)
{
    std::size_t length = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), length);
    if (error != std::errc() || end == text.data() + text.size() || *end != ':')
        return false;
    const std::size_t start = std::size_t(end - text.data()) + 1;
    if (length > text.size() - start)
        return false;
    field = text.substr(start, length);
    text.remove_prefix(start + length);
    return true;
}

std::string processToText(const ImageProcess& process)
{
    std::string text;
    for (const Filter& filter : process.Filters().AllFilters()) {
        appendField(text, kFilter);
        appendField(text, filter.FilterID());
        for (const Property& property : filter.AllProperties()) {
            appendField(text, kProperty);
            appendField(text, property.Name);
            if (const auto* flag = std::get_if<bool>(&property.Value)) {
                appendField(text, std::string_view(&kBool, 1));
                appendField(text, *flag ? "1" : "0");
            } else if (const auto* number = std::get_if<long long>(&property.Value)) {
                appendField(text, std::string_view(&kNumber, 1));
                appendField(text, std::to_string(*number));
            } else if (const auto* words = std::get_if<std::string>(&property.Value)) {
                appendField(text, std::string_view(&kText, 1));
                appendField(text, *words);
            } else {
                appendField(text, std::string_view(&kNone, 1));
                appendField(text, "");
            }
        }
    }
    return text;
}

bool processFromText(std::string_view text, ImageProcess& process)
{
    Filter* filter = nullptr;
    while (!text.empty()) {
        std::string_view tag, name;
        if (!takeField(text, tag) || !takeField(text, name))
            return false;
        if (tag == kFilter) {
            process.Filters().Add(std::string(name), 0);
            filter = &process.Filters()(process.Filters().Count());
            continue;
        }
        std::string_view kind, value;
        if (tag != kProperty || !filter || !takeField(text, kind) || !takeField(text, value) ||
            kind.size() != 1)
            return false;
        PropertyValue& target = filter->Properties(std::string(name)).Value;
        switch (kind[0]) {
        case kNone: target = std::monostate(); break;
        case kBool: target = value == "1"; break;
        case kText: target = std::string(value); break;
        case kNumber: {
            long long number = 0;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
            if (error != std::errc() || end != value.data() + value.size())
                return false;
            target = number;
            break;
        }
        default: return false;
        }
    }
    return true;
}

}  // namespace quarbel::imageservice
