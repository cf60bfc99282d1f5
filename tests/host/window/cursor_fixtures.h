#pragma once

// Cursor, icon and animated-cursor files built in memory, byte by byte, for the tests.
#include <cstdint>
#include <string>
#include <vector>

namespace kq::test {

inline void put_u16(std::string& out, std::uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

inline void put_u32(std::string& out, std::uint32_t value)
{
    put_u16(out, value & 0xFFFF);
    put_u16(out, value >> 16);
}

/// A picture to store as an icon bitmap.
struct IconBitmap
{
    int width = 0;
    int height = 0;
    int bits = 32;
    std::vector<std::uint32_t> palette;  ///< 0xRRGGBB, for 8 bits or fewer
    std::vector<std::uint32_t> pixels;   ///< top row first: palette indices, or 0xAARRGGBB
    std::vector<bool> mask;              ///< top row first, true = transparent; empty = none set
};

/// The bitmap as an icon stores it: header, palette, colours and mask, bottom row first.
inline std::string icon_bitmap(const IconBitmap& bitmap)
{
    std::string out;
    put_u32(out, 40);
    put_u32(out, bitmap.width);
    put_u32(out, bitmap.height * 2);
    put_u16(out, 1);
    put_u16(out, bitmap.bits);
    put_u32(out, 0);  // no compression
    for (int i = 0; i < 3; ++i)
        put_u32(out, 0);  // picture size, resolution
    put_u32(out, static_cast<std::uint32_t>(bitmap.palette.size()));
    put_u32(out, 0);
    for (std::uint32_t colour : bitmap.palette)
        put_u32(out, colour);
    const int row = (bitmap.width * bitmap.bits + 31) / 32 * 4;
    for (int y = bitmap.height - 1; y >= 0; --y) {
        std::string line(row, '\0');
        for (int x = 0; x < bitmap.width; ++x) {
            const std::uint32_t value = bitmap.pixels[y * bitmap.width + x];
            if (bitmap.bits <= 8) {
                const int per_byte = 8 / bitmap.bits;
                const int shift = (per_byte - 1 - x % per_byte) * bitmap.bits;
                line[x / per_byte] = static_cast<char>(line[x / per_byte] | (value << shift));
            } else {
                for (int k = 0; k < bitmap.bits / 8; ++k)
                    line[x * (bitmap.bits / 8) + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
            }
        }
        out += line;
    }
    const int mask_row = (bitmap.width + 31) / 32 * 4;
    for (int y = bitmap.height - 1; y >= 0; --y) {
        std::string line(mask_row, '\0');
        for (int x = 0; x < bitmap.width; ++x)
            if (!bitmap.mask.empty() && bitmap.mask[y * bitmap.width + x])
                line[x / 8] = static_cast<char>(line[x / 8] | (0x80 >> (x % 8)));
        out += line;
    }
    return out;
}

/// One picture of an icon or cursor file.
struct IconEntry
{
    std::string image;  ///< the stored picture
    int width = 0;      ///< as the directory says
    int height = 0;
    int hot_x = 0;
    int hot_y = 0;
};

/// An icon (type 1) or cursor (type 2) file.
inline std::string icon_file(int type, const std::vector<IconEntry>& entries)
{
    std::string out;
    put_u16(out, 0);
    put_u16(out, type);
    put_u16(out, static_cast<std::uint32_t>(entries.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
    for (const IconEntry& entry : entries) {
        out += static_cast<char>(entry.width & 0xFF);
        out += static_cast<char>(entry.height & 0xFF);
        out += '\0';
        out += '\0';
        put_u16(out, entry.hot_x);
        put_u16(out, entry.hot_y);
        put_u32(out, static_cast<std::uint32_t>(entry.image.size()));
        put_u32(out, offset);
        offset += static_cast<std::uint32_t>(entry.image.size());
    }
    for (const IconEntry& entry : entries)
        out += entry.image;
    return out;
}

/// A cursor file of one 32-bit picture of one colour, opaque, with the hot spot given.
inline std::string plain_cursor(int width, int height, int hot_x, int hot_y, std::uint32_t argb = 0xFF336699)
{
    IconBitmap bitmap{width, height, 32, {}, std::vector<std::uint32_t>(width * height, argb), {}};
    return icon_file(2, {{icon_bitmap(bitmap), width, height, hot_x, hot_y}});
}

/// A RIFF chunk, padded to an even length.
inline std::string riff_chunk(const std::string& id, const std::string& data)
{
    std::string out = id;
    put_u32(out, static_cast<std::uint32_t>(data.size()));
    out += data;
    if (data.size() % 2)
        out += '\0';
    return out;
}

/// An animated cursor of the frames (each a cursor file), shown in the order `steps` (none:
/// frame order) for `rates` sixtieths of a second each (none: ten each); `flags` bit 0 says
/// the frames are cursor files.
inline std::string ani_file(const std::vector<std::string>& frames, const std::vector<std::uint32_t>& steps = {},
                            const std::vector<std::uint32_t>& rates = {}, std::uint32_t flags = 1)
{
    std::string header;
    put_u32(header, 36);
    put_u32(header, static_cast<std::uint32_t>(frames.size()));
    put_u32(header, static_cast<std::uint32_t>(steps.empty() ? frames.size() : steps.size()));
    for (int i = 0; i < 4; ++i)
        put_u32(header, 0);
    put_u32(header, 10);  // ten sixtieths of a second a frame
    put_u32(header, flags | (steps.empty() ? 0 : 2));
    std::string body = "ACON" + riff_chunk("anih", header);
    if (!steps.empty()) {
        std::string sequence;
        for (std::uint32_t step : steps)
            put_u32(sequence, step);
        body += riff_chunk("seq ", sequence);
    }
    if (!rates.empty()) {
        std::string times;
        for (std::uint32_t rate : rates)
            put_u32(times, rate);
        body += riff_chunk("rate", times);
    }
    std::string list = "fram";
    for (const std::string& frame : frames)
        list += riff_chunk("icon", frame);
    body += riff_chunk("LIST", list);
    return riff_chunk("RIFF", body);
}

}
