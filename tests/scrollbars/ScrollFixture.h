#pragma once
// A shown scroll area with a cScrollBars attached, and the events it raised.

#include "scrollbars/cScrollBars.h"

#include <gtest/gtest.h>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <memory>
#include <string>
#include <vector>

namespace quarbel::testing {

inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "scrollbars_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

class ScrollFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApplication();
        area = std::make_unique<QAbstractScrollArea>();
        area->resize(200, 150);
        area->show();
        bars = std::make_unique<cScrollBars>();
        QObject::connect(bars.get(), &cScrollBars::Scroll,
                         [this](eBar b) { events.push_back(name("Scroll", b)); });
        QObject::connect(bars.get(), &cScrollBars::Change,
                         [this](eBar b) { events.push_back(name("Change", b)); });
        bars->Create(area.get());
    }
    static std::string name(const char* kind, eBar b)
    {
        return std::string(kind) + (b == eBar::Horizontal ? "(H)" : "(V)");
    }
    QScrollBar* qtBar(eBar b) const
    {
        return b == eBar::Horizontal ? area->horizontalScrollBar() : area->verticalScrollBar();
    }
    // Range 0..100 with a page of 10, small change 3, value 50, and no events so far.
    void standardRange(eBar b)
    {
        bars->setLargeChange(b, 10);
        bars->setMax(b, 100);
        bars->setSmallChange(b, 3);
        bars->setValue(b, 50);
        events.clear();
    }

    std::unique_ptr<QAbstractScrollArea> area;
    std::unique_ptr<cScrollBars> bars;
    std::vector<std::string> events;
};

}  // namespace quarbel::testing
