#include "codecs/jpeg/Profile.h"

#include <string_view>

namespace quarbel::codecs::jpeg {

bool isSrgbProfile(const void* data, std::size_t size)
{
    if (!data || size < 132)
        return false;
    std::string_view bytes(static_cast<const char*>(data), size);
    if (bytes.substr(16, 4) != "RGB ")
        return false;
    return bytes.find("sRGB") != std::string_view::npos ||
           bytes.find(std::string_view("s\0R\0G\0B", 7)) != std::string_view::npos;
}

}  // namespace quarbel::codecs::jpeg
