// quarbel-gallery's command line: what it accepts and how it names what it refuses.

#include "gallery/RenderCommand.h"

#include <gtest/gtest.h>
#include <QFont>
#include <QImage>

namespace quarbel::gallery {
namespace {

QStringList split(const char* line) { return QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts); }

TEST(CommandLineTest, NoArgumentsOpenTheWindowAndHelpPrintsUsage)
{
    EXPECT_EQ(parseCommandLine({}).mode, Mode::Window);
    EXPECT_EQ(parseCommandLine(split("--help")).mode, Mode::Help);
    EXPECT_EQ(parseCommandLine(split("--render progressbar -h")).mode, Mode::Help);
    EXPECT_EQ(parseCommandLine(split("--version")).mode, Mode::Version);
    EXPECT_EQ(parseCommandLine(split("--")).mode, Mode::Window);
    EXPECT_TRUE(usage().contains("progressbar"));
}

TEST(CommandLineTest, RenderTakesControlSizePropertiesAndOutput)
{
    const Command c =
        parseCommandLine(split("--render ProgressBar --size 100x17 --prop scrolling=4 --prop Color=65280 "
                               "--prop Value=50 --out a.png"));
    ASSERT_EQ(c.mode, Mode::Render) << c.error.toStdString();
    EXPECT_EQ(c.render.control, "progressbar");
    EXPECT_EQ(c.render.size, QSize(100, 17));
    ASSERT_EQ(c.render.properties.size(), 3u);
    // Names take the control's own spelling.
    EXPECT_EQ(c.render.properties[0].first, "Scrolling");
    EXPECT_EQ(c.render.properties[0].second, "4");
    EXPECT_EQ(c.render.out, "a.png");
    EXPECT_EQ(c.render.colors, ColorSource::Classic);
    EXPECT_EQ(
        parseCommandLine(split("--render progressbar --size 1x1 --out a.png --colors palette")).render.colors,
        ColorSource::Palette);
}

TEST(CommandLineTest, ValuesMayFollowAnEqualsSignAndDoubleDashEndsTheOptions)
{
    const Command spaced =
        parseCommandLine(split("--render progressbar --size 9x7 --prop Value=-5 --state= --out a.png"));
    const Command joined =
        parseCommandLine(split("--render=progressbar --size=9x7 --prop=Value=-5 --out=a.png --"));
    ASSERT_EQ(joined.mode, Mode::Render) << joined.error.toStdString();
    EXPECT_EQ(spaced.mode, Mode::Error);  // "--state=" names no state
    EXPECT_EQ(joined.render.control, "progressbar");
    EXPECT_EQ(joined.render.size, QSize(9, 7));
    ASSERT_EQ(joined.render.properties.size(), 1u);
    EXPECT_EQ(joined.render.properties[0].second, "-5");
    EXPECT_EQ(joined.render.out, "a.png");
    // After "--" nothing is an option, and the gallery takes no other words.
    const Command after = parseCommandLine(split("--render progressbar --size 9x7 --out a.png -- --help"));
    EXPECT_EQ(after.mode, Mode::Error);
    EXPECT_TRUE(after.error.contains("\"--help\"")) << after.error.toStdString();
}

struct Refusal {
    const char* line;
    const char* mentions;
};

class RefusalTest : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusalTest, WrongCommandLinesAreErrorsNamingTheCulprit)
{
    const Command c = parseCommandLine(split(GetParam().line));
    EXPECT_EQ(c.mode, Mode::Error);
    EXPECT_TRUE(c.error.contains(QString::fromUtf8(GetParam().mentions))) << c.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RefusalTest,
    ::testing::Values(Refusal{"--render thermometer --size 10x10 --out a.png", "thermometer"},
                      Refusal{"--render progressbar --size 10x10 --prop Colour=1 --out a.png", "Colour"},
                      Refusal{"--render progressbar --size 10x10 --prop =1 --out a.png", "=1"},
                      Refusal{"--render progressbar --size 10x10 --prop Value --out a.png", "Value"},
                      Refusal{"--render progressbar --size 0x10 --out a.png", "0x10"},
                      Refusal{"--render progressbar --size 100 --out a.png", "100"},
                      Refusal{"--render progressbar --size 4097x10 --out a.png", "4097x10"},
                      Refusal{"--render progressbar --size -5x10 --out a.png", "-5x10"},
                      Refusal{"--render progressbar --out a.png", "--size"},
                      Refusal{"--render progressbar --size 10x10", "--out"},
                      Refusal{"--size 10x10 --out a.png", "--render"},
                      Refusal{"--render progressbar --size 10x10 --out", "--out"},
                      Refusal{"--render progressbar --size 10x10 --out a.png --colors pink", "pink"},
                      Refusal{"--render progressbar --size 10x10 --out a.png --verbose", "--verbose"},
                      Refusal{"--render progressbar --size 10x10 --out a.png --state hover,glow", "glow"},
                      Refusal{"--render progressbar --size 10x10 --out a.png --state ,", "\"\""},
                      // The progress bar has no states to show.
                      Refusal{"--render progressbar --size 10x10 --out a.png --state focus", "focus"},
                      Refusal{"--render progressbar --size 10x10 --out a.png extra", "\"extra\""},
                      Refusal{"--render progressbar --size 10x10 --out=", "--out"},
                      Refusal{"--render progressbar --size 10x10 --out a.png -x", "\"-x\""},
                      Refusal{"--render progressbar --size 10x10 --out a.png -render", "\"-render\""},
                      Refusal{"--render progressbar --size=4097x10 --out a.png", "4097x10"}));

