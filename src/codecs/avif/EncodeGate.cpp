#include "codecs/avif/EncodeGate.h"

#include <atomic>

namespace quarbel::codecs::avif {

namespace {

std::mutex gate;
std::atomic<int> inside{0};
std::atomic<int> most{0};
thread_local int depth = 0;  // gates this thread is inside

}  // namespace

EncodeGate::EncodeGate()
{
    if (depth == 0) {  // else this thread holds the gate already
        m_lock = std::unique_lock<std::mutex>(gate);
        const int now = inside.fetch_add(1) + 1;
        int seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) {
        }
    }
    ++depth;
}

EncodeGate::~EncodeGate()
{
    if (--depth == 0)
        inside.fetch_sub(1);
}

int EncodeGate::mostAtOnce() { return most.load(); }

}  // namespace quarbel::codecs::avif
