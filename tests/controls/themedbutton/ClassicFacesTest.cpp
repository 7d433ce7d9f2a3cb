// Faces of styles 0 to 4 and the desktop-style face 6, pixel by pixel on tiny surfaces. The
// expected colours are worked out by hand from the classic system colours: face F =
// 0xC8D0D4 (212, 208, 200), shadow and grey text 0x808080, button highlight and window white,
// 3-D dark shadow 0x404040, 3-D light = face, highlight H = 0x6A240A (10, 36, 106).

#include "../../gfx/PixelGrid.h"
#include "TestApp.h"
#include "controls/themedbutton/ButtonRender.h"
#include "gfx/Surface.h"

#include <gtest/gtest.h>
#include <QCommonStyle>
#include <QStyleFactory>

namespace quarbel::themed {
namespace {

using gfx::testing::matches;

constexpr gfx::Color F = 0xC8D0D4, S = 0x808080, W = 0xFFFFFF, D = 0x404040, K = 0x000000;
// Custom colours.
constexpr gfx::Color Back = 0x00FF00, High = 0xFF0000;

const gfx::testing::Palette palette{{'F', F},
                                    {'S', S},
                                    {'W', W},
                                    {'D', D},
                                    {'K', K},
                                    {'b', Back},
                                    {'h', High},
                                    {'A', 0xC0C0C0} /* average of window and shadow: 191.5 -> 192 */,
                                    {'T', gfx::rgb(170, 168, 164)} /* average of shadow and face */,
                                    {'4', gfx::rgb(217, 213, 206)} /* face toward white by 32 */,
                                    {'5', gfx::rgb(179, 187, 208)} /* H toward white by 176 */,
                                    {'6', gfx::rgb(132, 145, 180)} /* H toward white by 128 */,
                                    {'H', 0x6A240A}};

struct FaceCase {
    const char* name;
    int style;
    int state;
    std::vector<std::string> rows;  // 6 x 5
    bool custom = false;
    bool focus = false;
    bool asDefault = false;  // the container shows it as its default button
};

class ClassicFaces : public ::testing::TestWithParam<FaceCase> {
protected:
    static void SetUpTestSuite() { testing::ensureWidgetsWithClassicColors(); }
};

TEST_P(ClassicFaces, PixelsFollowTheDrawingRules)
{
    const FaceCase& c = GetParam();
    ButtonLook look;
    look.style = c.style;
    look.state = c.state;
    look.width = 6;
    look.height = 5;
    look.useCustomColors = c.custom;
    look.backColor = Back;
    look.highlightColor = High;
    look.hasFocus = c.focus;
    look.showFocus = c.focus;
    look.displayAsDefault = c.asDefault;
    gfx::Surface s(6, 5, 0x123456);
    RenderResult result;
    DrawFace(s, look, result);
    EXPECT_TRUE(matches(s, c.rows, palette));
    EXPECT_EQ(result.iconMargin, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Styles0To4, ClassicFaces,
    ::testing::Values(
        // Raised edge: light (= face) and dark shadow outside, white and shadow inside.
        FaceCase{"classic_normal", Classic3D, Normal, {"FFFFFD", "FWWWSD", "FWFFSD", "FSSSSD", "DDDDDD"}},
        FaceCase{"classic_disabled", Classic3D, Disabled, {"FFFFFD", "FWWWSD", "FWFFSD", "FSSSSD", "DDDDDD"}},
        // Sunken: shadow and white outside, dark shadow and light inside.
        FaceCase{"classic_pressed", Classic3D, Pressed, {"SSSSSW", "SDDDFW", "SDFFFW", "SFFFFW", "WWWWWW"}},
        // With the focus shown, the black frame shows along the top and the left.
        FaceCase{"classic_focus",
                 Classic3D,
                 Normal,
                 {"KKKKKK", "KWWWSD", "KWFFSD", "KSSSSD", "KDDDDD"},
                 false,
                 true},
        FaceCase{"classic_default",
                 Classic3D,
                 Hot,
                 {"KKKKKK", "KWWWSD", "KWFFSD", "KSSSSD", "KDDDDD"},
                 false,
                 false,
                 true},
        // Custom colours: Normal fills BackColor, every other state HighlightColor, even
        // Disabled; the edge keeps the system colours.
        FaceCase{"classic_custom_normal",
                 Classic3D,
                 Normal,
                 {"FFFFFD", "FWWWSD", "FWbbSD", "FSSSSD", "DDDDDD"},
                 true},
        FaceCase{"classic_custom_disabled",
                 Classic3D,
                 Disabled,
                 {"FFFFFD", "FWWWSD", "FWhhSD", "FSSSSD", "DDDDDD"},
                 true},
        FaceCase{"soft_normal", Soft3D, Normal, {"WWWWWS", "WFFFFS", "WFFFFS", "WFFFFS", "SSSSSS"}},
        FaceCase{"soft_hot_custom", Soft3D, Hot, {"WWWWWS", "WhhhhS", "WhhhhS", "WhhhhS", "SSSSSS"}, true},
        FaceCase{"soft_pressed", Soft3D, Pressed, {"SSSSSW", "SFFFFW", "SFFFFW", "SFFFFW", "WWWWWW"}},
        FaceCase{"soft_disabled_custom",
                 Soft3D,
                 Disabled,
                 {"bbbbbb", "bbbbbb", "bbbbbb", "bbbbbb", "bbbbbb"},
                 true},
        FaceCase{"flat_normal", FlatHover, Normal, {"FFFFFF", "FFFFFF", "FFFFFF", "FFFFFF", "FFFFFF"}},
        FaceCase{"flat_hot", FlatHover, Hot, {"WWWWWS", "WFFFFS", "WFFFFS", "WFFFFS", "SSSSSS"}},
        FaceCase{"flat_pressed_custom",
                 FlatHover,
                 Pressed,
                 {"SSSSSW", "ShhhhW", "ShhhhW", "ShhhhW", "WWWWWW"},
                 true},
        // The etched frame: shadow outline (0, 0, 4, 3), window outline (1, 1, 4, 3), two
        // corners back to the fill, two softened to the average.
        FaceCase{"simple_normal", SimpleBorder, Normal, {"SSSSSF", "SWWWAW", "SWFFSW", "SASSSW", "FWWWWW"}},
        FaceCase{"simple_hot", SimpleBorder, Hot, {"SSSSST", "SWWWAW", "SWTTSW", "SASSSW", "TWWWWW"}},
        FaceCase{"simple_pressed", SimpleBorder, Pressed, {"SSSSSS", "SWWWAW", "SWSSSW", "SASSSW", "SWWWWW"}},
        FaceCase{
            "highlight_normal", HighlightFill, Normal, {"444444", "444444", "444444", "444444", "444444"}},
        FaceCase{"highlight_disabled",
                 HighlightFill,
                 Disabled,
                 {"444444", "444444", "444444", "444444", "444444"}},
        // Hot and pressed: the tint, and the frame (0, 0, W, H - 1) whose right side is off
        // the surface.
        FaceCase{"highlight_hot", HighlightFill, Hot, {"HHHHHH", "H55555", "H55555", "H55555", "HHHHHH"}},
        FaceCase{
            "highlight_pressed", HighlightFill, Pressed, {"HHHHHH", "H66666", "H66666", "H66666", "HHHHHH"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A style that draws no push button at all, as a desktop without visual styles.
class NoButtonStyle : public QCommonStyle {
public:
    void drawControl(ControlElement, const QStyleOption*, QPainter*, const QWidget*) const override {}
    void drawPrimitive(PrimitiveElement, const QStyleOption*, QPainter*, const QWidget*) const override {}
};

TEST(ThemeFace, DrawsTheDesktopButtonOrReportsThatItCannot)
{
    testing::ensureWidgetsWithClassicColors();
    ButtonLook look;
    look.style = WindowsTheme;
    look.width = 30;
    look.height = 20;
    look.roundedBordersByTheme = true;

    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    ASSERT_TRUE(fusion);
    look.theme = fusion.get();
    gfx::Surface drawn(30, 20);
    std::optional<gfx::Region> region;
    EXPECT_TRUE(DrawThemeFace(drawn, look, &region));
    ASSERT_TRUE(region.has_value());
    EXPECT_TRUE(region->contains(0, 0) && region->contains(29, 19));
    bool faceOnly = true;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            faceOnly = faceOnly && drawn.pixel(x, y) == F;
    EXPECT_FALSE(faceOnly);

    // Pressed and focused-Normal (the default button) are drawn differently from Normal.
    gfx::Surface pressed(30, 20);
    look.state = Pressed;
    DrawThemeFace(pressed, look, nullptr);
    EXPECT_NE(pressed.image(), drawn.image());

    NoButtonStyle none;
    look.theme = &none;
    gfx::Surface bare(30, 20);
    EXPECT_FALSE(DrawThemeFace(bare, look, nullptr));
    EXPECT_EQ(bare.pixel(15, 10), F);
    look.theme = nullptr;
    EXPECT_FALSE(DrawThemeFace(bare, look, nullptr));

    RenderResult result;
    DrawFace(bare, look, result);
    EXPECT_TRUE(result.themeFailed);
}

TEST(DisplayedState, DesignTimeToggleAndDisabledOverrideTheState)
{
    struct Case {
        int state, style;
        Mode mode;
        bool toggleOn, enabled;
        int shown;
    };
    const Case cases[] = {
        {Normal, Classic3D, Mode::Run, false, true, Normal},
        {Normal, Classic3D, Mode::Design, false, true, Hot},
        {Normal, FixedGlossy, Mode::Design, false, true, Normal},  // 5 is drawn as it is
        {Hot, FixedGlossy, Mode::Run, true, true, Pressed},
        {Pressed, RoundedPixmap, Mode::Design, true, false, Disabled},
    };
    for (const Case& c : cases)
        EXPECT_EQ(displayedState(c.state, c.style, c.mode, c.toggleOn, c.enabled), c.shown)
            << c.state << " " << c.style;
}

}  // namespace
}  // namespace quarbel::themed
