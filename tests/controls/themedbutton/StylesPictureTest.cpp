// Writes a picture of all eleven styles in their four states and focused, as the button
// draws itself at the window's size, into the build folder for a person to look at, and
// checks that it reads back whole.

#include "TestApp.h"
#include "controls/themedbutton/ThemedButton.h"

#include <gtest/gtest.h>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <iostream>

namespace quarbel {
namespace {

constexpr int CellW = 81, CellH = 25, Gap = 6, States = 5;

QImage sampleIcon()
{
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setBrush(QColor(200, 60, 40));
    p.drawEllipse(2, 2, 11, 11);
    return icon;
}

TEST(StylesPictureTest, ElevenStylesInEveryStateAreWrittenForReview)
{
    testing::ensureWidgetsWithClassicColors();
    QWidget holder;
    holder.setAttribute(Qt::WA_DontShowOnScreen);
    holder.resize(200, 60);
    holder.show();
    QImage sheet(Gap + States * (CellW + Gap), Gap + 11 * (CellH + Gap), QImage::Format_ARGB32);
    sheet.fill(qRgb(236, 233, 216));
    QPainter painter(&sheet);
    for (int style = 0; style <= 10; ++style) {
        for (int state = 0; state < States; ++state) {
            ThemedButton b(&holder);
            b.setGeometry(0, 0, CellW, CellH);
            b.setStyle(style);
            b.setCaption(QStringLiteral("Convert"));
            b.setIcon(sampleIcon());
            b.show();
            if (state == 1) {
                QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
                QApplication::sendEvent(&b, &e);
            } else if (state == 2) {
                QMouseEvent e(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(&b, &e);
            } else if (state == 3) {
                b.setEnabled(false);
            } else if (state == 4) {
                QFocusEvent e(QEvent::FocusIn);
                QApplication::sendEvent(&b, &e);
            }
            // What the window shows: the surface inside the button's region.
            const QPoint at(Gap + state * (CellW + Gap), Gap + style * (CellH + Gap));
            painter.save();
            painter.setClipRegion(b.windowRegion().qregion().translated(at));
            painter.drawImage(at, b.surface().image());
            painter.restore();
        }
    }
    painter.end();

    const QString path = QStringLiteral(QUARBEL_BINARY_DIR "/themedbutton-styles.png");
    ASSERT_TRUE(sheet.save(path, "PNG")) << path.toStdString();
    std::cout << "themed button styles written to " << path.toStdString() << std::endl;
    const QImage back(path);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.convertToFormat(QImage::Format_ARGB32), sheet);
}

TEST(StylesPictureTest, TooltipShapesAreWrittenForReview)
{
    testing::ensureWidgetsWithClassicColors();
    QWidget owner;
    const themed::ToolTipSetup setups[] = {
        themed::toolTipSetup(1, 1, QStringLiteral("Source"),
                             QStringLiteral("Adds one picture or a folder of them"), 0, 0),
        themed::toolTipSetup(1, 3, QString(), QStringLiteral("A balloon with an error icon"), 0x0000C0,
                             0xE0F0FF),
        themed::toolTipSetup(0, 2, QStringLiteral("Rectangle"), QStringLiteral("With a warning icon"), 0, 0),
    };
    QImage sheet(420, 240, QImage::Format_ARGB32);
    sheet.fill(qRgb(236, 233, 216));
    QPainter painter(&sheet);
    int y = Gap;
    for (const themed::ToolTipSetup& setup : setups) {
        themed::ButtonToolTip tip(setup, &owner);
        QImage picture(tip.size(), QImage::Format_ARGB32_Premultiplied);
        themed::paintToolTip(picture, tip.look());
        // The balloon's corners lie outside its shape: they stay transparent.
        EXPECT_EQ(qAlpha(picture.pixel(picture.width() - 1, picture.height() - 1)), setup.balloon ? 0 : 255);
        painter.drawImage(Gap, y, picture);
        y += picture.height() + Gap;
    }
    painter.end();
    const QString path = QStringLiteral(QUARBEL_BINARY_DIR "/themedbutton-tooltips.png");
    ASSERT_TRUE(sheet.save(path, "PNG")) << path.toStdString();
    std::cout << "themed button tooltips written to " << path.toStdString() << std::endl;
}

}  // namespace
}  // namespace quarbel
