#pragma once
// The pixels our own encoders take and our own decoders give: 8-bit samples, `bands` per
// pixel (1 grey, 2 grey + alpha, 3 RGB, 4 RGBA), rows `stride` bytes apart. A view owns
// nothing; whoever made it keeps the bytes alive while it is used.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quarbel::codecs {

struct PixelView {
    const std::uint8_t* data = nullptr;
    int width = 0, height = 0, bands = 0;
    std::size_t stride = 0;  // bytes from one row to the next

    std::size_t rowBytes() const { return std::size_t(width) * std::size_t(bands); }
    std::size_t pixels() const { return std::size_t(width) * std::size_t(height); }
    bool hasAlpha() const { return bands == 2 || bands == 4; }
    bool tight() const { return stride == rowBytes(); }
    const std::uint8_t* row(int y) const { return data + std::size_t(y) * stride; }
    // Rows first .. first + count - 1 of this view.
    PixelView rows(int first, int count) const { return {row(first), width, count, bands, stride}; }
};

// Rows one after another without padding, in a view of the same pixels.
inline PixelView tightView(const std::uint8_t* data, int width, int height, int bands)
{
    return {data, width, height, bands, std::size_t(width) * std::size_t(bands)};
}

// The view itself when its rows follow each other without padding, else a copy of its pixels
// in `storage` that does.
inline PixelView packed(const PixelView& view, std::vector<std::uint8_t>& storage)
{
    if (view.tight())
        return view;
    storage.resize(view.rowBytes() * std::size_t(view.height));
    for (int y = 0; y < view.height; ++y)
        std::memcpy(storage.data() + view.rowBytes() * std::size_t(y), view.row(y), view.rowBytes());
    return tightView(storage.data(), view.width, view.height, view.bands);
}

}  // namespace quarbel::codecs
