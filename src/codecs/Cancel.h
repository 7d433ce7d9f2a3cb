#pragma once
// Stopping work on a picture part-way. Whoever starts the work keeps a CancelToken and hands
// it down (a null pointer means "never cancelled"); the pixel loops and encoders look at it
// between rows or strips and, once it is cancelled, throw Cancelled, so a large picture stops
// within a strip instead of running to its end. Cancelling is safe from any thread.

#include "codecs/Failure.h"

#include <atomic>

namespace quarbel::codecs {

struct Cancelled : Failure {
    Cancelled() : Failure("cancelled") {}
};

class CancelToken {
public:
    void cancel() noexcept { m_cancelled.store(true, std::memory_order_relaxed); }
    bool cancelled() const noexcept { return m_cancelled.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_cancelled{false};
};

inline bool isCancelled(const CancelToken* token) noexcept { return token && token->cancelled(); }

// Throws Cancelled when the token was cancelled.
inline void checkCancel(const CancelToken* token)
{
    if (isCancelled(token))
        throw Cancelled();
}

}  // namespace quarbel::codecs
