#include "game/shell/progress/save_data.h"

#include <bit>

#include "engine/base/bstream.h"
#include "engine/base/buffer.h"
#include "engine/base/exception.h"

namespace kq {

namespace {

void write_i32(BStream& stream, std::int32_t value)
{
    write_u32(stream, static_cast<std::uint32_t>(value));
}

void write_f32(BStream& stream, float value)
{
    write_u32(stream, std::bit_cast<std::uint32_t>(value));
}

void write_bool(BStream& stream, bool value)
{
    write_u8(stream, value ? 1 : 0);
}

std::int32_t read_i32(BStream& stream)
{
    return static_cast<std::int32_t>(stream.read_word());
}

float read_f32(BStream& stream)
{
    return std::bit_cast<float>(stream.read_word());
}

bool read_bool(BStream& stream)
{
    return stream.read_byte() != 0;
}

// The record's field order is the stored one: tips before effects, score before lives.
void write_profile(BStream& stream, const Profile& profile)
{
    write_u8(stream, 1);
    write_binary(stream, profile.name);
    write_bool(stream, profile.fullscreen);
    write_bool(stream, profile.hardware_cursors);
    write_bool(stream, profile.tips);
    write_bool(stream, profile.effects);
    write_f32(stream, profile.effect_volume);
    write_f32(stream, profile.music_volume);
    write_i32(stream, profile.difficulty);
    write_i32(stream, profile.chapter);
    write_i32(stream, profile.mission);
    write_bool(stream, profile.pre_events_shown);
    write_binary(stream, profile.shown_tips);
    write_i32(stream, profile.chapter_quality);
    write_i32(stream, profile.chapter_wins);
    for (bool trophy : profile.trophies)
        write_bool(stream, trophy);
    write_u8(stream, 0);  // the game record's version
    write_i32(stream, profile.score);
    write_i32(stream, profile.lives);
    for (int count : profile.powerups)
        write_i32(stream, count);
    write_bool(stream, profile.fresh);
}

// A record of version 0 holds a second difficulty value, which nothing uses, and no fresh
// flag; a version above 1 reads as 1.
void read_profile(BStream& stream, Profile& profile)
{
    const int version = stream.read_byte();
    read_binary(stream, profile.name);
    profile.fullscreen = read_bool(stream);
    profile.hardware_cursors = read_bool(stream);
    profile.tips = read_bool(stream);
    profile.effects = read_bool(stream);
    profile.effect_volume = read_f32(stream);
    profile.music_volume = read_f32(stream);
    profile.difficulty = read_i32(stream);
    if (version == 0)
        read_i32(stream);
    profile.chapter = read_i32(stream);
    profile.mission = read_i32(stream);
    profile.pre_events_shown = read_bool(stream);
    read_binary(stream, profile.shown_tips);
    profile.chapter_quality = read_i32(stream);
    profile.chapter_wins = read_i32(stream);
    for (bool& trophy : profile.trophies)
        trophy = read_bool(stream);
    stream.read_byte();  // the game record's version
    profile.score = read_i32(stream);
    profile.lives = read_i32(stream);
    for (int& count : profile.powerups)
        count = read_i32(stream);
    profile.fresh = version >= 1 ? read_bool(stream) : false;
}

// The smallest profile record (version 1 with an empty name and no tips): version, name
// length, four flags, two volumes, difficulty, chapter and mission, pre-events flag, tip
// count, quality and wins, trophies, record version, score and lives, powerups, fresh flag.
constexpr std::uint32_t smallest_profile_record = 1 + 4 + 4 + 8 + 12 + 1 + 4 + 8 + 8 + 1 + 8 + 20 + 1;
static_assert(smallest_profile_record == 80);

}

std::string write_save_data(const SaveData& data)
{
    StringBuffer buffer;
    {
        BStream stream(buffer);
        write_u8(stream, save_file_version);
        write_u32(stream, static_cast<std::uint32_t>(data.profiles.size()));
        for (const Profile& profile : data.profiles)
            write_profile(stream, profile);
        write_binary(stream, data.profile_name);
        write_u32(stream, static_cast<std::uint32_t>(data.score_table.size()));
        for (const auto& [name, score] : data.score_table) {
            write_binary(stream, name);
            write_i32(stream, score);
        }
        write_bool(stream, data.reserved_flag);
    }
    return buffer.str();
}

int save_data_version(std::string_view bytes)
{
    return bytes.empty() ? -1 : static_cast<unsigned char>(bytes[0]);
}

void read_save_data(std::string_view bytes, SaveData& out)
{
    StringBuffer buffer{std::string(bytes)};
    BStream stream(buffer);
    const int version = stream.read_byte();
    const std::uint32_t profile_count = stream.read_count_of(smallest_profile_record);
    for (std::uint32_t i = 0; i < profile_count; ++i)
        read_profile(stream, out.profiles.emplace_back());
    read_binary(stream, out.profile_name);
    const std::uint32_t score_count = stream.read_count_of(8);
    for (std::uint32_t i = 0; i < score_count; ++i) {
        std::string name;
        read_binary(stream, name);
        out.score_table[name] = read_i32(stream);
    }
    if (version >= 1)
        out.reserved_flag = read_bool(stream);
}

}
