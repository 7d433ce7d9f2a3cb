#pragma once
// QUARBEL_THREAD_SANITIZER is defined in a build under ThreadSanitizer (GCC and clang
// spell the test differently), for the few places that tell the sanitizer what it cannot see.

#if defined(__SANITIZE_THREAD__)
#define QUARBEL_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QUARBEL_THREAD_SANITIZER 1
#endif
#endif
