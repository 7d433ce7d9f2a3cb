#include "cli/BatchOptions.h"

#include "imagelist/AddRules.h"
#include "imagelist/Paths.h"

#include "cli/Shards.h"
#include "cli/ZipOutput.h"
#include "formats/Formats.h"
#include "jobs/ConvertJob.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QHash>
#include <functional>

namespace quarbel::cli {
namespace {

bool allDigits(const QString& text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// The quality list offers 100, 95, ... 5.
bool isOfferedQuality(const QString& text)
{
    for (int value = 100; value >= 5; value -= 5) {
        if (text == QString::number(value))
            return true;
    }
    return false;
}

// The words of text in lines of at most width characters.
QString wrapped(const QString& text, int width)
{
    QString out, line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            out += line + QLatin1Char('\n');
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return out + line;
}

// Sets an option from its value; returns an error message, or "" when the value is fine.
using Apply = std::function<QString(BatchOptions&, const QString& value)>;

struct OptionRow {
    const char* name;       // the long name, without its dashes
    const char* valueName;  // nullptr for a switch
    Apply apply;
};

const std::vector<OptionRow>& optionTable()
{
    static const std::vector<OptionRow> rows = {
        {"format", "F",
         [](BatchOptions& o, const QString& v) {
             for (const formats::Row& row : formats::table()) {
                 if (*row.listText && v.compare(QLatin1String(row.listText), Qt::CaseInsensitive) == 0) {
                     o.format = QLatin1String(row.listText);
                     return QString();
                 }
             }
             return QStringLiteral("unknown format '%1' (use %2)")
                 .arg(v, QString::fromStdString(formats::listTextsInProse()));
         }},
        {"quality", "Q",
         [](BatchOptions& o, const QString& v) {
             if (!isOfferedQuality(v))
                 return QStringLiteral("invalid quality '%1' (use 5, 10, 15 ... 100)").arg(v);
             o.quality = v;
             return QString();
         }},
        {"width", "W",
         [](BatchOptions& o, const QString& v) {
             if (!allDigits(v))
                 return QStringLiteral("invalid width '%1' (digits only)").arg(v);
             o.width = v;
             return QString();
         }},
        {"height", "H",
         [](BatchOptions& o, const QString& v) {
             if (!allDigits(v))
                 return QStringLiteral("invalid height '%1' (digits only)").arg(v);
             o.height = v;
             return QString();
         }},
        {"dest", "FOLDER",
         [](BatchOptions& o, const QString& v) {
             o.destination = v;
             return QString();
         }},
        {"jobs", "N",
         [](BatchOptions& o, const QString& v) {
             bool ok = false;
             const int n = v.toInt(&ok);
             if (!ok || !allDigits(v) || n < 1 || n > 64)
                 return QStringLiteral("invalid number of jobs '%1' (use 1 to 64)").arg(v);
             o.jobs = n;
             return QString();
         }},
        {"no-overwrite", nullptr,
         [](BatchOptions& o, const QString&) {
             o.noOverwrite = true;
             return QString();
         }},
        {"sub-folders", nullptr,
         [](BatchOptions& o, const QString&) {
             o.subFolders = imagelist::Subfolders::Include;
             return QString();
         }},
        {"files-from", "FILE",
         [](BatchOptions& o, const QString& v) {
             if (v.isEmpty())
                 return QStringLiteral("option '--files-from' needs a list file");
             o.sourceLists.append(v);
             return QString();
         }},
        {"null", nullptr,
         [](BatchOptions& o, const QString&) {
             o.listSeparator = ListSeparator::Nul;
             return QString();
         }},
        {"zip", "ARCHIVE",
         [](BatchOptions& o, const QString& v) {
             o.zipArchive = v;
             return checkArchivePath(v);
         }},
        {"shard", "INDEX/COUNT",
         [](BatchOptions& o, const QString& v) {
             o.shard = parseShard(v);
             if (!o.shard)
                 return QStringLiteral("invalid shard '%1' (use INDEX/COUNT with 0 <= INDEX < COUNT)").arg(v);
             return QString();
         }},
        {"report", "FILE",
         [](BatchOptions& o, const QString& v) {
             if (v.isEmpty())
                 return QStringLiteral("option '--report' needs a file ('-' for standard output)");
             o.report = v;
             return QString();
         }},
        {"strip", nullptr,
         [](BatchOptions& o, const QString&) {
             o.metadata = jobs::Metadata::Strip;
             return QString();
         }},
        {"quiet", nullptr,
         [](BatchOptions& o, const QString&) {
             o.quiet = true;
             return QString();
         }},
    };
    return rows;
}

const OptionRow* findOption(const QString& name)
{
    for (const OptionRow& row : optionTable()) {
        if (name == QLatin1String(row.name))
            return &row;
    }
    return nullptr;
}

const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");

// The option as the user wrote it: "--name", or "-n" for a letter given after one dash.
QString spelled(const QString& name, const QStringList& arguments)
{
    const QString dashed = QStringLiteral("--") + name;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        if (argument == dashed || argument.startsWith(dashed + QLatin1Char('=')))
            return dashed;
    }
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// The parser's refusal in the tool's own words.
QString refusal(const QCommandLineParser& parser, const QStringList& arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        return QStringLiteral("unknown option '%1'").arg(spelled(unknown.first(), arguments));
    }
    // What is left is a value missing after the last argument, or one given to a switch;
    // the parser names the option in quotes.
    const QString text = parser.errorText();
    const QString option = text.section(QLatin1Char('\''), 1, 1);
    if (option.isEmpty())
        return text;
    const OptionRow* row = findOption(option.mid(2));
    return (row && row->valueName ? QStringLiteral("option '%1' needs a value")
                                  : QStringLiteral("option '%1' takes no value"))
        .arg(option);
}

}  // namespace

ParseResult parseArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), kHelp}));
    parser.addOption(QCommandLineOption(kVersion));
    for (const OptionRow& row : optionTable()) {
        const QString name = QLatin1String(row.name);
        parser.addOption(row.valueName ? QCommandLineOption(name, QString(), QLatin1String(row.valueName))
                                       : QCommandLineOption(name));
    }
    if (!parser.parse(QStringList{QStringLiteral("quarbel-batch")} + arguments)) {
        return UsageError{refusal(parser, arguments)};
    }

    // Options take effect in the order given: the first bad value is the one reported, a
    // later value replaces an earlier one, and --help or --version ends parsing where it is.
    BatchOptions options;
    QHash<QString, qsizetype> used;  // values taken so far, by option name
    for (const QString& name : parser.optionNames()) {
        if (name == kHelp || name == QLatin1String("h"))
            return InfoRequest::Help;
        if (name == kVersion)
            return InfoRequest::Version;
        const OptionRow* row = findOption(name);
        if (!row)
            continue;  // the parser knows only the table's names
        const QString value = row->valueName ? parser.values(name).value(used[name]++) : QString();
        if (const QString error = row->apply(options, value); !error.isEmpty()) {
            return UsageError{error};
        }
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return UsageError{QStringLiteral("missing command (convert or resize)")};
    }
    const QString command = positional.takeFirst();
    if (command == QLatin1String("convert")) {
        options.job = JobKind::Convert;
    } else if (command == QLatin1String("resize")) {
        options.job = JobKind::Resize;
    } else {
        return UsageError{QStringLiteral("unknown command '%1' (use convert or resize)").arg(command)};
    }
    options.sources = positional;
    return options;
}

