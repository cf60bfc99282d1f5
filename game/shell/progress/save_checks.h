#pragma once

#include <string>

#include "game/shell/progress/chapter.h"
#include "game/shell/progress/save_data.h"

namespace kq {

/// The longest profile name, in bytes: the typing limit of the profile dialogs' name box.
inline constexpr std::size_t profile_name_limit = 20;

/// The name with only its printable bytes (none below 32, no 127), cut to the name limit.
std::string clean_profile_name(const std::string& name);

/// Whether a name can name a profile: it holds a byte other than a blank or a control
/// character (a byte of 128 or more counts).
bool is_valid_profile_name(const std::string& name);

/// Brings data read from a save file within what the game can play, logging each correction
/// to the "game" log: names cleaned (a profile or score whose name is then invalid, or a
/// profile whose name repeats an earlier one, is dropped); difficulty, volumes, lives,
/// powerup counts, chapter quality and wins clamped; a game whose chapter or mission is not
/// in the catalogue ended. Returns the number of corrections.
int correct_save_data(SaveData& data, const Chapters& chapters);

}
