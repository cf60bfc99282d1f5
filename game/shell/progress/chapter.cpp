#include "game/shell/progress/chapter.h"

#include <string>

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin_child_iterator.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

SharedPtr<Sprite> read_sprite(const SkinPath& path)
{
    return SharedPtr<Sprite>(clone_resource<Sprite, Sprite>(path));
}

void read_state_sprites(const SkinPath& path, Chapter& chapter)
{
    for (SkinChildIterator child(path, "state_sprite"); !child.at_end(); child.next()) {
        StringStream name(child.name().c_str());
        GameState state = GameState::running;
        read_game_state(name, state);
        chapter.state_sprites[state] = read_sprite(child.path());
    }
}

[[noreturn]] void fail(const SkinPath& path, const std::string& message)
{
    KQ_THROW(ServiceException, "game", message + " [" + path.text() + "]");
}

}

Chapter read_chapter(const SkinPath& path)
{
    Chapter chapter;
    chapter.background = read_sprite(path + "background");
    chapter.overground = read_sprite(path + "overground");
    chapter.trophy = read_sprite(path + "trophy");
    read_skin_value(path + "cloud_appear_period", &chapter.cloud_appear_period);
    // The travel map adds a cloud each time its clock passes the period: a period of 0 or
    // less would add one on every frame, without end.
    if (chapter.cloud_appear_period <= 0)
        fail(path + "cloud_appear_period", "cloud period must be above 0");
    read_skin_value(path + "haze_level", &chapter.haze_level);
    read_skin_value(path + "quality_target", &chapter.quality_target);
    read_skin_value(path + "name", &chapter.name);
    read_state_sprites(path, chapter);
    int mission_count = 0;
    read_skin_value(path + "mission_count", &mission_count);
    // The progress rules move from a chapter's missions to the next: a chapter must have one.
    if (mission_count < 1)
        fail(path + "mission_count", "chapter without missions");
    for (int m = 1; m <= mission_count; ++m)
        chapter.missions[m] = read_mission(SkinPath(path, StrCache::get(("mission" + std::to_string(m)).c_str())));
    return chapter;
}

}