QString helpText()
{
    // The formats' names come from the table of formats; the completion test reads them back.
    const QString help = QStringLiteral(
        "Usage: quarbel-batch convert [--format %1] [--quality Q] --dest FOLDER "
        "[options] SOURCE...\n"
        "  or:  quarbel-batch resize --width W --height H --dest FOLDER [options] SOURCE...\n"
        "\n"
        "%2\n"
        "\n"
        "Options:\n"
        "  --format F       target format, %3\n"
        "  --quality Q      %4 quality, 5 to 100 in steps of 5\n"
        "                   (default 75; JXL at 100 is lossless, a JPEG source kept whole)\n"
        "  --width W        new width in pixels (digits)\n"
        "  --height H       new height in pixels (digits)\n"
        "  --dest FOLDER    the folder the outputs are written into\n"
        "  --no-overwrite   keep output files that already exist (counted as skipped)\n"
        "  --sub-folders    walk SOURCE folders with their sub-folders\n"
        "  --jobs N         images worked on at once, 1 to 64 (default: the number of cores;\n"
        "                   AVIF pictures go one at a time, each encode uses every core)\n"
        "  --zip ARCHIVE    also pack the files written into ARCHIVE (replaced, once complete,\n"
        "                   if it exists; an archive that cannot be written makes the status 1)\n"
        "  --files-from FILE\n"
        "                   also take the sources named in FILE, one a line, after those\n"
        "                   on the command line ('-' reads them from standard input)\n"
        "  --null           the --files-from entries end with a NUL character, not a line\n"
        "                   end\n"
        "  --shard INDEX/COUNT\n"
        "                   take only share INDEX of COUNT (0 <= INDEX < COUNT) of the\n"
        "                   sources, after folders are walked and lists read; the split\n"
        "                   is the same on every machine, and sources whose outputs\n"
        "                   would have one name are in one share\n"
        "  --report FILE    write what became of each source to FILE as JSON Lines\n"
        "                   (replaced if it exists; '-' is standard output, and the\n"
        "                   result then goes to standard error with the progress)\n"
        "  --strip          write no EXIF, XMP or IPTC data (camera, date taken, location)\n"
        "  --quiet          print only failures and the summary\n"
        "  -h, --help       show this text\n"
        "  --version        show the version\n"
        "\n"
        "The report has one JSON object a line, each written as its source ends:\n"
        "  {\"type\":\"item\",\"status\":S,\"source\":P,\"output\":P,\"reason\":R,\"bytes\":N,\"ms\":N}\n"
        "S is written, skipped (kept by --no-overwrite), failed or cancelled; R says why\n"
        "it failed or was skipped; bytes is the size of the file written (0 if none),\n"
        "ms the time since the previous source ended. A last line sums the run up:\n"
        "  {\"type\":\"summary\",\"end\":E,\"exit\":N,\"shard\":\"I/C\",\"listed\":N,\"items\":N,\n"
        "   \"written\":N,\"skipped\":N,\"failed\":N,\"cancelled\":N,\"ms\":N}\n"
        "E is finished, cancelled or refused (with the reason); shard is null without\n"
        "--shard; listed counts the whole list, items this share. Text is UTF-8 with\n"
        "quotes, backslashes and control characters escaped. A killed run leaves whole\n"
        "lines; run it again with --no-overwrite to finish it.\n"
        "\n"
        "Exit status: 0 all written or skipped, 1 an image failed, 2 usage or input error,\n"
        "130 cancelled with Ctrl-C (files written so far stay).\n");
    const std::string names = formats::listTexts("|");
    const QString firstName = QString::fromStdString(names.substr(0, names.find('|')));
    QString formatChoice = QString::fromStdString(formats::listTextsInProse());
    formatChoice.insert(firstName.size(), QStringLiteral(" (default)"));
    const QString sources =
        QStringLiteral(
            "Writes one output file per source image into FOLDER: converted to the format (named after the "
            "source with the format's extension), or scaled to W x H pixels (under the source's own name). A "
            "SOURCE file is taken as named; a SOURCE folder adds its files ending in %1 (also upper case) or "
            "in "
            "%2 (any case) in name order. SVG pictures are read at their own size, the first pages of PDF "
            "files "
            "at 72 dpi. Progress goes to standard error, the summary to standard output. The pictures' EXIF, "
            "XMP "
            "and IPTC data are kept where the format can hold them.")
            .arg(QString::fromStdString(formats::threeLetterEndingsInProse()),
                 QString::fromStdString(formats::suffixesInProse()));
    return help.arg(QString::fromStdString(names), wrapped(sources, 84), formatChoice,
                    QString::fromStdString(formats::qualityTextsInProse()));
}

QString versionText() { return QStringLiteral("quarbel-batch " QUARBEL_VERSION "\n"); }

QStringList collectSources(const BatchOptions& options)
{
    QStringList list;
    for (const QString& source : options.sources) {
        if (QFileInfo(source).isDir()) {
            // A folder contributes what the window's Multiple mode would add; a trailing
            // "/" (as shells complete folder names) is dropped, as for a dropped folder.
            list += imagelist::folderImages(imagelist::withoutTrailingSlash(source), options.subFolders);
        } else {
            list.append(source);
        }
    }
    return list;
}

}  // namespace quarbel::cli
