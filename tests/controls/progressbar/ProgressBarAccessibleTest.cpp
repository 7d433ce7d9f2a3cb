// What assistive technology reads from the progress bar through QAccessible: its role and
// its value within its range.

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
    ASSERT_TRUE(iface);
    EXPECT_EQ(iface->role(), QAccessible::ProgressBar);
    QAccessibleValueInterface* value = iface->valueInterface();
    ASSERT_TRUE(value);

    const struct {
        int max;
        int assigned;
        int value;  // as read back
        const char* text;
    } cases[] = {
        {100, 0, 0, "0%"}, {100, 40, 40, "40%"}, {3, 1, 1, "33%"},
        {3, 3, 3, "100%"}, {8, 3, 3, "38%"},     {100, 250, 100, "100%"},
    };
    for (const auto& c : cases) {
        bar.setMax(c.max);
        bar.setValue(c.assigned);
        EXPECT_EQ(value->currentValue().toInt(), c.value) << c.max << " " << c.assigned;
        EXPECT_EQ(value->minimumValue().toInt(), 0);
        EXPECT_EQ(value->maximumValue().toInt(), c.max);
        EXPECT_EQ(iface->text(QAccessible::Value), QString::fromLatin1(c.text));
    }
}

}  // namespace
}  // namespace quarbel
