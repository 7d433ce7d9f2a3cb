#pragma once
// Compares a surface with a picture written as rows of characters, each character standing
// for a colour, so expected pixels can be drawn by hand in the test.

#include "gfx/Surface.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace quarbel::gfx::testing {

using Palette = std::map<char, Color>;

inline std::string describe(const Surface& s, const Rect& r, const Palette& palette)
{
    std::ostringstream out;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            char c = '?';
            for (const auto& [key, color] : palette)
                if (s.pixel(x, y) == color)
                    c = key;
            out << c;
        }
        out << '\n';
    }
    return out.str();
}

// The rows start at (left, top) of the surface.
inline ::testing::AssertionResult matches(const Surface& s, const std::vector<std::string>& rows,
                                          const Palette& palette, int left = 0, int top = 0)
{
    std::string expected;
    for (const std::string& row : rows)
        expected += row + '\n';
    const int width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    const std::string actual =
        describe(s, {left, top, left + width, top + static_cast<int>(rows.size())}, palette);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected\n" << expected << "actual\n" << actual;
}

}  // namespace quarbel::gfx::testing
