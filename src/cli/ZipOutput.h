#pragma once
// quarbel-batch --zip ARCHIVE: after a run, the files it wrote are packed into a ZIP archive
// (entries in list order under their file names, with the program's name as the archive
// comment). Files kept because they existed and files that failed are not packed. A run
// that wrote nothing, or was cancelled, writes no archive and says so.

#include "jobs/JobHost.h"

#include <QString>
#include <cstdio>

namespace quarbel::cli {

inline constexpr const char* kArchiveComment = "Quarbel Image Converter 1.0";

// Checks an archive path before the run, so a run's work is not lost to a path that can
// never be written; "" when usable.
QString checkArchivePath(const QString& path);

// Packs the run's written files into the archive (an existing one is replaced only by a
// complete new one), prints what became of it, and returns the run's exit status, made 1
// when the archive could not be written.
int writeRunArchive(const QString& archive, const jobs::JobSummary& summary, int status, std::FILE* out,
                    std::FILE* err);

}  // namespace quarbel::cli
