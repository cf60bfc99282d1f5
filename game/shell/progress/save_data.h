#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/shell/progress/profile.h"
#include "game/shell/progress/score_entry.h"

namespace kq {

/// Everything the save file holds: the player data of the game.
struct SaveData
{
    Profiles profiles;
    /// Name of the current profile; empty when there is none.
    std::string profile_name;
    ScoreTable score_table;
    /// Kept from file to file; nothing else uses it.
    bool reserved_flag = false;
};

/// The version of the file that this program writes, and the newest it reads.
inline constexpr int save_file_version = 1;

/// The bytes of the save file: version 1, the profiles (records of version 1), the current
/// name, the score table in name order and the flag; all numbers little-endian, the tip names
/// interned once over the whole file.
std::string write_save_data(const SaveData& data);

/// The file's version (its first byte); -1 for an empty file.
int save_data_version(std::string_view bytes);

/// Reads the bytes of a save file of version 0 or 1 into `out` (profile records of every
/// version; a newer file is the caller's to refuse). Throws `IOException` on damage: a file
/// cut short, a count or length beyond the bytes left, a bad interned-name id; `out` is then
/// partly filled. Bytes after the end are ignored.
void read_save_data(std::string_view bytes, SaveData& out);

}
