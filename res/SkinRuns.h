// The form the skin library keeps its images in: opaque RGB pixels coded as
// runs. The skins are drawn pictures, flat fills and shapes repeated from one
// row to the next, so a few fills and copies per row bring a window's image
// back, where a PNG costs an inflate and an unfilter pass over every byte.
//
//   header  "VCR1", then width and height, each 32 bits little-endian
//   ops     the pixels in row order, left to right; one op may run on into
//           the next row. Each op is a tag byte: the kind in its top two bits,
//           the count in its low six: 0..62 stand for 1..63 pixels, 63 for 64
//           plus an unsigned LEB128 number that follows the tag.
//             0 literal  count pixels follow, 3 bytes each (red, green, blue)
//             1 fill     one pixel follows (3 bytes), repeated count times
//             2 above    count pixels copied from one row up, same column
//           The ops end exactly at the last pixel and the last byte.
//
// Plain C++, no toolkit: the generator writes this form, the program and the
// tests read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace skinruns {

constexpr std::size_t kHeaderSize = 12;
// Larger images than any window are refused before anything is allocated.
constexpr std::uint32_t kMaxSide = 8192;

struct Size {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The size the header gives; false when the bytes are not in this form or the
// size is empty or above kMaxSide.
bool readSize(const unsigned char* data, std::size_t size, Size& out);

// Codes width x height pixels (0xAARRGGBB; the alpha byte is not kept) read
// from rows stride pixels apart.
std::vector<unsigned char> encode(const std::uint32_t* pixels, std::uint32_t width,
                                  std::uint32_t height, std::size_t stride);

// Writes the image into rows stride (>= width) pixels apart, every pixel
// 0xFFRRGGBB. False when the bytes are damaged in any way: a bad header, an
// op past the last pixel or the end of the data, an above-copy in the first
// row, an unknown op, bytes left over; out may then be partly written but
// never beyond its width x height pixels.
bool decode(const unsigned char* data, std::size_t size, std::uint32_t* out, std::size_t stride);

} // namespace skinruns
