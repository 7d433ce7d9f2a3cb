#pragma once
// The work of a job's items inside a worker process: the source file's bytes in, the finished
// output file's bytes out, through the same Image Service calls the program made itself
// before workers (LoadBytes, then Apply of the job's chain), so outputs are the same bytes.
// A Work message carries one item (its text is the item request) or a batch of small items
// (kBatchOperation, ItemBatch.h), each worked alone in turn; serve() tells them apart, and
// from the window's preview requests (PreviewWorker.h).

#include "jobs/imageservice/ImageService.h"
#include "platform/sandbox/WorkerMain.h"

#include <functional>

namespace quarbel::jobs::worker {

struct ItemAnswer {
    platform::sandbox::HandlerStatus status = platform::sandbox::HandlerStatus::Done;
    std::string reason;              // when Failed
    imageservice::ImageFile output;  // when Done
};

// One item: request is the ItemRequest text, source the file's bytes, read where they are.
ItemAnswer workOne(std::string_view request, std::span<const std::uint8_t> source);

using ItemFunction =
    std::function<ItemAnswer(std::string_view request, std::span<const std::uint8_t> source)>;

// quarbel-worker's handler: an item, or a batch of them, each through `one`; or a preview.
platform::sandbox::HandlerResult serve(std::string_view operation, std::span<const std::uint8_t> input,
                                       platform::sandbox::SharedBuffer& output,
                                       const ItemFunction& one = workOne);

// One item as its own Work message.
platform::sandbox::HandlerResult workItem(std::string_view request, std::span<const std::uint8_t> source,
                                          platform::sandbox::SharedBuffer& output,
                                          const ItemFunction& one = workOne);
// A batch of items (the input and output laid out as ItemBatch.h says).
platform::sandbox::HandlerResult workBatch(std::string_view request, std::span<const std::uint8_t> input,
                                           platform::sandbox::SharedBuffer& output,
                                           const ItemFunction& one = workOne);

}  // namespace quarbel::jobs::worker
