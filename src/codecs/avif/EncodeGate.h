#pragma once
// One AVIF encode at a time in the process. aom already spreads one encode over every core,
// so a second encode beside it buys no time and doubles the memory (an encoder holds about
// 170 MB for a 12-megapixel photo). Encoders of other formats do not pass through here.

#include <mutex>

namespace quarbel::codecs::avif {

class EncodeGate {
public:
    // Waits until no other encode runs, and holds the gate while it lives. A thread that
    // holds the gate already passes again at once (a caller may take it around the work
    // that makes the picture too).
    EncodeGate();
    ~EncodeGate();
    EncodeGate(const EncodeGate&) = delete;
    EncodeGate& operator=(const EncodeGate&) = delete;

    // The most encodes that have ever been inside the gate at once in this process.
    static int mostAtOnce();

private:
    std::unique_lock<std::mutex> m_lock;
};

}  // namespace quarbel::codecs::avif
