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
//
// The bot shoots a piece of the largest group of one generation at its nearest fellow, with
// a pull and an aim of its seeded generator's choosing; a summary closes each mission: wins
// out of the seeds, the median of the shots and of the lowest meter.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/base/exception.h"
#include "engine/base/mainframe.h"
#include "engine/base/random.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_draw.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "game/field/field.h"
#include "game/field/field_types.h"
#include "game/field/physics/physics_world.h"
#include "game/shell/progress/catalogue.h"
#include "tools/mission_tools/mission_screen.h"

namespace {

struct Options
{
    std::string root;
    std::vector<std::string> missions;
    int seeds = 1;
    int difficulty = 0;
    int shots = 150;
};

struct BotGame : kq::FieldGame
{
    explicit BotGame(int difficulty) : m_difficulty(difficulty) {}
    int overlay_count() const override { return 0; }
    bool has_dragonfly() const override { return false; }
    void show_tip(kq::StrCache, const kq::Vector2<int>&) override {}
    kq::Vector2<float> pick_area_point(const std::vector<kq::Rect>& areas) override
    {
        if (areas.empty())
            return {};
        const kq::Rect& a = areas[0];
        const float u = float(kq::random_next()) / float(kq::random_max);
        const float v = float(kq::random_next()) / float(kq::random_max);
        return {a.x + u * a.w, a.y + v * a.h};
    }
    int difficulty() const override { return m_difficulty; }
    bool grip_aim() const override { return false; }
    bool effects_on() const override { return false; }
    bool extra_points() const override { return false; }
    int level_from_value(int progress) const override { return progress / 1000; }
    int m_difficulty;
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
              << "usage: play_mission [--root FILE] [--seeds N] [--difficulty D] [--shots N] [MISSION...]\n";
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
        else
            usage("unknown option " + arg);
    }
    return options;
}

float distance(const kq::Vector2<float>& a, const kq::Vector2<float>& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Shoots a piece of the largest group that can be taken at its nearest fellow; false when no
// piece can be taken.
bool shoot(kq::Field& field, std::mt19937& generator)
{
    std::map<int, std::vector<kq::Vector2<float>>> groups;
    for (const auto& [group, piece] : field.pieces())
        groups[group].push_back(piece->position());
    std::vector<std::pair<int, int>> by_size;  // (size, group), largest first
    for (const auto& [group, points] : groups)
        by_size.emplace_back(int(points.size()), group);
    std::sort(by_size.rbegin(), by_size.rend());
    std::uniform_real_distribution<float> jitter(-0.12f, 0.12f);
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
            const float angle = std::atan2(to.y - from.y, to.x - from.x) + jitter(generator);
            const float length = pull(generator);
            field.set_aim_point({from.x - std::cos(angle) * length, from.y - std::sin(angle) * length});
            field.update_aim_point();
            field.launch();
            return true;
        }
    }
    return false;
}

Result play(const std::string& mission, unsigned seed, const Options& options)
{
    kq::random_seed(seed);
    std::mt19937 generator(seed);
    BotGame game(options.difficulty);
    kq::Field field(kq::FieldSettings{}, game);
    field.read_skin(kq::SkinPath(mission));
    field.world().step(5.0f, 500);
    Result result;
    int low_meter = field.meter();
    int quiet = 0;
    const int limit = 20 * 60 * 1000;
    // Real time granted to effects that fly on the wall clock when no piece can be taken.
    const int max_wait_ms = 4000;
    int waited_ms = 0;
    while (field.game_state() == kq::GameState::running && field.field_time() < limit) {
        field.update(20);
        low_meter = std::min(low_meter, field.meter());
        // A shot waits for the field to settle: no turn pending and a moment without one.
        quiet = field.chain_state() == kq::ChainState::turn_pending || field.shot_in_flight() ? 0 : quiet + 20;
        if (quiet < 400)
            continue;
        if (result.shots >= options.shots)
            break;
        if (!shoot(field, generator)) {
            // A piece struck by a splinter waits for the splinter's flight, which runs on the
            // wall clock: give it real time before giving up.
            if (waited_ms >= max_wait_ms)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            waited_ms += 20;
            continue;
        }
        ++result.shots;
        quiet = 0;
        waited_ms = 0;
    }
    // Let the last shot's chains finish.
    for (int t = 0; t < 3000 && field.game_state() == kq::GameState::running; t += 20)
        field.update(20);
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
        std::vector<int> shots;
        std::vector<int> lows;
        for (int seed = 1; seed <= options.seeds; ++seed) {
            const Result r = play(mission, unsigned(seed), options);
            std::cout << chapter_and_mission(mission) << " " << seed << " " << outcome_name(r.outcome) << " "
                      << r.shots << " " << r.score << " " << r.time << " " << r.low_meter << std::endl;
            wins += r.outcome == kq::GameState::win;
            shots.push_back(r.shots);
            lows.push_back(r.low_meter);
        }
        std::sort(shots.begin(), shots.end());
        std::sort(lows.begin(), lows.end());
        std::cout << "# " << mission << ": " << wins << "/" << options.seeds << " won, median shots "
                  << shots[shots.size() / 2] << ", median lowest meter " << lows[lows.size() / 2] << "k" << std::endl;
    }
}

}

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    return kq::tools::run_tool("play_mission", [&] { run(options); });
}
