#include "engine/host/window/cursor_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kq::host {

namespace {

constexpr int max_side = 256;

/// Why a file cannot be read; thrown inside this file only.
struct Damaged
{
    const char* why;
};

/// A window of the file's bytes whose every read is checked against its end.
class Bytes
{
public:
    Bytes(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::size_t size() const { return m_size; }
    const std::uint8_t* data() const { return m_data; }

    /// The part [offset, offset + length).
    Bytes part(std::size_t offset, std::size_t length) const
    {
        if (offset > m_size || length > m_size - offset)
            throw Damaged{"a part lies beyond the end of the file"};
        return Bytes(m_data + offset, length);
    }
    std::uint8_t u8(std::size_t offset) const { return part(offset, 1).m_data[0]; }
    std::uint16_t u16(std::size_t offset) const
    {
        const std::uint8_t* p = part(offset, 2).m_data;
        return static_cast<std::uint16_t>(p[0] | p[1] << 8);
    }
    std::uint32_t u32(std::size_t offset) const
    {
        const std::uint8_t* p = part(offset, 4).m_data;
        return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    }
    std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
    bool starts_with(const char* text, std::size_t offset = 0) const
    {
        const std::size_t n = std::strlen(text);
        return offset <= m_size && n <= m_size - offset && std::memcmp(m_data + offset, text, n) == 0;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
};

struct DirectoryEntry
{
    int width;
    int height;
    int hot_x;
    int hot_y;
    std::uint32_t length;
    std::uint32_t offset;
};

std::size_t row_bytes(std::size_t width, std::size_t bits)
{
    return (width * bits + 31) / 32 * 4;
}

bool bit_set(const std::uint8_t* row, int x)
{
    return (row[x / 8] >> (7 - x % 8)) & 1;
}

/// The colour index of pixel x in a row of 1, 4 or 8 bits per pixel.
int palette_index(const std::uint8_t* row, int x, int bits)
{
    const int per_byte = 8 / bits;
    const int shift = (per_byte - 1 - x % per_byte) * bits;
    return (row[x / per_byte] >> shift) & ((1 << bits) - 1);
}

/// Reads a device-independent bitmap of an icon: the colour picture, then the one-bit mask
/// (set = transparent), both bottom row first, the height counting both.
CursorImage read_icon_bitmap(const Bytes& image)
{
    const std::uint32_t header = image.u32(0);
    if (header < 40 || header > image.size())
        throw Damaged{"bad bitmap header size"};
    const std::int32_t width = image.i32(4);
    const std::int32_t double_height = image.i32(8);
    const int bits = image.u16(14);
    const std::uint32_t compression = image.u32(16);
    const std::uint32_t colours_used = image.u32(32);
    if (width < 1 || width > max_side || double_height < 2 || double_height > 2 * max_side)
        throw Damaged{"bad bitmap size"};
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        throw Damaged{"unsupported bits per pixel"};
    if (compression != 0)
        throw Damaged{"compressed bitmaps are not supported"};
    const int height = double_height / 2;

    std::size_t offset = header;
    std::size_t colours = 0;
    if (bits <= 8) {
        colours = colours_used ? colours_used : std::size_t{1} << bits;
        if (colours > (std::size_t{1} << bits))
            throw Damaged{"bad palette size"};
    }
    const Bytes palette = image.part(offset, colours * 4);
    offset += colours * 4;
    const std::size_t colour_row = row_bytes(width, bits);
    const Bytes colour = image.part(offset, colour_row * height);
    offset += colour_row * height;
    const std::size_t mask_row = row_bytes(width, 1);
    // A 32-bit picture carries its own alpha; its mask may be left out.
    const bool has_mask = bits != 32 || image.size() - offset >= mask_row * height;
    const Bytes mask = has_mask ? image.part(offset, mask_row * height) : Bytes(nullptr, 0);

    CursorImage out;
    out.width = width;
    out.height = height;
    out.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    bool any_alpha = false;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = colour.data() + (height - 1 - y) * colour_row;
        for (int x = 0; x < width; ++x) {
            std::uint8_t* dst = &out.rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            const std::uint8_t* bgr = nullptr;
            if (bits <= 8) {
                const std::size_t index = palette_index(src, x, bits);
                if (index >= colours)
                    throw Damaged{"colour index beyond the palette"};
                bgr = palette.data() + index * 4;
            } else {
                bgr = src + x * (bits / 8);
            }
            dst[0] = bgr[2];
            dst[1] = bgr[1];
            dst[2] = bgr[0];
            dst[3] = bits == 32 ? src[x * 4 + 3] : 255;
            any_alpha = any_alpha || dst[3] != 0;
        }
    }
    // Without alpha of its own the mask decides. A masked pixel with colour would invert the
    // screen beneath it, which a colour cursor cannot do: it shows black instead.
    if ((bits != 32 || !any_alpha) && has_mask) {
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = mask.data() + (height - 1 - y) * mask_row;
            for (int x = 0; x < width; ++x) {
                std::uint8_t* dst = &out.rgba[(static_cast<std::size_t>(y) * width + x) * 4];
                const bool coloured = dst[0] || dst[1] || dst[2];
                if (bit_set(row, x) && coloured)
                    std::fill(dst, dst + 3, std::uint8_t{0});
                dst[3] = bit_set(row, x) && !coloured ? 0 : 255;
            }
        }
    }
    return out;
}

/// Reads an icon or cursor file: a directory of pictures, the one nearest 32 x 32 taken.
CursorImage read_icon_file(const Bytes& file)
{
    if (file.u16(0) != 0)
        throw Damaged{"not an icon or cursor file"};
    const int type = file.u16(2);
    const int count = file.u16(4);
    if (type != 1 && type != 2)
        throw Damaged{"not an icon or cursor file"};
    if (count == 0)
        throw Damaged{"no pictures"};
    file.part(6, static_cast<std::size_t>(count) * 16);

    std::vector<DirectoryEntry> entries;
    for (int i = 0; i < count; ++i) {
        const std::size_t at = 6 + static_cast<std::size_t>(i) * 16;
        const int width = file.u8(at) ? file.u8(at) : 256;
        const int height = file.u8(at + 1) ? file.u8(at + 1) : 256;
        entries.push_back({width, height, file.u16(at + 4), file.u16(at + 6), file.u32(at + 8),
                           file.u32(at + 12)});
    }
    const auto distance = [](const DirectoryEntry& entry) {
        return std::abs(entry.width - 32) + std::abs(entry.height - 32);
    };
    const DirectoryEntry& best = *std::min_element(
        entries.begin(), entries.end(),
        [&](const DirectoryEntry& a, const DirectoryEntry& b) { return distance(a) < distance(b); });

    const Bytes image = file.part(best.offset, best.length);
    if (image.starts_with("\x89PNG"))
        throw Damaged{"PNG pictures are not supported"};
    CursorImage out = read_icon_bitmap(image);
    if (type == 2) {
        out.hot_x = best.hot_x;
        out.hot_y = best.hot_y;
    } else {
        out.hot_x = out.width / 2;
        out.hot_y = out.height / 2;
    }
    if (out.hot_x >= out.width || out.hot_y >= out.height)
        throw Damaged{"hot spot outside the picture"};
    return out;
}

/// The chunks of a RIFF list: calls `visit`(id, data) for each; sizes are checked, odd
/// sizes padded.
template <class Visit>
void for_each_chunk(const Bytes& list, Visit visit)
{
    std::size_t at = 0;
    while (at < list.size()) {
        const Bytes head = list.part(at, 8);
        const std::uint32_t length = head.u32(4);
        const Bytes data = list.part(at + 8, length);
        visit(head, data);
        at += 8 + std::size_t{length} + (length & 1);
    }
}

/// The steps of an animation of `frames` frames: `count` steps, frames from the sequence
/// (else in order), times from the rates (else `default_rate`), in sixtieths of a second.
std::vector<CursorFile::Step> animation_steps(std::size_t frames, std::uint32_t count, const Bytes* sequence,
                                              const Bytes* rates, std::uint32_t default_rate)
{
    if (!sequence)
        count = static_cast<std::uint32_t>(frames);
    if ((sequence && sequence->size() / 4 < count) || (rates && rates->size() / 4 < count))
        throw Damaged{"fewer steps than the header says"};
    std::vector<CursorFile::Step> steps;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t frame = sequence ? sequence->u32(i * 4) : i;
        if (frame >= frames)
            throw Damaged{"a step names a missing frame"};
        // A step of no time would spin: it lasts one sixtieth at least.
        const std::uint32_t sixtieths = std::clamp<std::uint32_t>(rates ? rates->u32(i * 4) : default_rate, 1, 6000);
        steps.push_back({static_cast<int>(frame), static_cast<int>(sixtieths * 1000 / 60)});
    }
    return steps;
}

