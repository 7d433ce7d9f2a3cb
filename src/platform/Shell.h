#pragma once
// The desktop shell: open a document or web address with its default handler, and show a
// folder in the file manager. Results are reported but the window never shows them.

#include <QString>
#include <QUrl>

namespace quarbel::platform {

class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openUrl(const QUrl& url) = 0;
    virtual bool openFolder(const QString& folder) = 0;
};

// QDesktopServices: the desktop's default handler for the URL or the folder.
class QtShell : public Shell {
public:
    bool openUrl(const QUrl& url) override;
    bool openFolder(const QString& folder) override;
};

}  // namespace quarbel::platform
