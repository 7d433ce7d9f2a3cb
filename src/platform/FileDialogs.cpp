#include "platform/FileDialogs.h"

#include <QFileDialog>
#include <QStandardPaths>
#include <QStringList>

namespace quarbel::platform {

QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            pattern = pattern.trimmed();
        patterns.removeAll(QString());
        if (patterns.isEmpty())
            continue;
        filters << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

QString QtFileDialogs::openFile(QWidget* parent, const QString& start, const QString& filter)
{
    // The descriptions already name their patterns ("PNG files (*.png)"): the dialog shows
    // them as they are instead of adding the patterns a second time.
    return QFileDialog::getOpenFileName(parent, QString(), start, qtFilter(filter), nullptr,
                                        QFileDialog::HideNameFilterDetails);
}

QString QtFileDialogs::pickFolder(QWidget* parent, const QString& title, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, title, start);
}

QString QtFileDialogs::picturesFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
}

}  // namespace quarbel::platform
