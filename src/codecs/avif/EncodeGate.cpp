#include "codecs/avif/EncodeGate.h"

#include <atomic>

namespace quarbel::codecs::avif {

namespace {

std::mutex gate;
std::atomic<int> inside{0};
std::atomic<int> most{0};

}  // namespace

EncodeGate::EncodeGate() : m_lock(gate)
{
    const int now = inside.fetch_add(1) + 1;
    int seen = most.load();
    while (now > seen && !most.compare_exchange_weak(seen, now)) {
    }
}

EncodeGate::~EncodeGate() { inside.fetch_sub(1); }

int EncodeGate::mostAtOnce() { return most.load(); }

}  // namespace quarbel::codecs::avif
