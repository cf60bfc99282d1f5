#include "engine/platform/music_info.h"

namespace kq {

bool operator==(const MusicInfo& a, const MusicInfo& b)
{
    return a.sample == b.sample && a.start_time == b.start_time && a.volume == b.volume;
}

}
