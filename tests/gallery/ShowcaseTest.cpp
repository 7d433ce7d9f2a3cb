// The gallery window without arguments: every registered control in every style.

#include "controls/common/SystemColors.h"
#include "controls/progressbar/XP_ProgressBar.h"
#include "gallery/GalleryRegistry.h"
#include "gallery/GalleryWindow.h"

#include "TestApp.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QSlider>
#include <iostream>
#include <set>

namespace quarbel::gallery {
namespace {

TEST(ShowcaseTest, WindowShowsEveryProgressBarStyleInBothOrientations)
{
    testing::ensureApplication();
    SystemColors::use(SystemColors::classicTable());

    GalleryWindow window;
    for (const GalleryControl& control : galleryControls())
        EXPECT_TRUE(window.findChild<QWidget*>(control.name))
            << "a section for " << control.name.toStdString();

    const auto bars = window.findChildren<XP_ProgressBar*>();
    std::set<std::pair<int, int>> styles;  // (style, orientation)
    for (const XP_ProgressBar* bar : bars)
        styles.insert({bar->Scrolling(), bar->Orientation() == 0 ? 0 : 1});
    for (int style = 0; style < 10; ++style) {
        EXPECT_TRUE(styles.count({style, 0})) << "horizontal style " << style;
        EXPECT_TRUE(styles.count({style, 1})) << "vertical style " << style;
    }

    // The slider moves the live bars.
    auto* slider = window.findChild<QSlider*>();
    ASSERT_TRUE(slider);
    slider->setValue(80);
    int atEighty = 0;
    for (const XP_ProgressBar* bar : bars)
        atEighty += bar->Percent() == 80;
    EXPECT_EQ(atEighty, 20);

    window.resize(900, 700);
    const QString path = QStringLiteral(QUARBEL_BINARY_DIR "/gallery-window.png");
    ASSERT_TRUE(window.grab().save(path, "PNG"));
    std::cout << "gallery window written to " << path.toStdString() << std::endl;
    SystemColors::reset();
}

}  // namespace
}  // namespace quarbel::gallery
