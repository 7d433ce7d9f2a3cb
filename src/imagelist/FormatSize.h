#pragma once
#include <QLocale>
#include <QString>

namespace quarbel::imagelist {

// A byte count in readable units of 1024: "1023 bytes", "1.50 KB", "10.0 KB", "999 KB",
// "0.98 MB", ... up to TB. A unit is used below 1000 of it; two decimals below 10, one below
// 100, none (the fraction dropped) up to 999. Decimals are rounded half away from zero and
// written with the locale's decimal separator.
QString FormatSize(qint64 size, const QLocale& locale = QLocale());

// The texts of the status bar's four panels for a selected file.
QString nameText(const QString& fileName);
QString dimensionsText(int width, int height);
QString sizeText(qint64 size, const QLocale& locale = QLocale());
QString totalFilesText(qsizetype count);

}  // namespace quarbel::imagelist
