// Masked and stretched copies, focus frames.

#include "PixelGrid.h"
#include "gfx/Blit.h"

#include <gtest/gtest.h>

namespace quarbel::gfx {
namespace {

using testing::matches;
using testing::Palette;

constexpr Color Key = 0xFF00FF;
constexpr Color A = 0x0000FF;
constexpr Color B = 0x00FF00;
constexpr Color White = 0xFFFFFF;
const Palette P{{'.', White}, {'a', A}, {'b', B}, {'k', Key}, {'x', 0x000000}};

TEST(BlitTest, MaskedCopyKeepsTheDestinationUnderTheKeyColour)
{
    Surface from(3, 2, Key);
    from.setPixel(1, 0, A);
    from.setPixel(2, 1, B);
    Surface to(5, 3);
    maskedCopy(to, from, {0, 0, 3, 2}, {1, 1}, Key);
    EXPECT_TRUE(matches(to, {".....", "..a..", "...b."}, P));
}

TEST(BlitTest, StretchRepeatsPixelsWithoutMixingThem)
{
    Surface from(2, 1);
    from.setPixel(0, 0, A);
    from.setPixel(1, 0, Key);
    Surface to(5, 2);
    stretchCopy(to, {0, 0, 4, 2}, from, {0, 0, 2, 1});
    EXPECT_TRUE(matches(to, {"aakk.", "aakk."}, P));
    Surface shrunk(2, 1);
    Surface wide(4, 1);
    wide.setPixel(0, 0, A);
    wide.setPixel(1, 0, B);
    wide.setPixel(2, 0, Key);
    wide.setPixel(3, 0, A);
    stretchCopy(shrunk, {0, 0, 2, 1}, wide, {0, 0, 4, 1});
    // Destination pixel centres 0.5 and 1.5 fall on source pixels 1 and 3.
    EXPECT_TRUE(matches(shrunk, {"ba"}, P));
}

TEST(BlitTest, FocusFrameInvertsEveryOtherOutlinePixelAndUndoesItself)
{
    Surface s(4, 3);
    drawFocusRect(s, {0, 0, 4, 3});
    // Walked clockwise from the top-left: (0,0) (1,0) (2,0) (3,0) (3,1) (3,2) (2,2) (1,2) (0,2) (0,1).
    EXPECT_TRUE(matches(s, {"x.x.", "...x", "x.x."}, P));
    drawFocusRect(s, {0, 0, 4, 3});
    EXPECT_TRUE(matches(s, {"....", "....", "...."}, P));
}

TEST(BlitTest, InvertRectFlipsEveryChannel)
{
    Surface s(2, 1, 0x102030);
    invertRect(s, {1, 0, 5, 1});
    EXPECT_EQ(s.pixel(0, 0), 0x102030u);
    EXPECT_EQ(s.pixel(1, 0), 0xEFDFCFu);
}

TEST(BlitTest, StateDrawingPaintsTheShapeOnly)
{
    // The shape: an L of three pixels on a white background.
    Surface picture(2, 2, White);
    picture.setPixel(0, 0, A);
    picture.setPixel(0, 1, B);
    picture.setPixel(1, 1, Key);
    Surface mono(4, 4);
    drawState(mono, picture, {0, 0, 2, 2}, {1, 1}, White, DrawStateMode::Mono, A, B, Key);
    EXPECT_TRUE(matches(mono, {"....", ".a..", ".aa.", "...."}, P));
    // Embossed: highlight (b) one pixel right and down, then shadow (k) in place over it.
    Surface disabled(4, 4);
    drawState(disabled, picture, {0, 0, 2, 2}, {1, 1}, White, DrawStateMode::Disabled, A, B, Key);
    EXPECT_TRUE(matches(disabled, {"....", ".k..", ".kk.", "..bb"}, P));
}

}  // namespace
}  // namespace quarbel::gfx
