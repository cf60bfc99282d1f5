#pragma once

// The quads a recording artist drew, one by one, with the state each was drawn in.

#include <array>
#include <cstdint>
#include <vector>

#include "tests/platform/recording_artist.h"

namespace kq::test {

struct DrawnQuad
{
    TextureHandle texture = 0;
    TextureHandle second_texture = 0;
    std::uint32_t state = 0;
    std::array<DeviceVertex, 4> v;

    float x(int i) const { return v[std::size_t(i)].x; }
    float y(int i) const { return v[std::size_t(i)].y; }
    /// A channel of vertex i's colour word (0 blue, 1 green, 2 red, 3 alpha), 0 to 1.
    float channel(int i, int which) const
    {
        return float((v[std::size_t(i)].color >> (8 * which)) & 0xFFu) / 255.0f;
    }
    float alpha(int i) const { return channel(i, 3); }
};

/// Flushes the artist and splits its batches of quads into single quads, in drawing order.
inline std::vector<DrawnQuad> drawn_quads(RecordingArtist& artist)
{
    artist.flush();
    std::vector<DrawnQuad> quads;
    for (const RecordedBatch& batch : artist.batches) {
        if (batch.kind != primitive_quads)
            continue;
        for (std::size_t first = 0; first + 4 <= batch.vertices.size(); first += 4) {
            DrawnQuad quad;
            quad.texture = batch.texture;
            quad.second_texture = batch.second_texture;
            quad.state = batch.state;
            for (std::size_t i = 0; i < 4; ++i)
                quad.v[i] = batch.vertices[first + i];
            quads.push_back(quad);
        }
    }
    artist.batches.clear();
    return quads;
}

}
