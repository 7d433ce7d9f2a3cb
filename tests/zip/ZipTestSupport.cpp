#include "ZipTestSupport.h"

#include <zlib.h>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>
#include <QtEndian>
#include <random>

namespace quarbel::zip::test {

ToolRun runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForStarted() || !process.waitForFinished(120000)) {
        ADD_FAILURE() << "could not run " << program.toStdString();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAll());
    return run;
}

QJsonObject inspectWithPython(const QString& archive)
{
    const ToolRun run = runTool(QStringLiteral("python3"),
                                {QStringLiteral(QUARBEL_SOURCE_DIR "/tests/zip/inspect_zip.py"), archive});
    if (run.exitCode != 0) {
        ADD_FAILURE() << "Python's zipfile could not read " << archive.toStdString() << ":\n"
                      << run.out.toStdString();
        return {};
    }
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

QByteArray entryData(const QJsonObject& entry)
{
    return QByteArray::fromBase64(entry.value(QStringLiteral("data")).toString().toLatin1());
}

std::uint16_t u16(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at + 2 > bytes.size()) {
        ADD_FAILURE() << "reading 2 bytes at " << at << " beyond " << bytes.size();
        return 0;
    }
    return qFromLittleEndian<std::uint16_t>(bytes.constData() + at);
}

std::uint32_t u32(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at + 4 > bytes.size()) {
        ADD_FAILURE() << "reading 4 bytes at " << at << " beyond " << bytes.size();
        return 0;
    }
    return qFromLittleEndian<std::uint32_t>(bytes.constData() + at);
}

std::optional<QByteArray> rawInflate(const QByteArray& raw)
{
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    QByteArray out;
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.constData()));
    stream.avail_in = static_cast<uInt>(raw.size());
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_out = static_cast<uInt>(chunk.size());
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk.constData(), chunk.size() - stream.avail_out);
    }
    const bool whole = status == Z_STREAM_END && stream.avail_in == 0;
    inflateEnd(&stream);
    if (!whole)
        return std::nullopt;
    return out;
}

QByteArray randomBytes(qsizetype size, std::uint32_t seed)
{
    std::mt19937 engine(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = static_cast<char>(engine() & 0xFF);
    return bytes;
}

QString ZipTest::writeFile(const QString& name, const QByteArray& bytes, const QDateTime& stamp) const
{
    const QString file = path(name);
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly)) << file.toStdString();
    EXPECT_EQ(out.write(bytes), bytes.size());
    EXPECT_TRUE(out.flush());  // so closing writes nothing after the stamp is set
    if (stamp.isValid()) {
        EXPECT_TRUE(out.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    out.close();
    return file;
}

QByteArray ZipTest::readFile(const QString& path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return in.readAll();
}

}  // namespace quarbel::zip::test
