#pragma once
// One application object for the whole test program (the button is a widget, its caption is
// text), and the classic system colours so that expected pixels do not depend on the desktop.

#include "controls/common/SystemColors.h"

#include <QApplication>

namespace quarbel::testing {

inline void ensureWidgetsWithClassicColors()
{
    static int argc = 1;
    static char name[] = "themedbutton_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
    SystemColors::use(SystemColors::classicTable());
}

}  // namespace quarbel::testing
