#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kq::host {

/// A cursor picture: straight-alpha RGBA pixels, rows top to bottom, and the hot spot (the
/// pixel that points).
struct CursorImage
{
    int width = 0;
    int height = 0;
    int hot_x = 0;
    int hot_y = 0;
    std::vector<std::uint8_t> rgba;
};

/// Reads a cursor file held in memory: "cur" and "ico" files (of the entries, the one nearest
/// 32 x 32; an icon points with its centre) and "ani" animated cursors (their first shown
/// frame). Uncompressed bitmaps of 1, 4, 8, 24 and 32 bits per pixel are understood. Every
/// count, size and offset is checked against the data; on damaged or unknown data, or another
/// extension, returns false with `error` saying why.
bool read_cursor_file(const std::uint8_t* data, std::size_t size, const std::string& extension,
                      CursorImage& out, std::string& error);

}
