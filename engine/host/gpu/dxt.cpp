#include "engine/host/gpu/dxt.h"

#include "engine/host/gpu/image_formats.h"

namespace kq::host {

namespace {

// The colour half of a block: two 5:6:5 end points and 2-bit indices. With the first end
// point not above the second, DXT1 has three colours and transparent black; the other
// formats always use four colours.
void decode_colours(const std::uint8_t* block, bool three_colour_mode, std::uint8_t* rgba)
{
    const std::uint32_t c0 = le16(block), c1 = le16(block + 2);
    std::uint8_t colours[4][4];
    for (int i = 0; i < 2; ++i) {
        const std::uint32_t c = i == 0 ? c0 : c1;
        colours[i][0] = masked_channel(c, 0xF800);
        colours[i][1] = masked_channel(c, 0x07E0);
        colours[i][2] = masked_channel(c, 0x001F);
        colours[i][3] = 255;
    }
    const bool four = !three_colour_mode || c0 > c1;
    for (int k = 0; k < 3; ++k) {
        const int a = colours[0][k], b = colours[1][k];
        colours[2][k] = static_cast<std::uint8_t>(four ? (2 * a + b) / 3 : (a + b) / 2);
        colours[3][k] = static_cast<std::uint8_t>(four ? (a + 2 * b) / 3 : 0);
    }
    colours[2][3] = 255;
    colours[3][3] = four ? 255 : 0;
    const std::uint32_t indices = le32(block + 4);
    for (int i = 0; i < 16; ++i) {
        const std::uint8_t* colour = colours[(indices >> (2 * i)) & 3];
        for (int k = 0; k < 4; ++k)
            rgba[i * 4 + k] = colour[k];
    }
}

// Explicit 4-bit alpha, one nibble a pixel.
void decode_explicit_alpha(const std::uint8_t* block, std::uint8_t* rgba)
{
    for (int i = 0; i < 16; ++i) {
        const unsigned nibble = (block[i / 2] >> (4 * (i % 2))) & 0xF;
        rgba[i * 4 + 3] = static_cast<std::uint8_t>(nibble * 17);
    }
}

// Two alpha end points and 3-bit indices: eight interpolated values, or six and 0 and 255
// when the first end point is not above the second.
void decode_interpolated_alpha(const std::uint8_t* block, std::uint8_t* rgba)
{
    const unsigned a0 = block[0], a1 = block[1];
    unsigned alphas[8] = {a0, a1};
    if (a0 > a1) {
        for (unsigned i = 1; i <= 6; ++i)
            alphas[i + 1] = ((7 - i) * a0 + i * a1) / 7;
    } else {
        for (unsigned i = 1; i <= 4; ++i)
            alphas[i + 1] = ((5 - i) * a0 + i * a1) / 5;
        alphas[6] = 0;
        alphas[7] = 255;
    }
    std::uint64_t indices = 0;
    for (int i = 0; i < 6; ++i)
        indices |= std::uint64_t(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i)
        rgba[i * 4 + 3] = static_cast<std::uint8_t>(alphas[(indices >> (3 * i)) & 7]);
}

}

void decode_dxt_block(DxtFormat format, const std::uint8_t* block, std::uint8_t rgba[64])
{
    switch (format) {
    case DxtFormat::dxt1:
        decode_colours(block, true, rgba);
        break;
    case DxtFormat::dxt3:
        decode_colours(block + 8, false, rgba);
        decode_explicit_alpha(block, rgba);
        break;
    case DxtFormat::dxt5:
        decode_colours(block + 8, false, rgba);
        decode_interpolated_alpha(block, rgba);
        break;
    }
}

}
