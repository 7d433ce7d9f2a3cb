// cmake --install into a temporary prefix: the programs, the data files where the installed
// window looks for them, the desktop entry, icons, AppStream metadata and the man page; then
// the installed quarbel-batch run for real.

#include "../jobs/TestImages.h"

#include <gtest/gtest.h>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace quarbel::testing {
namespace {

struct Finished {
    int status = -1;  // -1 when it did not exit normally
    QString output;   // standard output and standard error together
};

Finished runProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    Finished result;
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit) {
        result.output = process.errorString();
        return result;
    }
    result.status = process.exitCode();
    result.output = QString::fromLocal8Bit(process.readAll());
    return result;
}

class InstallTest : public ::testing::Test, public TempTree {
protected:
    static QString m_prefix;
    static Finished m_install;

    static void SetUpTestSuite()
    {
        static QTemporaryDir root;
        m_prefix = root.path() + "/prefix";
        m_install = runProgram(QStringLiteral(QUARBEL_CMAKE),
                               {"--install", QStringLiteral(QUARBEL_BINARY_DIR), "--prefix", m_prefix});
    }
    void SetUp() override { ASSERT_EQ(m_install.status, 0) << m_install.output.toStdString(); }

    static QString installed(const QString& relative) { return m_prefix + "/" + relative; }
    static QString bin(const QString& name)
    {
        return installed(QStringLiteral(QUARBEL_INSTALL_BINDIR "/") + name);
    }
};

QString InstallTest::m_prefix;
Finished InstallTest::m_install;

TEST_F(InstallTest, EveryFileIsWhereTheDesktopLooksForIt)
{
    for (const char* program : {"quarbel", "quarbel-batch", "quarbel-gallery"}) {
        EXPECT_TRUE(QFileInfo(bin(program)).isExecutable()) << program;
    }
    const QString data = QStringLiteral(QUARBEL_INSTALL_DATADIR "/");
    for (const QString& file :
         {data + "applications/quarbel.desktop", data + "icons/hicolor/128x128/apps/quarbel.png",
          data + "icons/hicolor/scalable/apps/quarbel.svg",
          data + "bash-completion/completions/quarbel-batch"}) {
        EXPECT_TRUE(QFileInfo(installed(file)).isFile()) << file.toStdString();
    }
    for (const char* page : {"quarbel.1", "quarbel-batch.1", "quarbel-gallery.1"}) {
        const QString file = QStringLiteral(QUARBEL_INSTALL_MANDIR "/man1/") + page;
        EXPECT_GT(QFileInfo(installed(file)).size(), 0) << page;
    }
    // The window reads its data files from this folder beside its own.
    for (const char* name : {"Form3.layout", "help.html", "help.png", "quarbel.png"}) {
        const QString copy = bin(QStringLiteral(QUARBEL_DATA_FROM_BIN "/") + name);
        EXPECT_EQ(readBytes(copy), readBytes(QStringLiteral(QUARBEL_SOURCE_DIR "/resources/") + name))
            << name;
    }
}

TEST_F(InstallTest, AppStreamMetadataIsValid)
{
    const QString metainfo = installed(
        QStringLiteral(QUARBEL_INSTALL_DATADIR "/metainfo/org.quarbel.ImageConverter.metainfo.xml"));
    ASSERT_TRUE(QFileInfo(metainfo).isFile());
    const Finished check = runProgram("appstreamcli", {"validate", "--no-net", metainfo});
    EXPECT_EQ(check.status, 0) << check.output.toStdString();
}

TEST_F(InstallTest, TheManPageHasEveryOptionOfTheHelpText)
{
    const QString page = QString::fromUtf8(
        readBytes(installed(QStringLiteral(QUARBEL_INSTALL_MANDIR "/man1/quarbel-batch.1"))));
    ASSERT_FALSE(page.isEmpty());
    const Finished help = runProgram(bin("quarbel-batch"), {"--help"});
    ASSERT_EQ(help.status, 0);
    const QRegularExpression option("(?:^|[ ,])(--?[a-z][a-z-]*)");
    int found = 0;
    for (const QString& line : help.output.split('\n')) {
        if (!line.startsWith("  -"))
            continue;
        for (const auto& match : option.globalMatch(line.section("  ", 1, 1))) {
            const QString roff = QString(match.captured(1)).replace("-", "\\-");
            EXPECT_TRUE(page.contains(roff)) << roff.toStdString();
            ++found;
        }
    }
    EXPECT_GE(found, 14);
}

TEST_F(InstallTest, TheInstalledBatchToolConverts)
{
    const Finished version = runProgram(bin("quarbel-batch"), {"--version"});
    EXPECT_EQ(version.status, 0);
    // The version, then which confinement the installed worker gets (a worker that cannot
    // start says why instead).
    const QStringList lines = QString(version.output).split('\n');
    ASSERT_EQ(lines.size(), 3) << version.output.toStdString();
    EXPECT_EQ(lines[0], "quarbel-batch " QUARBEL_VERSION);
    EXPECT_TRUE(lines[1].startsWith("Pictures are decoded in worker processes; confinement: "));
    EXPECT_TRUE(lines[1].contains("no new privileges")) << lines[1].toStdString();

    image("src/a.png", 30, 20);
    const Finished run = runProgram(bin("quarbel-batch"), {"resize", "--width", "12", "--height", "8",
                                                           "--quiet", "--dest", folder("out"), path("src")});
    EXPECT_EQ(run.status, 0) << run.output.toStdString();
    const ImageFacts facts = readImage(path("out/a.png"));
    EXPECT_EQ(facts.kind, Kind::Png);
    EXPECT_EQ(facts.width, 12);
    EXPECT_EQ(facts.height, 8);
}

}  // namespace
}  // namespace quarbel::testing
