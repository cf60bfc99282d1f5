#pragma once

#include <vector>

#include "engine/platform/texture.h"

namespace kq {

class TStream;

/// Reads "{", then entries up to "}", each a texture's path and an integer token (its key's
/// flags), appending one unloaded handle per entry.
void read_texture_entries(TStream& stream, std::vector<ResHandle<Texture>>& entries);

}
