#include "game/shell/progress/score_entry.h"

#include <algorithm>

#include "engine/base/string_stream.h"
#include "engine/base/string_utils.h"
#include "engine/res/skin.h"

namespace kq {

void read_score_table(const SkinPath& path, ScoreTable& scores)
{
    StringStream stream(get_skin_text(path));
    stream.expect("{");
    while (!stream.token_is("}")) {
        std::string name;
        stream >> name;
        stream.expect(",");
        scores[name] = to_int(stream.read_token());
    }
    stream.expect("}");
}

void record_score(ScoreTable& scores, const std::string& name, int score)
{
    int& best = scores[name];
    best = std::max(best, score);
}

}
