#pragma once
// quarbel-batch's command line. Each option is one row of a table (BatchOptions.cpp), so an
// option is added by adding its row.

#include "imagelist/FolderWalk.h"
#include "jobs/Jobs.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace quarbel::cli {

enum class JobKind { Convert, Resize };

// How the entries of a --files-from list are separated.
enum class ListSeparator { Newline, Nul };

// --shard INDEX/COUNT: this process takes share INDEX of COUNT (0 <= INDEX < COUNT).
struct Shard {
    int index = 0;
    int count = 1;
};

struct BatchOptions {
    JobKind job = JobKind::Convert;
    QString format = QStringLiteral("JPG");  // the format list's text
    QString quality = QStringLiteral("75");  // the quality list's text
    QString width = QStringLiteral("0");     // as the size fields hold it
    QString height = QStringLiteral("0");
    QString destination;
    bool noOverwrite = false;
    imagelist::Subfolders subFolders = imagelist::Subfolders::Exclude;
    int jobs = 0;  // 0 = the number of cores
    bool quiet = false;
    jobs::Metadata metadata = jobs::Metadata::Keep;  // --strip: write none
    QString zipArchive;       // --zip: pack the written files into this archive ("" = none)
    QStringList sources;      // as given: files and folders
    QStringList sourceLists;  // --files-from: files naming more sources ("-" = standard input)
    ListSeparator listSeparator = ListSeparator::Newline;
    std::optional<Shard> shard;  // --shard: only this share of the list
    QString report;              // --report: JSON Lines of the run ("" = none, "-" = standard output)
};

enum class InfoRequest { Help, Version };

struct UsageError {
    QString message;
};

using ParseResult = std::variant<BatchOptions, InfoRequest, UsageError>;

// Parses the arguments after the program name (QCommandLineParser's rules: "--name value",
// "--name=value", "-h", "--" ends the options). A list file is only named here, not read.
ParseResult parseArguments(const QStringList& arguments);

QString helpText();
QString versionText();

// The image list a run works on: a file SOURCE as named, a folder SOURCE's image files in
// list order (with its sub-folders when asked).
QStringList collectSources(const BatchOptions& options);

}  // namespace quarbel::cli
