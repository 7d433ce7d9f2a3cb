#pragma once
// Fake platform services for the window's tests: message boxes that record what was asked
// and answer from a script, a shell that records what it was asked to open.

#include "app/Form3.h"
#include "platform/PlatformServices.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <deque>
#include <functional>
#include <memory>

namespace quarbel::testing {

struct AskedMessage {
    QString text;
    QString title;
    platform::MessageIcon icon;
    platform::MessageButtons buttons;
};

class FakeMessageBoxes : public platform::MessageBoxes {
public:
    platform::MessageAnswer show(QWidget* parent, const QString& text, const QString& title,
                                 platform::MessageIcon icon, platform::MessageButtons buttons) override;
    QList<AskedMessage> asked;
    // Answers for Yes/No questions, in order; No when the script is used up.
    std::deque<platform::MessageAnswer> answers;
    // Runs while a question is open (as a modal box would let events run).
    std::function<void()> whileOpen;
};

class FakeShell : public platform::Shell {
public:
    bool openUrl(const QUrl& url) override;
    bool openFolder(const QString& folder) override;
    QList<QUrl> urls;
    QStringList folders;
};

class FakeDialogs : public platform::FileDialogs {
public:
    QString openFile(QWidget*, const QString&, const QString&) override { return file; }
    QString pickFolder(QWidget*, const QString&, const QString&) override { return folder; }
    QString picturesFolder() override { return {}; }
    QString file;
    QString folder;
};

class FakeClipboard : public platform::Clipboard {
public:
    QStringList localFiles() const override { return files; }
    QStringList files;
};

// A window on fake services, with access to the fakes.
struct FakeWindow {
    FakeWindow();
    std::shared_ptr<FakeMessageBoxes> messages = std::make_shared<FakeMessageBoxes>();
    std::shared_ptr<FakeShell> shell = std::make_shared<FakeShell>();
    std::unique_ptr<app::Form3> form;
};

// Writes a real picture file of the given size (format from the name's extension).
QString writeImage(const QString& folder, const QString& name, int width, int height,
                   QColor color = QColor(200, 80, 40));

}  // namespace quarbel::testing
