#include "engine/platform/texture_entries.h"

#include "engine/base/tstream.h"
#include "engine/res/res_key.h"

namespace kq {

void read_texture_entries(TStream& stream, std::vector<ResHandle<Texture>>& entries)
{
    stream.expect("{");
    while (!stream.token_is("}")) {
        ResKey key;
        stream >> key;
        entries.emplace_back(key);
    }
    stream.expect("}");
}

}
