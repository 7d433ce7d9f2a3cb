// The system colour table and colour resolution.

#include "controls/common/SystemColors.h"

#include <gtest/gtest.h>
#include <QPalette>

namespace quarbel {
namespace {

class SystemColorsTest : public ::testing::Test {
protected:
    void SetUp() override { SystemColors::use(SystemColors::classicTable()); }
    void TearDown() override { SystemColors::reset(); }
};

TEST_F(SystemColorsTest, PlainColoursAreReturnedUnchanged)
{
    EXPECT_EQ(ResolveColor(0x00FF00), 0x00FF00u);
    EXPECT_EQ(ResolveColor(0x7FFFFFFF), 0x7FFFFFFFu);
}

TEST_F(SystemColorsTest, TopBitNamesATableEntry)
{
    SystemColorTable t{};
    for (int i = 0; i < SystemColorCount; ++i)
        t[i] = 0x010101u * static_cast<unsigned>(i);
    SystemColors::use(t);
    EXPECT_EQ(ResolveColor(0x8000000D), 0x0D0D0Du);
    EXPECT_EQ(ResolveColor(systemColorRef(ButtonFace)), 0x0F0F0Fu);
    EXPECT_EQ(ResolveColor(0x80000000), 0u);
    // Numbers past the table resolve to black rather than reading outside it.
    EXPECT_EQ(ResolveColor(0x8000001F), 0u);
    EXPECT_EQ(ResolveColor(0xFFFFFFFF), 0u);
    const gfx::EdgeColors e = SystemColors::edgeColors();
    EXPECT_EQ(e.light, 0x161616u);
    EXPECT_EQ(e.highlight, 0x141414u);
    EXPECT_EQ(e.shadow, 0x101010u);
    EXPECT_EQ(e.darkShadow, 0x151515u);
    EXPECT_EQ(e.face, 0x0F0F0Fu);
}

TEST_F(SystemColorsTest, PaletteChangeKeepsAGivenTable)
{
    SystemColorTable t = SystemColors::classicTable();
    t[Highlight] = 0x010203;
    SystemColors::use(t);
    SystemColors::paletteChanged();
    EXPECT_EQ(SystemColors::get(Highlight), 0x010203u);
}

TEST_F(SystemColorsTest, PaletteRolesReplaceTheClassicColours)
{
    QPalette p;
    p.setColor(QPalette::Active, QPalette::Highlight, QColor(255, 0, 0));
    p.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
    p.setColor(QPalette::Active, QPalette::Shadow, QColor(4, 5, 6));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(7, 8, 9));
    const SystemColorTable t = SystemColors::paletteTable(p);
    EXPECT_EQ(t[Highlight], 0x0000FFu);
    EXPECT_EQ(t[ButtonFace], 0x030201u);
    EXPECT_EQ(t[DarkShadow3D], 0x060504u);
    EXPECT_EQ(t[GrayText], 0x090807u);
    // Roles Qt does not have keep the classic values.
    EXPECT_EQ(t[ActiveCaption], SystemColors::classicTable()[ActiveCaption]);
}

}  // namespace
}  // namespace quarbel
