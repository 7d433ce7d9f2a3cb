// What assistive technology reads from the progress bar: its role, value and range.

#include "TestApp.h"
#include "controls/progressbar/XP_ProgressBar.h"

#include <gtest/gtest.h>
#include <QAccessible>

namespace quarbel {
namespace {

TEST(ProgressBarAccessible, ValueAndRangeAsAScreenReaderReadsThem)
{
    testing::ensureApplication();
    XP_ProgressBar bar;
    bar.resize(273, 17);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_TRUE(iface && iface->valueInterface());
    EXPECT_EQ(iface->role(), QAccessible::ProgressBar);
    const struct {
        int max, assigned, read;  // read: the value read back
        const char* text;
    } cases[] = {{100, 40, 40, "40%"}, {3, 1, 1, "33%"}, {8, 3, 3, "38%"}, {100, 250, 100, "100%"}};
    for (const auto& c : cases) {
        bar.setMax(c.max);
        bar.setValue(c.assigned);
        EXPECT_EQ(iface->valueInterface()->currentValue().toInt(), c.read) << c.text;
        EXPECT_EQ(iface->valueInterface()->minimumValue().toInt(), 0);
        EXPECT_EQ(iface->valueInterface()->maximumValue().toInt(), c.max);
        EXPECT_EQ(iface->text(QAccessible::Value), QString::fromLatin1(c.text));
    }
}

}  // namespace
}  // namespace quarbel
