#pragma once
#include <QApplication>
#include <QString>
#include <QStringList>
#include <ostream>

namespace quarbel::imagelist::test {

// Widgets need an application object; one is made on first use and kept for the run.
inline void ensureApp()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "imagelist_tests";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process: the window's controls hold Qt objects that must not
    // outlive the application object during static destruction.
    new QApplication(argc, argv);
}

}  // namespace quarbel::imagelist::test

// Readable failure messages for Qt strings.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
    *os << '}';
}
QT_END_NAMESPACE
