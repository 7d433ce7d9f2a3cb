#pragma once
// The development's passes over a picture share its rows (or tiles) among threads.

#include <algorithm>
#include <cstddef>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace quarbel::codecs::raw {

// Runs work(first, last, band) over [0, count) cut into `bands` pieces, one a thread. Where
// no more threads can be made, the calling thread works the bands that got none.
template <typename Work>
void inBands(std::size_t count, int bands, const Work& work)
{
    bands = int(std::clamp<std::size_t>(std::size_t(std::max(bands, 1)), 1, std::max<std::size_t>(count, 1)));
    const auto first = [&](int band) { return count * band / bands; };
    std::vector<std::thread> threads;
    int band = 1;
    try {
        threads.reserve(bands - 1);
        for (; band < bands; ++band)
            threads.emplace_back(work, first(band), first(band + 1), band);
    } catch (const std::system_error&) {
    } catch (const std::bad_alloc&) {
    }
    work(std::size_t(0), first(1), 0);
    for (; band < bands; ++band)
        work(first(band), first(band + 1), band);
    for (std::thread& thread : threads)
        thread.join();
}

}  // namespace quarbel::codecs::raw