/// Reads an animated cursor: a header, the frames (each a cursor or icon file), and
/// optionally the sequence of frames and the time of each step.
CursorFile read_animated_file(const Bytes& file)
{
    if (!file.starts_with("RIFF") || !file.starts_with("ACON", 8))
        throw Damaged{"not an animated cursor"};
    const std::uint32_t riff_length = file.u32(4);
    if (riff_length < 4)
        throw Damaged{"bad RIFF size"};
    // Trailing bytes beyond the RIFF size are ignored; a RIFF size beyond the file is not.
    const Bytes chunks = file.part(12, riff_length - 4);

    bool have_header = false;
    std::uint32_t step_count = 0;
    std::uint32_t default_rate = 0;
    std::vector<Bytes> frames;
    std::vector<Bytes> sequence;
    std::vector<Bytes> rates;
    for_each_chunk(chunks, [&](const Bytes& head, const Bytes& data) {
        if (head.starts_with("anih")) {
            if (data.size() < 36)
                throw Damaged{"short animation header"};
            if (!(data.u32(32) & 1))
                throw Damaged{"raw animation frames are not supported"};
            have_header = true;
            step_count = data.u32(8);
            default_rate = data.u32(28);
        } else if (head.starts_with("seq ")) {
            sequence.assign(1, data);
        } else if (head.starts_with("rate")) {
            rates.assign(1, data);
        } else if (head.starts_with("LIST") && data.starts_with("fram")) {
            for_each_chunk(data.part(4, data.size() - 4), [&](const Bytes& frame_head, const Bytes& frame) {
                if (frame_head.starts_with("icon"))
                    frames.push_back(frame);
            });
        }
    });
    if (!have_header)
        throw Damaged{"no animation header"};
    if (frames.empty())
        throw Damaged{"no frames"};
    CursorFile out;
    out.steps = animation_steps(frames.size(), step_count, sequence.empty() ? nullptr : &sequence[0],
                                rates.empty() ? nullptr : &rates[0], default_rate);
    for (const Bytes& frame : frames)
        out.frames.push_back(read_icon_file(frame));
    return out;
}

}

bool read_cursor_file(const std::uint8_t* data, std::size_t size, const std::string& extension,
                      CursorFile& out, std::string& error)
{
    try {
        const Bytes file(data, size);
        if (extension == "cur" || extension == "ico")
            out = CursorFile{{read_icon_file(file)}, {}};
        else if (extension == "ani")
            out = read_animated_file(file);
        else
            throw Damaged{"not a cursor file extension"};
        return true;
    } catch (const Damaged& damaged) {
        error = damaged.why;
        return false;
    }
}

}
