// Walks the table of formats and checks that everything that lists formats agrees with it.

#include "cli/BatchOptions.h"
#include "formats/Formats.h"
#include "imagelist/ImageFileCheck.h"
#include "jobs/imageservice/ImageService.h"
#include "jobs/imageservice/vips/Sniff.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>

#include <string>
#include <vector>

namespace quarbel::testing {
namespace {

QString sourceFile(const char* path)
{
    QFile file(QStringLiteral(QUARBEL_SOURCE_DIR "/") + QLatin1String(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return QString::fromUtf8(file.readAll());
}

QString helpLine(const QString& help, const QString& start)
{
    for (const QString& line : help.split(QLatin1Char('\n')))
        if (line.startsWith(start))
            return line;
    return {};
}

TEST(FormatTable, EverythingThatListsFormatsAgreesWithTheTable)
{
    const QString help = cli::helpText();
    const QString filter = QString::fromStdString(formats::openDialogFilter());
    const QString readme = sourceFile("README.md");
    const QString helpPage = sourceFile("resources/help.html").replace(QStringLiteral("\n"), QStringLiteral(" "));
    const QString manPage =
        sourceFile("resources/quarbel.1").replace(QStringLiteral("\n"), QStringLiteral(" "));
    const QString qualityLine = helpLine(help, QStringLiteral("  --quality Q"));
    QStringList written;
    for (const formats::Row& row : formats::table()) {
        SCOPED_TRACE(row.name);
        const QString name = QLatin1String(row.name);
        // The list's name test and the open dialog.
        for (const char* ending : row.threeLetterEndings)
            EXPECT_TRUE(imagelist::ImageFileCheck(QStringLiteral("photo") + QLatin1String(ending))) << ending;
        for (const char* suffix : row.suffixes) {
            EXPECT_TRUE(
                imagelist::ImageFileCheck(QStringLiteral("photo") + QString::fromLatin1(suffix).toUpper()));
            EXPECT_FALSE(imagelist::ImageFileCheck(QStringLiteral("photo") + QLatin1String(suffix) + "x"));
            // The help page and the README name every ending the list picks up.
            EXPECT_TRUE(helpPage.contains(QStringLiteral("<code>%1</code>").arg(QLatin1String(suffix)))) << suffix;
            EXPECT_TRUE(readme.contains(QStringLiteral("`%1`").arg(QLatin1String(suffix)))) << suffix;
        }
        for (const char* pattern : row.dialogPatterns)
            EXPECT_TRUE(filter.section(QLatin1Char('|'), 1, 1)
                            .split(QLatin1Char(';'))
                            .contains(QLatin1String(pattern)));
        EXPECT_TRUE(filter.contains(name + QStringLiteral(" files")) ||
                    filter.contains(name + QStringLiteral(", ")) ||
                    filter.contains(name + QStringLiteral(" and ")));
        // The sniffer knows every signature.
        for (const formats::Signature& signature : row.signatures) {
            std::string bytes(signature.first);
            bytes.resize(std::max<std::size_t>(64, signature.secondAt + signature.second.size()), ' ');
            bytes.replace(signature.secondAt ? signature.secondAt : bytes.size(), signature.second.size(),
                          signature.second);
            EXPECT_EQ(
                imageservice::sniffFormat(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                row.format);
        }
        EXPECT_EQ(imageservice::formatOfId(row.formatId), row.format);
        EXPECT_TRUE(manPage.contains(name)) << "resources/quarbel.1 names every format read";
        // What the format list offers: the tool's option in any case, --help, the README.
        const QString text = QLatin1String(row.listText);
        if (text.isEmpty()) {
            EXPECT_EQ(row.quality == formats::Quality::Taken, row.format == formats::Format::Heif);
            continue;
        }
        written << text;
        const auto parsed = cli::parseArguments({"convert", "--format", text.toLower(), "a.png"});
        ASSERT_TRUE(std::holds_alternative<cli::BatchOptions>(parsed));
        EXPECT_EQ(std::get<cli::BatchOptions>(parsed).format, text);
        EXPECT_NE(row.encoder, formats::Encoder::None);
        EXPECT_EQ(qualityLine.contains(text), row.quality == formats::Quality::Taken);
        EXPECT_TRUE(manPage.contains(text));
        EXPECT_TRUE(readme.contains(
            QStringLiteral("| %1 | `%2` | `%3` |").arg(name, text, QLatin1String(row.extension))))
            << "README's table of formats";
    }
    EXPECT_TRUE(
        help.contains(QStringLiteral("--format ") + written.join(QLatin1Char('|')) + QLatin1Char(']')));
    EXPECT_TRUE(
        readme.contains(QStringLiteral("--format ") + written.join(QLatin1Char('|')) + QLatin1Char(' ')));
    // The completion offers the list's texts after --format.
    const QRegularExpression offered(QStringLiteral("compgen -W '([A-Z ]+)' -- \"\\$\\{cur\\^\\^\\}\""));
    EXPECT_EQ(offered.match(sourceFile("resources/bash-completion/quarbel-batch")).captured(1),
              written.join(' '));
}

}  // namespace
}  // namespace quarbel::testing
