// Writes a picture of all ten styles at a few values, horizontal and vertical, with text,
// into the build folder for a person to look at, and checks that it reads back whole.

#include "TestApp.h"
#include "controls/common/SystemColors.h"
#include "controls/progressbar/ProgressStyles.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>
#include <iostream>

namespace quarbel::progress {
namespace {

constexpr int CellW = 150, CellH = 21, Gap = 6, Values[] = {0, 33, 66, 100};

TEST(StylesPictureTest, AllStylesAtAFewValuesAreWrittenForReview)
{
    testing::ensureApplication();
    SystemColors::use(SystemColors::classicTable());
    QImage hatch(4, 4, QImage::Format_RGB32);
    hatch.fill(qRgb(255, 220, 120));
    hatch.setPixel(0, 0, qRgb(200, 60, 0));
    hatch.setPixel(2, 2, qRgb(200, 60, 0));

    const int columns = 4, rows = 10;
    const int verticalW = 17, verticalH = 60;
    QImage sheet(Gap + columns * (CellW + Gap) + 4 * (verticalW + Gap), Gap + rows * (CellH + Gap),
                 QImage::Format_RGB32);
    sheet.fill(qRgb(230, 230, 230));
    QPainter painter(&sheet);
    for (int style = 0; style < rows; ++style) {
        for (int c = 0; c < columns; ++c) {
            Look look;
            look.scrolling = style;
            look.percent = Values[c];
            look.color = style == Etched ? 0x00FF00 : 0xC06020;
            look.showText = true;
            look.brushStyle = 4;
            look.image = hatch;
            look.font = QFont(QStringLiteral("DejaVu Sans"));
            look.font.setPixelSize(11);
            gfx::Surface s(CellW, CellH);
            RenderProgressBar(s, CellW, CellH, look);
            painter.drawImage(Gap + c * (CellW + Gap), Gap + style * (CellH + Gap), s.image());
        }
    }
    // The XP family standing up, at 0, 33, 66 and 100 per cent (blocks, smooth, busy, blocks).
    for (int c = 0; c < 4; ++c) {
        Look look;
        look.scrolling = c == 3 ? XPBlocks : c;
        look.orientation = 1;
        look.percent = Values[c];
        look.color = 0xC06020;
        gfx::Surface s(verticalW, verticalH);
        RenderProgressBar(s, verticalW, verticalH, look);
        painter.drawImage(Gap + columns * (CellW + Gap) + c * (verticalW + Gap), Gap, s.image());
    }
    painter.end();
    SystemColors::reset();

    const QString path = QStringLiteral(QUARBEL_BINARY_DIR "/progressbar-styles.png");
    ASSERT_TRUE(sheet.save(path, "PNG")) << path.toStdString();
    std::cout << "progress bar styles written to " << path.toStdString() << std::endl;
    const QImage back(path);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), sheet.size());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), sheet);
}

}  // namespace
}  // namespace quarbel::progress
