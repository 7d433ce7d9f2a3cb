#pragma once
// One list item's work in the worker processes, and how it is done: alone (its own Work
// message) or, for small sources, together with others in one batch. A batch is one
// round trip for all of its items; what becomes of each item is the same as if it had gone
// alone: an item that fails in a batch fails with its own reason, and when the batch as a
// whole comes to nothing (the worker died on one of its pictures, overran its time, or
// answered what cannot be read), every item of it is sent again alone, in a fresh worker,
// so that only the picture that kills a worker fails, with the reason it gives alone.

#include "jobs/imageservice/ImageService.h"
#include "platform/sandbox/WorkerPool.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace quarbel::jobs {

struct ItemWork {
    QString source;
    QStringList sourceSpellings;    // FileKeys::sourceKeys() of the source
    std::uint64_t sourceBytes = 0;  // the source's size when the work was started (a hint)
    imageservice::CancelToken cancel;
    platform::sandbox::Cancellation stop;  // kills the worker process in hand on a cancel
    std::atomic<bool> done{false};
    imageservice::Result outcome;  // valid once done
    bool stopped = false;          // valid once done: the cancel ended it before its end
    imageservice::ImageFile result;
};

// An item's source read for its work.
struct ItemSource {
    std::shared_ptr<ItemWork> item;
    std::vector<std::uint8_t> bytes;
};

// Reads the item's source; false, with the item's outcome set, when it cannot be read or the
// item was cancelled.
bool readSource(ItemWork& item, std::vector<std::uint8_t>& bytes);

// Works an item alone and sets its outcome (and result). workFile reads its file itself, into
// shared memory by the kernel: the program never holds a large picture's bytes (two 250 MB
// PNGs in flight took the window to 640 MB when they were read into its own memory first).
void workFile(platform::sandbox::WorkerPool& workers, const std::string& request, ItemWork& item);
void workAlone(platform::sandbox::WorkerPool& workers, const std::string& request, ItemWork& item,
               std::vector<std::uint8_t> bytes);

// Works the items in one batch and sets each one's outcome. stop, cancelled from any thread,
// kills the worker that has the batch; its items that were not cancelled themselves then go
// alone.
void workTogether(platform::sandbox::WorkerPool& workers, const std::string& request,
                  std::vector<ItemSource>& items, platform::sandbox::Cancellation& stop);

}  // namespace quarbel::jobs
