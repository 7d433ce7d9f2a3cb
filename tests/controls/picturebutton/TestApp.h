#pragma once
// One application object for the whole test program, with the classic system colours so that
// expected pixels do not depend on the desktop.

#include "controls/common/SystemColors.h"

#include <QApplication>
#include <QStringList>

namespace quarbel::testing {

// Every message the program logged, kept from the start (and still printed), so that a test
// can look for what should never be said.
inline QStringList& loggedMessages()
{
    static QStringList messages;
    return messages;
}

inline void ensureApplication()
{
    static const QtMessageHandler printing =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            loggedMessages() << message;
            if (printing)
                printing(type, context, message);
        });
    static int argc = 1;
    static char name[] = "picturebutton_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
    SystemColors::use(SystemColors::classicTable());
}

}  // namespace quarbel::testing