TEST(CommandLineTest, StatesCombineCaseInsensitivelyEachOnce)
{
    QString error;
    EXPECT_EQ(parseStates("hover", &error), QStringList{"hover"});
    EXPECT_EQ(parseStates("Pressed, HOVER,focus,hover", &error), (QStringList{"pressed", "hover", "focus"}));
    EXPECT_FALSE(parseStates("hover,disabled", &error));
    EXPECT_TRUE(error.contains("\"disabled\"")) << error.toStdString();
}

TEST(PropertyValueTest, ValuesAreCheckedAgainstTheirKind)
{
    QString error;
    EXPECT_EQ(propertyValue("progressbar", "Value", "50", &error)->toInt(), 50);
    // Colours may be written as unsigned numbers; they keep their 32 bits.
    EXPECT_EQ(
        static_cast<std::uint32_t>(propertyValue("progressbar", "Color", "0x8000000D", &error)->toLongLong()),
        0x8000000Du);
    EXPECT_EQ(propertyValue("progressbar", "Color", "16777215", &error)->toLongLong(), 16777215);
    EXPECT_TRUE(propertyValue("progressbar", "ShowText", "True", &error)->toBool());
    EXPECT_TRUE(propertyValue("progressbar", "ShowText", "1", &error)->toBool());
    EXPECT_FALSE(propertyValue("progressbar", "ShowText", "false", &error)->toBool());

    for (const auto& [name, raw] :
         std::vector<std::pair<const char*, const char*>>{{"Value", "abc"},
                                                          {"Value", "1.5"},
                                                          {"Color", "4294967296"},
                                                          {"Max", "-2147483649"},
                                                          {"ShowText", "maybe"},
                                                          {"Image", "/nonexistent/picture.png"},
                                                          {"Image", "png:@@"}}) {
        error.clear();
        EXPECT_FALSE(propertyValue("progressbar", name, raw, &error)) << name << "=" << raw;
        EXPECT_TRUE(error.contains(name)) << error.toStdString();
        EXPECT_TRUE(error.contains(raw)) << error.toStdString();
    }
}

}  // namespace
}  // namespace quarbel::gallery
