#pragma once

#include <cstdint>

namespace kq::host {

/// Block-compressed formats: 4x4 pixels a block.
enum class DxtFormat { dxt1, dxt3, dxt5 };

/// Bytes of one block: 8 for DXT1, 16 for the others.
constexpr unsigned dxt_block_size(DxtFormat format)
{
    return format == DxtFormat::dxt1 ? 8 : 16;
}

/// Decodes one block into 16 RGBA pixels, row by row.
void decode_dxt_block(DxtFormat format, const std::uint8_t* block, std::uint8_t rgba[64]);

}
