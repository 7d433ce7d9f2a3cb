#pragma once
// One application object for the whole test program.

#include <QApplication>

namespace quarbel::gallery::testing {

inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "gallery_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

}  // namespace quarbel::gallery::testing
