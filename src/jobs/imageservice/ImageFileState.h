#pragma once
// What an ImageFile holds: the file's bytes and what its header says.

#include "jobs/imageservice/ImageService.h"
#include "jobs/imageservice/vips/Decode.h"

#include <memory>
#include <span>

namespace quarbel::imageservice {

struct ImageFile::State {
    std::vector<std::uint8_t> data;
    SourceInfo info;
    // Bytes held elsewhere instead of in data (Encoded, LoadView), alive while owner is (or,
    // for a view without an owner, while the caller keeps them).
    std::shared_ptr<const void> owner;
    std::span<const std::uint8_t> held;
    bool viewed = false;
    bool encodedElsewhere = false;  // Encoded: only to be saved
    int heldFd = -1;                // Encoded: a descriptor whose first bytes are held

    std::span<const std::uint8_t> bytes() const
    {
        return owner || viewed ? held : std::span<const std::uint8_t>(data);
    }
};

}  // namespace quarbel::imageservice
