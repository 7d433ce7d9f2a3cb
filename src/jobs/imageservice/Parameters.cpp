#include "jobs/imageservice/Parameters.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace quarbel::imageservice {

namespace {

constexpr long long kLargestSide = 1'000'000'000;  // beyond any format; caught later as too large

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string describe(const PropertyValue& value)
{
    if (std::holds_alternative<std::string>(value))
        return "\"" + std::get<std::string>(value) + "\"";
    if (std::holds_alternative<long long>(value))
        return std::to_string(std::get<long long>(value));
    if (std::holds_alternative<bool>(value))
        return std::get<bool>(value) ? "True" : "False";
    return "nothing";
}

Result badValue(const Property& p, const std::string& expected)
{
    return Result::failure("the value " + describe(p.Value) + " of " + p.Name + " is not " + expected);
}

// A whole number from a number or a text of digits. An empty text is `emptyAs`, when allowed.
Result wholeNumber(const Property& p, long long& out, bool emptyAllowed, const std::string& expected)
{
    if (std::holds_alternative<long long>(p.Value)) {
        out = std::get<long long>(p.Value);
        return Result::success();
    }
    if (!std::holds_alternative<std::string>(p.Value))
        return badValue(p, expected);
    const std::string& text = std::get<std::string>(p.Value);
    if (text.empty()) {
        out = 0;
        return emptyAllowed ? Result::success() : badValue(p, expected);
    }
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return badValue(p, expected);
        value = std::min(kLargestSide + 1, value * 10 + (c - '0'));
    }
    out = value;
    return Result::success();
}

Result boolean(const Property& p, bool& out)
{
    if (std::holds_alternative<bool>(p.Value)) {
        out = std::get<bool>(p.Value);
        return Result::success();
    }
    if (std::holds_alternative<long long>(p.Value)) {
        out = std::get<long long>(p.Value) != 0;
        return Result::success();
    }
    if (std::holds_alternative<std::string>(p.Value)) {
        const std::string text = lower(std::get<std::string>(p.Value));
        if (text == "true" || text == "-1" || text == "1") {
            out = true;
            return Result::success();
        }
        if (text == "false" || text == "0") {
            out = false;
            return Result::success();
        }
    }
    return badValue(p, "True or False");
}

Result keepMetadata(const Property& p, Plan& plan)
{
    bool keep = true;
    if (auto r = boolean(p, keep); !r)
        return r;
    plan.metadata = keep ? Metadata::Keep : Metadata::Strip;
    return Result::success();
}

Result convertParameter(const Property& p, Plan& plan)
{
    if (p.Name == "FormatID") {
        const std::string* id = std::get_if<std::string>(&p.Value);
        std::string upper = id ? *id : std::string();
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return std::toupper(c); });
        const Format format = formatOfId(upper);
        if (format == Format::Unknown)
            return badValue(p, "a known format identifier");
        plan.target = format;
        return Result::success();
    }
    if (p.Name == "Quality") {
        long long quality = 0;
        if (auto r = wholeNumber(p, quality, false, "a quality from 1 to 100"); !r)
            return r;
        if (quality < 1 || quality > 100)
            return badValue(p, "a quality from 1 to 100");
        plan.jpegQuality = int(quality);
        return Result::success();
    }
    if (p.Name == "KeepMetadata")
        return keepMetadata(p, plan);
    return Result::failure("the Convert filter has no parameter named " + p.Name);
}

Result scaleParameter(const Property& p, Plan& plan)
{
    if (p.Name == "MaximumWidth" || p.Name == "MaximumHeight") {
        long long value = 0;
        if (auto r = wholeNumber(p, value, true, "a size in pixels"); !r)
            return r;
        if (value < 0)
            return badValue(p, "a size in pixels");
        (p.Name == "MaximumWidth" ? plan.width : plan.height) = value;
        return Result::success();
    }
    if (p.Name == "PreserveAspectRatio")
        return boolean(p, plan.preserveAspectRatio);
    if (p.Name == "KeepMetadata")
        return keepMetadata(p, plan);
    return Result::failure("the Scale filter has no parameter named " + p.Name);
}

}  // namespace

Result makePlan(const FilterList& filters, Plan& plan)
{
    plan = Plan();
    for (const Filter& filter : filters.AllFilters()) {
        const bool convert = filter.FilterID() == kConvertFilterId;
        const bool scale = filter.FilterID() == kScaleFilterId;
        if (!convert && !scale)
            return Result::failure("unknown filter \"" + filter.FilterID() + "\"");
        plan.scale = plan.scale || scale;
        for (const Property& p : filter.AllProperties()) {
            if (auto r = convert ? convertParameter(p, plan) : scaleParameter(p, plan); !r)
                return r;
        }
    }
    return Result::success();
}

Size scaledSize(const Plan& plan, int sourceWidth, int sourceHeight)
{
    const double w = sourceWidth, h = sourceHeight;
    // Halves go to the even neighbour, as everywhere in the program.
    auto atLeastOne = [](double v) {
        return std::max(1LL, std::llrint(std::min(v, double(kLargestSide + 1))));
    };
    if (plan.width == 0 && plan.height == 0)
        return {sourceWidth, sourceHeight};
    if (plan.width == 0)
        return {atLeastOne(plan.height * w / h), plan.height};
    if (plan.height == 0)
        return {plan.width, atLeastOne(plan.width * h / w)};
    if (!plan.preserveAspectRatio)
        return {plan.width, plan.height};
    const double factor = std::min(plan.width / w, plan.height / h);
    return {atLeastOne(w * factor), atLeastOne(h * factor)};
}

}  // namespace quarbel::imageservice
