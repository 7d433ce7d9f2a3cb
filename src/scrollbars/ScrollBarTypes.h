#pragma once
// The numbers a scroll bar owner and its message hook share: which bar, which bars are shown,
// the looks, the two scroll messages and the request codes they carry in their first
// parameter's low word.

namespace quarbel {

enum class eBar { Horizontal = 0, Vertical = 1 };
enum class eOrientation { Horizontal = 0, Vertical = 1, Both = 2 };
// Regular is the style's own look; Encarta is flat with raised parts under the pointer; Flat
// is flat with the part under the pointer highlighted.
enum class eStyle { Regular = 0, Encarta = 1, Flat = 2 };

constexpr int MsgHScroll = 276;
constexpr int MsgVScroll = 277;

enum ScrollRequest : int {
    LineUp = 0,
    LineDown = 1,
    PageUp = 2,
    PageDown = 3,
    ThumbPosition = 4,  // the thumb was let go, or moved in one step (wheel); the value follows
    ThumbTrack = 5,
    ToTop = 6,
    ToBottom = 7,
    EndScroll = 8,
};

// The first parameter of a scroll message: request code low, 16-bit thumb position high.
constexpr unsigned long long scrollParam(int request, int position)
{
    return (static_cast<unsigned long long>(static_cast<unsigned>(position) & 0xFFFFu) << 16) |
           (static_cast<unsigned>(request) & 0xFFFFu);
}
constexpr int requestOf(unsigned long long wParam) { return static_cast<int>(wParam & 0xFFFFu); }

}  // namespace quarbel
