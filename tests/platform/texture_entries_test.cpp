#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"
#include "engine/platform/texture_entries.h"

namespace kq {
namespace {

TEST(TextureEntries, ReadsPathsAndFlagsUpToTheBrace)
{
    struct Case
    {
        const char* text;
        std::vector<ResKey> keys;
    };
    const Case cases[] = {
        {"{ }", {}},
        {"{ \"Images/A.PNG\" 0 }", {{"images/a.png", 0}}},
        {"{ \"a\\\\b.png\" 10h \"c.png\" -1 } rest", {{"a/b.png", 16}, {"c.png", -1}}},
    };
    for (const Case& c : cases) {
        StringStream stream(c.text);
        std::vector<ResHandle<Texture>> entries;
        read_texture_entries(stream, entries);
        std::vector<ResKey> keys;
        for (const ResHandle<Texture>& entry : entries)
            keys.push_back(entry.key());
        EXPECT_EQ(keys, c.keys) << c.text;
    }
}

TEST(TextureEntries, BrokenListsAreStreamErrors)
{
    for (const char* text : {"", "( \"a.png\" 0 }", "{ \"a.png\" 0", "{ \"a.png\" }"}) {
        StringStream stream(text);
        std::vector<ResHandle<Texture>> entries;
        EXPECT_THROW(read_texture_entries(stream, entries), Exception) << text;
    }
}

}
}
