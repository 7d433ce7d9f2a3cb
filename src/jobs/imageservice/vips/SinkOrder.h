#pragma once
// The order in which libvips calls a sink's callbacks, told to ThreadSanitizer.
//
// vips_sink_disc calls its write callback on libvips' write-behind thread, one strip after
// another, and returns only after the last call; the state the callback feeds (an encoder)
// is made before and finished after, on the calling thread. libvips keeps that order with
// GLib locks built on futexes of their own, which the sanitizer cannot see: each access of
// the encoder looked like a race, and checking the millions of them one by one before
// suppressing them made one job test (four 1200 x 900 BMPs) take 14 minutes instead of
// seconds. A SinkEvaluation around the evaluation and a SinkTurn around each call state the
// order. In a build without ThreadSanitizer they compile to nothing.

#include "platform/ThreadSanitizer.h"

#ifdef QUARBEL_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

namespace quarbel::imageservice::vips_util {

inline void handOff([[maybe_unused]] void* sink)
{
#ifdef QUARBEL_THREAD_SANITIZER
    __tsan_release(sink);
#endif
}

inline void takeOver([[maybe_unused]] void* sink)
{
#ifdef QUARBEL_THREAD_SANITIZER
    __tsan_acquire(sink);
#endif
}

// Around the evaluation, on the thread that asks for it: what it did before happens before
// the first callback, and the last callback before what it does after.
class SinkEvaluation {
public:
    explicit SinkEvaluation(void* sink) : m_sink(sink) { handOff(m_sink); }
    ~SinkEvaluation() { takeOver(m_sink); }
    SinkEvaluation(const SinkEvaluation&) = delete;
    SinkEvaluation& operator=(const SinkEvaluation&) = delete;

private:
    void* m_sink;
};

// Around one callback, on libvips' thread: after the evaluation's start and the callbacks
// before it, and before those after it and the evaluation's end.
class SinkTurn {
public:
    explicit SinkTurn(void* sink) : m_sink(sink) { takeOver(m_sink); }
    ~SinkTurn() { handOff(m_sink); }
    SinkTurn(const SinkTurn&) = delete;
    SinkTurn& operator=(const SinkTurn&) = delete;

private:
    void* m_sink;
};

}  // namespace quarbel::imageservice::vips_util
