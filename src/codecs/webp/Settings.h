#pragma once
// How we drive libwebp's lossy encoder (the settings and their measurements are in
// Settings.cpp), cancelling through its progress hook, and its errors in words.

#include "codecs/Cancel.h"

#include <webp/encode.h>

namespace quarbel::codecs::webp {

// The encoder's configuration at a quality (0 .. 100).
WebPConfig configFor(int quality);

// Makes libwebp stop with VP8_ENC_ERROR_USER_ABORT at its next progress report once the
// token is cancelled. The token outlives the encoding.
void watch(WebPPicture& picture, const CancelToken* cancel);

// Cancelled for a user abort, otherwise a Failure saying what libwebp refused.
[[noreturn]] void fail(WebPEncodingError error);

// Throws the Failure libwebp would give for a size it cannot hold.
void checkSize(int width, int height);

}  // namespace quarbel::codecs::webp
