#pragma once
// The open-file dialog, the folder picker and the user's picture folder. Filters are given
// as "description|patterns|description|patterns…" (patterns separated by ";") and translated
// to Qt's filter syntax here.

#include <QString>

class QWidget;

namespace quarbel::platform {

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The picked file's full path, or an empty string when the dialog was cancelled.
    virtual QString openFile(QWidget* parent, const QString& start, const QString& filter) = 0;
    // The picked folder's path, or an empty string when cancelled.
    virtual QString pickFolder(QWidget* parent, const QString& title, const QString& start) = 0;
    // The user's picture folder, or an empty string when there is none.
    virtual QString picturesFolder() = 0;
};

class QtFileDialogs : public FileDialogs {
public:
    QString openFile(QWidget* parent, const QString& start, const QString& filter) override;
    QString pickFolder(QWidget* parent, const QString& title, const QString& start) override;
    QString picturesFolder() override;
};

// "Images|*.jpg;*.png|All|*.*" -> "Images (*.jpg *.png);;All (*.*)". Empty patterns are
// dropped; a description without patterns is dropped with them.
QString qtFilter(const QString& filter);

}  // namespace quarbel::platform
