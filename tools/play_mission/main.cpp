// A bot that plays the missions of the data tree, headless on the real device, and prints one
// line a mission and seed: chapter, mission, seed, outcome, shots, score, field time and the
// lowest the meter fell.
// Made for keeping the campaign playable: each mission should be won at difficulty 0.
//
//   play_mission [options] [MISSION...]
//     MISSION          a mission's skin node, e.g. missions.chapter1.mission1; default: every
//                      mission of the catalogue
//   options:
//     --root FILE      the resource root file (default: default.root beside this program)
//     --seeds N        plays each mission with the seeds 1 to N (default 1)
//     --difficulty D   the profile's difficulty, 0 to 2 (default 0)
//     --shots N        gives up after N shots (default 150)
//     --think-ms N     field time spent aiming before each shot, milliseconds (default 0)
//     --aim-error R    the aim strays up to R radians either way (default 0.12)
//
// The bot plays the player's game (a new profile's) and sees what the player sees: a piece
// under a cloud is no target. It shoots a piece of the largest group of one generation at its
// nearest fellow, with a pull and a stray of its seeded generator's choosing, once the field
// has settled and it has thought. It drives the clocks itself, so nothing waits on the wall
// clock. A summary closes each mission: wins out of the seeds, the games left unfinished, the
// median of the shots and of the lowest meter.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/base/clock.h"
#include "engine/base/exception.h"
#include "engine/base/mainframe.h"
#include "engine/base/random.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_draw.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "game/field/field.h"
#include "game/field/field_types.h"
#include "game/field/objects/cloud.h"
#include "game/field/objects/white_cloud.h"
#include "game/field/physics/physics_world.h"
#include "game/shell/play/profile_field_game.h"
#include "game/shell/progress/catalogue.h"
#include "game/shell/progress/profile.h"
#include "tools/mission_tools/mission_screen.h"

namespace {

struct Options
{
    std::string root;
    std::vector<std::string> missions;
    int seeds = 1;
    int difficulty = 0;
    int shots = 150;
    int think_ms = 0;
    float aim_error = 0.12f;
};

// The process's clock for the object's life, moved on by the bot with the field: effects that
// run on the wall clock keep step with the field, and nothing sleeps.
class DrivenClock : public kq::Clock
{
public:
    /// Starts where the clock it replaces stands, so that time never goes back.
    DrivenClock() : m_now(kq::time_ms()), m_before(kq::set_clock(this)) {}
    ~DrivenClock() override { kq::set_clock(m_before); }
    DrivenClock(const DrivenClock&) = delete;
    DrivenClock& operator=(const DrivenClock&) = delete;

    std::int64_t now() override { return m_now; }
    void sleep(std::int64_t ms) override { m_now += std::max<std::int64_t>(ms, 0); }
    void wake() override {}

private:
    std::int64_t m_now;
    kq::Clock* m_before;
};

struct Result
{
    kq::GameState outcome = kq::GameState::running;
    int shots = 0;
    int score = 0;
    int time = 0;
    // The lowest the meter fell, in thousands.
    int low_meter = 0;
};

[[noreturn]] void usage(const std::string& problem)
{
    std::cerr << "play_mission: " << problem << "\n"
              << "usage: play_mission [--root FILE] [--seeds N] [--difficulty D] [--shots N] [--think-ms N] "
                 "[--aim-error R] [MISSION...]\n";
    std::exit(2);
}

int whole_number(const std::string& text)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 0 || value > 100000)
        usage("not a whole number: " + text);
    return int(value);
}

float angle(const std::string& text)
{
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= 0.0f && value <= 3.1416f))
        usage("not an angle from 0 to pi: " + text);
    return value;
}

Options parse(int argc, char** argv)
{
    Options options;
    options.root = (std::filesystem::path(argv[0]).parent_path() / "default.root").string();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) {
            options.missions.push_back(arg);
            continue;
        }
        if (i + 1 >= argc)
            usage(arg + " needs a value");
        const std::string value = argv[++i];
        if (arg == "--root")
            options.root = value;
        else if (arg == "--seeds")
            options.seeds = std::max(1, whole_number(value));
        else if (arg == "--difficulty")
            options.difficulty = std::min(2, whole_number(value));
        else if (arg == "--shots")
            options.shots = whole_number(value);
        else if (arg == "--think-ms")
            options.think_ms = whole_number(value);
        else if (arg == "--aim-error")
            options.aim_error = angle(value);
        else
            usage("unknown option " + arg);
    }
    return options;
}

