#pragma once
#include <QApplication>

namespace quarbel::imagelist::test {

// Widgets need an application object; one is made on first use and kept for the run.
inline void ensureApp()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "imagelist_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

}  // namespace quarbel::imagelist::test
