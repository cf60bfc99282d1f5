#pragma once

#include "game/shell/play/profile_field_game.h"
#include "game/shell/progress/profile.h"

namespace kq::test {

/// The game of a new profile (easy, no trophies, effects on) by the real profile rules: the
/// profile's upgrade costs and new pieces anywhere in the field's areas.
struct FirstProfile : ProfileFieldGame
{
    FirstProfile() : ProfileFieldGame(profile) {}
    FirstProfile(const FirstProfile&) = delete;
    FirstProfile& operator=(const FirstProfile&) = delete;

    Profile profile;
};

}
