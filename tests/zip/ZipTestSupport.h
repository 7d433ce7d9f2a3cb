#pragma once
// Shared by the ZIP writer's tests: a scratch folder, files with a chosen stamp, the
// little-endian fields of written bytes, raw inflate, and the outside readers (Info-ZIP's
// unzip and zipinfo, Python's zipfile) run as processes.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <optional>

namespace quarbel::zip::test {

struct ToolRun {
    int exitCode = -1;
    QString out;  // standard output and standard error together
};

// Runs a program with a UTF-8 locale and waits for it.
ToolRun runTool(const QString& program, const QStringList& arguments);

// What Python's zipfile reads from an archive (see inspect_zip.py); fails the test and
// returns an empty object when Python cannot read it.
QJsonObject inspectWithPython(const QString& archive);
QByteArray entryData(const QJsonObject& entry);

std::uint16_t u16(const QByteArray& bytes, qsizetype at);
std::uint32_t u32(const QByteArray& bytes, qsizetype at);

// Inflates raw deflate data; nullopt unless the stream ends exactly at the last byte.
std::optional<QByteArray> rawInflate(const QByteArray& raw);

QByteArray randomBytes(qsizetype size, std::uint32_t seed);

class ZipTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // Writes a file and, when given, sets its modification stamp (local time).
    QString writeFile(const QString& name, const QByteArray& bytes, const QDateTime& stamp = {}) const;
    static QByteArray readFile(const QString& path);

    QTemporaryDir m_dir;
};

}  // namespace quarbel::zip::test
