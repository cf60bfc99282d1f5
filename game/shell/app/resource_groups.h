#pragma once

namespace kq {

/// The preload groups of the resource files, as bits of a group mask: bit 0 everything not
/// listed, bit 1 "data/art/mainmenu", bit 2 "data/art/field", "data/sound" and "data/items",
/// bit 3 "data/art/academy", bit 4 "data/art/map", bit 4 + n "data/art/chapters/<n>" for
/// chapters 1 to 8. "data/music" is in no group: it is streamed, never preloaded.
namespace resource_group {
inline constexpr unsigned general = 1u << 0;
inline constexpr unsigned main_menu = 1u << 1;
inline constexpr unsigned field = 1u << 2;
inline constexpr unsigned academy = 1u << 3;
inline constexpr unsigned map = 1u << 4;
/// The group of a chapter's art, 1 to 8.
constexpr unsigned chapter(int n) { return 32u << (n - 1); }
}

/// Whether the resource file at the path (as the resource manager registers it, inside the
/// data tree, or from the game's folder with "data/" first) belongs to one of the groups of
/// the mask; false for a null path.
bool resource_group_filter(unsigned groups, const char* path);

}
