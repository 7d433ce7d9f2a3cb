#include "cli/BatchOptions.h"

#include "imagelist/AddRules.h"
#include "imagelist/Paths.h"

#include "cli/ZipOutput.h"
#include "jobs/ConvertJob.h"

#include <QFileInfo>
#include <functional>

namespace quarbel::cli {
namespace {

bool allDigits(const QString& text) {
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    }
    return true;
}

// The quality list offers 100, 95, ... 5.
bool isOfferedQuality(const QString& text) {
    for (int value = 100; value >= 5; value -= 5) {
        if (text == QString::number(value)) return true;
    }
    return false;
}

// Sets an option from its value; returns an error message, or "" when the value is fine.
using Apply = std::function<QString(BatchOptions&, const QString& value)>;

struct OptionRow {
    const char* name;
    bool takesValue;
    Apply apply;
};

const std::vector<OptionRow>& optionTable() {
    static const std::vector<OptionRow> rows = {
        {"--format", true,
         [](BatchOptions& o, const QString& v) {
             for (const jobs::TargetFormat& row : jobs::kTargetFormats) {
                 if (v.compare(QLatin1String(row.text), Qt::CaseInsensitive) == 0) {
                     o.format = QLatin1String(row.text);
                     return QString();
                 }
             }
             return QStringLiteral("unknown format '%1' (use JPG, PNG, GIF, BMP or TIFF)").arg(v);
         }},
        {"--quality", true,
         [](BatchOptions& o, const QString& v) {
             if (!isOfferedQuality(v))
                 return QStringLiteral("invalid quality '%1' (use 5, 10, 15 ... 100)").arg(v);
             o.quality = v;
             return QString();
         }},
        {"--width", true,
         [](BatchOptions& o, const QString& v) {
             if (!allDigits(v)) return QStringLiteral("invalid width '%1' (digits only)").arg(v);
             o.width = v;
             return QString();
         }},
        {"--height", true,
         [](BatchOptions& o, const QString& v) {
             if (!allDigits(v)) return QStringLiteral("invalid height '%1' (digits only)").arg(v);
             o.height = v;
             return QString();
         }},
        {"--dest", true,
         [](BatchOptions& o, const QString& v) {
             o.destination = v;
             return QString();
         }},
        {"--jobs", true,
         [](BatchOptions& o, const QString& v) {
             bool ok = false;
             const int n = v.toInt(&ok);
             if (!ok || !allDigits(v) || n < 1 || n > 64)
                 return QStringLiteral("invalid number of jobs '%1' (use 1 to 64)").arg(v);
             o.jobs = n;
             return QString();
         }},
        {"--no-overwrite", false,
         [](BatchOptions& o, const QString&) {
             o.noOverwrite = true;
             return QString();
         }},
        {"--sub-folders", false,
         [](BatchOptions& o, const QString&) {
             o.subFolders = imagelist::Subfolders::Include;
             return QString();
         }},
        {"--zip", true,
         [](BatchOptions& o, const QString& v) {
             o.zipArchive = v;
             return checkArchivePath(v);
         }},
        {"--quiet", false,
         [](BatchOptions& o, const QString&) {
             o.quiet = true;
             return QString();
         }},
    };
    return rows;
}

const OptionRow* findOption(const QString& name) {
    for (const OptionRow& row : optionTable()) {
        if (name == QLatin1String(row.name)) return &row;
    }
    return nullptr;
}

}  // namespace

ParseResult parseArguments(const QStringList& arguments) {
    BatchOptions options;
    bool haveJob = false;
    bool onlySources = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (onlySources || !argument.startsWith(QLatin1String("--"))) {
            if (haveJob) {
                options.sources.append(argument);
                continue;
            }
            if (argument == QLatin1String("convert")) {
                options.job = JobKind::Convert;
            } else if (argument == QLatin1String("resize")) {
                options.job = JobKind::Resize;
            } else {
                return UsageError{QStringLiteral("unknown command '%1' (use convert or resize)")
                                      .arg(argument)};
            }
            haveJob = true;
            continue;
        }
        if (argument == QLatin1String("--")) {
            onlySources = true;
            continue;
        }
        if (argument == QLatin1String("--help")) return InfoRequest::Help;
        if (argument == QLatin1String("--version")) return InfoRequest::Version;

        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? argument : argument.left(equals);
        const OptionRow* row = findOption(name);
        if (!row) return UsageError{QStringLiteral("unknown option '%1'").arg(name)};
        QString value;
        if (row->takesValue) {
            if (equals >= 0) {
                value = argument.mid(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return UsageError{QStringLiteral("option '%1' needs a value").arg(name)};
            }
        } else if (equals >= 0) {
            return UsageError{QStringLiteral("option '%1' takes no value").arg(name)};
        }
        if (const QString error = row->apply(options, value); !error.isEmpty()) {
            return UsageError{error};
        }
    }
    if (!haveJob) return UsageError{QStringLiteral("missing command (convert or resize)")};
    return options;
}

QString helpText() {
    return QStringLiteral(
        "Usage:\n"
        "  quarbel-batch convert [--format JPG|PNG|GIF|BMP|TIFF] [--quality Q] --dest FOLDER "
        "[options] SOURCE...\n"
        "  quarbel-batch resize --width W --height H --dest FOLDER [options] SOURCE...\n"
        "\n"
        "Writes one output file per source image into FOLDER: converted to the format (named\n"
        "after the source with the format's extension), or scaled to W x H pixels (under the\n"
        "source's own name). A SOURCE file is taken as named; a SOURCE folder adds its files\n"
        "ending in bmp, jpg, png, gif or tif (also upper case) in name order.\n"
        "\n"
        "Options:\n"
        "  --format F       target format, JPG (default), PNG, GIF, BMP or TIFF\n"
        "  --quality Q      JPEG quality, 5 to 100 in steps of 5 (default 75)\n"
        "  --width W        new width in pixels (digits)\n"
        "  --height H       new height in pixels (digits)\n"
        "  --dest FOLDER    the folder the outputs are written into\n"
        "  --no-overwrite   keep output files that already exist (counted as skipped)\n"
        "  --sub-folders    walk SOURCE folders with their sub-folders\n"
        "  --jobs N         images worked on at once, 1 to 64 (default: the number of cores)\n"
        "  --zip ARCHIVE    also pack the files written into ARCHIVE (replaced, once complete,\n"
        "                   if it exists; an archive that cannot be written makes the status 1)\n"
        "  --quiet          print only failures and the summary\n"
        "  --help           show this text\n"
        "  --version        show the version\n"
        "\n"
        "Exit status: 0 all written or skipped, 1 an image failed, 2 usage or input error,\n"
        "130 cancelled with Ctrl-C (files written so far stay).\n");
}

QString versionText() { return QStringLiteral("quarbel-batch 1.0\n"); }

QStringList collectSources(const BatchOptions& options) {
    QStringList list;
    for (const QString& source : options.sources) {
        if (QFileInfo(source).isDir()) {
            // A folder contributes what the window's Multiple mode would add; a trailing
            // "/" (as shells complete folder names) is dropped, as for a dropped folder.
            list += imagelist::folderImages(imagelist::withoutTrailingSlash(source),
                                            options.subFolders);
        } else {
            list.append(source);
        }
    }
    return list;
}

}  // namespace quarbel::cli
