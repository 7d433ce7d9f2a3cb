#include "codecs/webp/Settings.h"

#include <string>

namespace quarbel::codecs::webp {

namespace {

// TODO(measure): the table of methods and options on the bench corpus.
constexpr int kMethod = 1;

int stillWanted(int /*percent*/, const WebPPicture* picture)
{
    return !isCancelled(static_cast<const CancelToken*>(picture->user_data));
}

}  // namespace

WebPConfig configFor(int quality)
{
    WebPConfig config;
    if (!WebPConfigInit(&config))
        throw Failure("the WebP library is not the version the program was built with");
    config.quality = float(quality);  // checked by the encoder
    config.method = kMethod;
    config.thread_level = 1;
    return config;
}

void watch(WebPPicture& picture, const CancelToken* cancel)
{
    picture.user_data = const_cast<CancelToken*>(cancel);
    picture.progress_hook = cancel ? stillWanted : nullptr;
}

void fail(WebPEncodingError error)
{
    switch (error) {
    case VP8_ENC_ERROR_USER_ABORT: throw Cancelled();
    case VP8_ENC_ERROR_OUT_OF_MEMORY:
    case VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY: throw Failure("not enough memory for the WebP file");
    case VP8_ENC_ERROR_BAD_DIMENSION:
        throw Failure("a WebP file holds at most " + std::to_string(WEBP_MAX_DIMENSION) + " x " +
                      std::to_string(WEBP_MAX_DIMENSION) + " pixels");
    case VP8_ENC_ERROR_PARTITION0_OVERFLOW:
    case VP8_ENC_ERROR_PARTITION_OVERFLOW:
        throw Failure("the picture has too much detail for a WebP file at this quality");
    case VP8_ENC_ERROR_FILE_TOO_BIG: throw Failure("the WebP file would be larger than 4 GiB");
    case VP8_ENC_ERROR_INVALID_CONFIGURATION: throw Failure("the WebP encoder refused its settings");
    default: throw Failure("the WebP encoder failed (libwebp error " + std::to_string(int(error)) + ")");
    }
}

void checkSize(int width, int height)
{
    if (width < 1 || height < 1 || width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION)
        fail(VP8_ENC_ERROR_BAD_DIMENSION);
}

}  // namespace quarbel::codecs::webp
