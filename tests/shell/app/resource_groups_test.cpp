#include <gtest/gtest.h>

#include <string>

#include "game/shell/app/resource_groups.h"

namespace kq {
namespace {

TEST(ResourceGroupsTest, EachPrefixBelongsToItsGroup)
{
    struct Case
    {
        const char* path;
        unsigned group;
    };
    const Case cases[] = {
        {"data/art/mainmenu/back.jpg", 2},
        {"data/art/field/spark.png", 4},
        {"data/sound/pop.wav", 4},
        {"data/items/vimu.png", 4},
        {"data/art/academy/board.png", 8},
        {"data/art/map/map.jpg", 16},
        {"data/art/chapters/1/back.jpg", 32},
        {"data/art/chapters/3/back.jpg", 128},
        {"data/art/chapters/8/back.jpg", 32u << 7},
        {"data/art/chapters/12/back.jpg", 32},  // plain prefixes: chapter 1 comes first
        {"data/art/chapters/9/back.jpg", 1},
        {"data/art/chapters/x/back.jpg", 1},
        {"data/art/chapters/", 1},
        {"data/art/logo/logo1.jpg", 1},
        {"data/skin/game/game.sdt", 1},
        {"data/", 1},
        {"data/art/fieldwork.png", 4},  // a prefix, not a folder
    };
    for (const Case& c : cases) {
        // As the resource manager keeps it, inside the data tree, and from the game's folder.
        const std::string inside = std::string(c.path).substr(5);
        for (const char* path : {c.path, inside.c_str()}) {
            for (int bit = 0; bit < 13; ++bit) {
                const unsigned groups = 1u << bit;
                EXPECT_EQ(resource_group_filter(groups, path), groups == c.group) << path << " bit " << bit;
            }
            EXPECT_TRUE(resource_group_filter(~0u, path)) << path;
            EXPECT_FALSE(resource_group_filter(0, path)) << path;
        }
    }
}

TEST(ResourceGroupsTest, MusicAndNullAreNeverPreloaded)
{
    for (const char* music : {"data/music/title.ogg", "music/title.ogg", "data/musicbox.png"})
        EXPECT_FALSE(resource_group_filter(~0u, music)) << music;
    EXPECT_TRUE(resource_group_filter(1, ""));
    EXPECT_FALSE(resource_group_filter(~0u, nullptr));
    EXPECT_TRUE(resource_group_filter(resource_group::general | resource_group::main_menu, "data/art/mainmenu/x.png"));
    EXPECT_EQ(resource_group::chapter(3), 128u);
}

}
}
