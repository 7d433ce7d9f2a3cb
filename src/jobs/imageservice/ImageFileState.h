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
    // A finished file held elsewhere instead of in data (Encoded), alive while owner is.
    std::shared_ptr<const void> owner;
    std::span<const std::uint8_t> held;

    std::span<const std::uint8_t> bytes() const { return owner ? held : std::span<const std::uint8_t>(data); }
};

}  // namespace quarbel::imageservice
