#pragma once
// One application object for the whole test program (widgets need a QApplication, text a GUI one).

#include <QApplication>

namespace quarbel::testing {

inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "progressbar_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

}  // namespace quarbel::testing
