#pragma once
// What an ImageFile holds: the file's bytes and what its header says.

#include "jobs/imageservice/ImageService.h"
#include "jobs/imageservice/vips/Decode.h"

namespace quarbel::imageservice {

struct ImageFile::State {
    std::vector<std::uint8_t> data;
    SourceInfo info;
};

}  // namespace quarbel::imageservice
