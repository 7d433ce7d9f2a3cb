#pragma once
// The job's percentage: n / count * 100 rounded to the nearest whole number, halves to the
// even neighbour, computed exactly in integers (1 of 8 gives 12, 3 of 8 gives 38).

namespace quarbel::jobs {

constexpr int percentOf(int n, int count)
{
    if (count <= 0)
        return 0;
    const long long scaled = static_cast<long long>(n) * 100;
    long long whole = scaled / count;
    const long long twiceRest = (scaled % count) * 2;
    if (twiceRest > count || (twiceRest == count && whole % 2 != 0))
        ++whole;
    return static_cast<int>(whole);
}

}  // namespace quarbel::jobs