float distance(const kq::Vector2<float>& a, const kq::Vector2<float>& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// True when a cloud, a patch of mist or a white cloud, lies over the point: the player sees
// no piece there.
bool under_cloud(const kq::Field& field, const kq::Vector2<float>& point)
{
    for (const kq::SharedPtr<kq::Item>& item : field.items()) {
        if (!dynamic_cast<const kq::Cloud*>(item.get()) && !dynamic_cast<const kq::WhiteCloud*>(item.get()))
            continue;
        if (item->opacity() < 0.5f)
            continue;
        const kq::Vector2<float> centre = item->position();
        const kq::Vector2<float> half = {item->size().x * item->scale().x * 0.5f, item->size().y * item->scale().y * 0.5f};
        if (std::abs(point.x - centre.x) < half.x && std::abs(point.y - centre.y) < half.y)
            return true;
    }
    return false;
}

// Shoots a piece of the largest group the player sees at its nearest fellow in sight; false
// when no piece in sight can be taken.
bool shoot(kq::Field& field, std::mt19937& generator, float aim_error)
{
    std::map<int, std::vector<kq::Vector2<float>>> groups;
    for (const auto& [group, piece] : field.pieces())
        if (!under_cloud(field, piece->position()))
            groups[group].push_back(piece->position());
    std::vector<std::pair<int, int>> by_size;  // (size, group), largest first
    for (const auto& [group, points] : groups)
        by_size.emplace_back(int(points.size()), group);
    std::sort(by_size.rbegin(), by_size.rend());
    std::uniform_real_distribution<float> stray(-aim_error, aim_error);
    std::uniform_real_distribution<float> pull(55.0f, 100.0f);
    for (const auto& [size, group] : by_size) {
        std::vector<kq::Vector2<float>> points = groups[group];
        std::shuffle(points.begin(), points.end(), generator);
        for (const kq::Vector2<float>& from : points) {
            if (!field.on_press(from))
                continue;
            kq::Vector2<float> to = {512.0f, 384.0f};
            float best = 1e9f;
            for (const kq::Vector2<float>& other : groups[group]) {
                const float d = distance(from, other);
                if (d > 1.0f && d < best) {
                    best = d;
                    to = other;
                }
            }
            const float angle = std::atan2(to.y - from.y, to.x - from.x) + stray(generator);
            const float length = pull(generator);
            field.set_aim_point({from.x - std::cos(angle) * length, from.y - std::sin(angle) * length});
            field.update_aim_point();
            field.launch();
            return true;
        }
    }
    return false;
}

// Moves the field and the process's clock on by one frame.
void step(kq::Field& field, DrivenClock& clock)
{
    constexpr int frame_ms = 20;
    clock.sleep(frame_ms);
    field.update(frame_ms);
}

Result play(const std::string& mission, unsigned seed, const Options& options)
{
    DrivenClock clock;
    kq::random_seed(seed);
    std::mt19937 generator(seed);
    kq::Profile profile;
    profile.difficulty = options.difficulty;
    kq::ProfileFieldGame game(profile);
    kq::Field field(kq::FieldSettings{}, game);
    field.read_skin(kq::SkinPath(mission));
    field.world().step(5.0f, 500);
    Result result;
    int low_meter = field.meter();
    // Field time since the field last settled, and since the bot last found nothing to take.
    int quiet = 0;
    int idle = 0;
    const int limit = 20 * 60 * 1000;
    // A shot waits for the field to settle (no turn pending and a moment without one), then
    // for the bot's thinking.
    const int wait_ms = 400 + options.think_ms;
    // Field time the bot waits for something to take before it gives up.
    const int max_idle_ms = 30000;
    while (field.game_state() == kq::GameState::running && field.field_time() < limit) {
        step(field, clock);
        low_meter = std::min(low_meter, field.meter());
        quiet = field.chain_state() == kq::ChainState::turn_pending || field.shot_in_flight() ? 0 : quiet + 20;
        if (quiet < wait_ms)
            continue;
        if (result.shots >= options.shots)
            break;
        if (!shoot(field, generator, options.aim_error)) {
            idle += 20;
            if (idle >= max_idle_ms)
                break;
            continue;
        }
        ++result.shots;
        quiet = 0;
        idle = 0;
    }
    // Let the last shot's chains finish.
    for (int t = 0; t < 3000 && field.game_state() == kq::GameState::running; t += 20)
        step(field, clock);
    result.outcome = field.game_state();
    result.score = field.progress();
    result.time = field.field_time();
    result.low_meter = low_meter / 1000;
    return result;
}

const char* outcome_name(kq::GameState state)
{
    switch (state) {
    case kq::GameState::win:
        return "win";
    case kq::GameState::fail:
        return "fail";
    case kq::GameState::skip:
        return "skip";
    default:
        return "unfinished";
    }
}

std::vector<std::string> catalogue_missions()
{
    kq::Chapters chapters;
    kq::read_catalogue(kq::SkinPath("missions"), chapters);
    std::vector<std::string> out;
    for (const auto& [chapter, content] : chapters)
        for (const auto& [number, mission] : content.missions)
            out.push_back("missions.chapter" + std::to_string(chapter) + ".mission" + std::to_string(number));
    return out;
}

// "missions.chapter2.mission5" -> "2 5".
std::string chapter_and_mission(const std::string& node)
{
    const std::size_t c = node.find("chapter");
    const std::size_t m = node.find(".mission", c == std::string::npos ? 0 : c);
    if (c == std::string::npos || m == std::string::npos)
        return node;
    return node.substr(c + 7, m - c - 7) + " " + node.substr(m + 8);
}

void run(const Options& options)
{
    const kq::tools::MissionScreen screen(options.root);
    const std::vector<std::string> missions = options.missions.empty() ? catalogue_missions() : options.missions;
    std::cout << "chapter mission seed outcome shots score time_ms low_meter\n";
    for (const std::string& mission : missions) {
        int wins = 0;
        int unfinished = 0;
        std::vector<int> shots;
        std::vector<int> lows;
        for (int seed = 1; seed <= options.seeds; ++seed) {
            const Result r = play(mission, unsigned(seed), options);
            std::cout << chapter_and_mission(mission) << " " << seed << " " << outcome_name(r.outcome) << " "
                      << r.shots << " " << r.score << " " << r.time << " " << r.low_meter << std::endl;
            wins += r.outcome == kq::GameState::win;
            unfinished += r.outcome == kq::GameState::running;
            shots.push_back(r.shots);
            lows.push_back(r.low_meter);
        }
        std::sort(shots.begin(), shots.end());
        std::sort(lows.begin(), lows.end());
        std::cout << "# " << mission << ": " << wins << "/" << options.seeds << " won, " << unfinished << " unfinished, median shots "
                  << shots[shots.size() / 2] << ", median lowest meter " << lows[lows.size() / 2] << "k" << std::endl;
    }
}

}

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    return kq::tools::run_tool("play_mission", [&] { run(options); });
}
