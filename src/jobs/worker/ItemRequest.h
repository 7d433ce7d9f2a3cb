#pragma once
// What the program tells a worker process about the items of a job, as the text of its Work
// messages: the job's filter chain and the settings of the program's Image Service that
// change what Apply does (the pixel limit, libvips' threads per picture).

#include <cstdint>
#include <string>
#include <string_view>

namespace quarbel::imageservice {
class ImageProcess;
}

namespace quarbel::jobs::worker {

struct ItemRequest {
    std::uint64_t maxPixels = 0;
    int threadsPerImage = 1;
    std::string process;  // processToText() of the chain
};

// The request for a job run with this chain under the calling process's current settings.
ItemRequest requestFor(const imageservice::ImageProcess& process);

std::string requestToText(const ItemRequest& request);
bool requestFromText(std::string_view text, ItemRequest& request);

}  // namespace quarbel::jobs::worker
