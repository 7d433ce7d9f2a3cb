#pragma once
// The window's previews are decoded in worker processes, confined like a job's
// (platform/sandbox): a picture that crashes or hangs its decoder costs a worker, never the
// window, and the pictures' memory lives in the workers. Two workers: one for the picture
// the person asked for, one for the pictures decoded ahead (PreviewPrefetch.h), so neither
// waits for the other.
//
// The file's bytes go to the worker through shared memory; only the box-sized picture comes
// back, and its numbers are checked before it becomes a QImage.

#include "imagelist/PictureLoader.h"
#include "platform/sandbox/WorkerPool.h"

#include <QSize>
#include <QString>
#include <optional>

namespace quarbel::imagelist {

class PreviewWorkers {
public:
    explicit PreviewWorkers(const platform::sandbox::WorkerOptions& options, int count = 2);

    // The process's workers (started on the first preview, ended when the program ends).
    static PreviewWorkers& shared();

    // Starts the workers and their decoders ahead of the first preview (about a quarter of a
    // second each, which the first picture would otherwise wait for). Blocks meanwhile.
    void warmUp();

    PreviewOutcome decode(const QString& path, QSize box, platform::sandbox::Cancellation* cancel = nullptr);
    // From the file's first bytes only; nothing when the header is not among them or is bad.
    std::optional<QSize> readSize(const QString& path, platform::sandbox::Cancellation* cancel = nullptr);

private:
    platform::sandbox::WorkerPool m_pool;
};

}  // namespace quarbel::imagelist
