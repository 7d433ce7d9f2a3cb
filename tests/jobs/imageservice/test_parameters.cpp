// Filters and their parameters: what Apply refuses, with a reason, before touching pixels.

#include "TestImages.h"

#include <gtest/gtest.h>

namespace quarbel::imageservice::testing {
namespace {

struct BadSetting {
    const char* name;
    const char* filter;  // "Convert", "Scale" or an unknown filter name
    const char* property;
    PropertyValue value;
};

class BadSettings : public ::testing::TestWithParam<BadSetting> {};

TEST_P(BadSettings, ApplyFailsAndLeavesTheResultAlone)
{
    const BadSetting& s = GetParam();
    TempDir dir;
    writeFile(dir.file("in.png"), encodeMaster(Kind::Png));
    ImageFile in, out;
    ASSERT_TRUE(in.LoadFile(dir.file("in.png")));
    ImageProcess process;
    process.Filters().Add(process.FilterInfos(s.filter).FilterID(), 0);
    if (std::string(s.filter) == "Convert" && std::string(s.property) != "FormatID")
        process.Filters()(1).Properties("FormatID").Value = std::string(FormatID::JPEG);
    process.Filters()(1).Properties(s.property).Value = s.value;
    const Result r = process.Apply(in, out);
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.reason.empty());
    EXPECT_TRUE(out.IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, BadSettings,
    ::testing::Values(BadSetting{"unknown_filter", "Sharpen", "Amount", std::string("1")},
                      BadSetting{"unknown_property", "Convert", "Colour", std::string("red")},
                      BadSetting{"quality_text", "Convert", "Quality", std::string("abc")},
                      BadSetting{"quality_zero", "Convert", "Quality", std::string("0")},
                      BadSetting{"quality_101", "Convert", "Quality", std::string("101")},
                      BadSetting{"quality_empty", "Convert", "Quality", std::string("")},
                      BadSetting{"quality_negative", "Convert", "Quality", -5LL},
                      BadSetting{"format_unknown", "Convert", "FormatID",
                                 std::string("{00000000-0000-0000-0000-000000000000}")},
                      BadSetting{"format_missing_value", "Convert", "FormatID", PropertyValue{}},
                      BadSetting{"width_letters", "Scale", "MaximumWidth", std::string("12a")},
                      BadSetting{"width_negative", "Scale", "MaximumWidth", -3LL},
                      BadSetting{"height_signed_text", "Scale", "MaximumHeight", std::string("-3")},
                      BadSetting{"aspect_text", "Scale", "PreserveAspectRatio", std::string("maybe")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Filters, ChainBuildsAsTheJobsUseIt)
{
    ImageProcess process;
    EXPECT_TRUE(process.FilterInfos("Nothing").FilterID().empty());
    const std::string convert = process.FilterInfos("Convert").FilterID();
    const std::string scaleId = process.FilterInfos("Scale").FilterID();
    EXPECT_FALSE(convert.empty());
    EXPECT_NE(convert, scaleId);
    process.Filters().Add(convert, 0);
    process.Filters().Add(scaleId, 1);  // before the first
    ASSERT_EQ(process.Filters().Count(), 2);
    EXPECT_EQ(process.Filters()(1).FilterID(), scaleId);
    EXPECT_EQ(process.Filters()(2).FilterID(), convert);
    process.Filters()(2).Properties("Quality").Value = std::string("80");
    process.Filters()(2).Properties("Quality").Value = std::string("85");
    EXPECT_EQ(process.Filters()(2).AllProperties().size(), 1u);
    // Out of range gives an inert filter, and setting on it changes nothing in the chain.
    process.Filters()(7).Properties("Quality").Value = std::string("1");
    EXPECT_TRUE(process.Filters()(7).AllProperties().empty());
    EXPECT_EQ(process.Filters().Count(), 2);
}

TEST(Filters, ScaleThenConvertRunsBothAndNumbersMayBeWholeNumbers)
{
    TempDir dir;
    writeFile(dir.file("in.bmp"), encodeMaster(Kind::Bmp));
    ImageFile in, out;
    ASSERT_TRUE(in.LoadFile(dir.file("in.bmp")));
    ImageProcess process;
    process.Filters().Add(process.FilterInfos("Scale").FilterID(), 0);
    process.Filters()(1).Properties("MaximumWidth").Value = 48LL;
    process.Filters()(1).Properties("MaximumHeight").Value = 48LL;  // aspect kept by default
    process.Filters().Add(process.FilterInfos("Convert").FilterID(), 0);
    process.Filters()(2).Properties("FormatID").Value = std::string("{b96b3caf-0728-11d3-9d7b-0000f81ef32e}");
    ASSERT_TRUE(process.Apply(in, out));
    EXPECT_EQ(out.FormatID(), FormatID::PNG);
    EXPECT_EQ(out.Width(), 48);
    EXPECT_EQ(out.Height(), 32);
}

TEST(Filters, ApplyWithoutPictureFails)
{
    ImageFile empty, out;
    ImageProcess process;
    process.Filters().Add(process.FilterInfos("Convert").FilterID(), 0);
    process.Filters()(1).Properties("FormatID").Value = std::string(FormatID::PNG);
    EXPECT_FALSE(process.Apply(empty, out));
    EXPECT_FALSE(empty.SaveFile("/tmp/never-written.png"));
}

}  // namespace
}  // namespace quarbel::imageservice::testing
