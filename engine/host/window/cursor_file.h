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

/// What a cursor file holds: its pictures and, for an animated cursor, the order and times
/// they show in.
struct CursorFile
{
    /// One step of an animation: the frame shown and for how long.
    struct Step
    {
        int frame = 0;
        int duration_ms = 0;
    };

    /// At least one picture.
    std::vector<CursorImage> frames;
    /// Empty for a still cursor; else the steps, repeated without end.
    std::vector<Step> steps;

    /// The picture shown first.
    const CursorImage& first_frame() const { return frames[steps.empty() ? 0 : steps[0].frame]; }
};

/// Reads a cursor file held in memory: "cur" and "ico" files (of the entries, the one nearest
/// 32 x 32; an icon points with its centre) and "ani" animated cursors (every frame, shown in
/// the file's sequence at its rates, in sixtieths of a second). Uncompressed bitmaps of 1, 4,
/// 8, 24 and 32 bits per pixel are understood. Every count, size and offset is checked
/// against the data; on damaged or unknown data, or another extension, returns false with
/// `error` saying why.
bool read_cursor_file(const std::uint8_t* data, std::size_t size, const std::string& extension,
                      CursorFile& out, std::string& error);

}
