#include <cmath>
#include <string>
#include <vector>

#include "engine/art/skin_enum.h"
#include "engine/base/log.h"
#include "engine/base/math_utils.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin.h"
#include "engine/res/skin_child_iterator.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"
#include "game/field/field_forms.h"
#include "game/field/skin_description.h"

namespace kq {

namespace {

constexpr float radians_per_degree = 0.017453292f;
constexpr float two_pi = 6.28318531f;

// Reads the node's text with one of the mission's written forms.
template <class T>
void read_form(const SkinPath& path, T& out, void (*reader)(TStream&, T&))
{
    StringStream stream(get_skin_text(path));
    reader(stream, out);
}

void log_node_error(const std::string& message, const SkinPath& path)
{
    log_error((message + " [" + path.text() + "]").c_str(), __FILE__, __LINE__);
}

}

Item* Field::create_item(const SkinPath& path)
{
    Item* item = create_from_skin<Item>(path);
    if (!item)
        log_node_error("No item is described at", path);
    return item;
}

Item* Field::create_described_item(const SkinPath& path)
{
    return is_described(path) ? create_item(path) : nullptr;
}

void Field::read_skin(const SkinPath& node)
{
    read_bonuses(node);
    read_settings(node);
    place_single_items(node);
    place_arrays(node);
    place_scatterings(node);
    place_pictures(node);
    index_creatable_items();
    place_idols(node);
}

void Field::place_idols(const SkinPath& node)
{
    for (SkinChildIterator child(node, "idol"); !child.at_end(); child.next()) {
        bool present = false;
        read_skin_value(child.path() + "present", &present);
        if (!present)
            continue;
        Idol* idol = create_from_skin<Idol>(child.path());
        if (!idol) {
            log_node_error("No idol is described at", child.path());
            continue;
        }
        m_idols.emplace_back(idol);
        // Giving the idol its field tells it once that it is attached.
        idol->set_field(this);
    }
}

void Field::read_bonuses(const SkinPath& node)
{
    const SkinPath period = node + "bonuses" + "vimoes_per_bonus";
    read_skin_value(period, &m_vimoes_per_bonus);
    if (m_vimoes_per_bonus < 1) {
        // Bonuses are dealt once per run of this many pieces: a run needs one piece at least.
        log_node_error("A run of pieces needs one piece at least; taken as 1", period);
        m_vimoes_per_bonus = 1;
    }
    for (SkinChildIterator child(node + "bonuses", "bonus"); !child.at_end(); child.next()) {
        Bonus bonus{};
        StringStream name(child.name().c_str());
        name >> bonus;
        BonusSettings& settings = m_bonus_settings[bonus];
        const SkinPath& path = child.path();
        settings.sprite_on_vimu.read_skin(path + "sprite_on_vimu");
        settings.sprite_on_panel.read_skin(path + "sprite_on_panel");
        read_skin_value(path + "number_on_panel", &settings.number_on_panel);
        read_skin_value(path + "life_time_on_vimu", &settings.life_time_on_vimu);
        read_skin_value(path + "life_time_on_field", &settings.life_time_on_field);
        read_skin_value(path + "data", &settings.data);
        read_skin_enum(path + "end_type", &settings.end_type);
        read_skin_value(path + "present", &settings.present);
        read_skin_value(path + "probability", &settings.probability);
        read_skin_value(path + "name", &settings.name);
        read_skin_value(path + "twinkling", &settings.twinkling);
    }
    std::vector<float> weights;
    for (const auto& [bonus, settings] : m_bonus_settings)
        weights.push_back(settings.present && !is_zero(settings.probability) ? 100.0f / settings.probability : 0.0f);
    m_bonus_bag.set_weights(std::move(weights));
}

void Field::read_settings(const SkinPath& node)
{
    int max_meter = 0;
    int start_meter = 0;
    read_skin_value(node + "max_meter", &max_meter);
    m_meter.set_maximum(max_meter);
    read_skin_value(node + "start_meter", &start_meter);
    m_meter.set_value(start_meter);
    read_form(node + "throw_difficulty", m_throw_difficulty, read_int_triple);
    read_form(node + "time_difficulty", m_time_difficulty, read_int_triple);
    read_form(node + "initial_bonuses", m_initial_bonuses, read_bonus_list);
    read_form(node + "area", m_areas, read_rect_list);
    read_form(node + "vimu_production_area", m_vimu_production_areas, read_rect_list);
    m_danger_sample.read_name_from_skin(node + "danger_sample");
    m_end_danger_sample.read_name_from_skin(node + "end_danger_sample");
    m_bowl_sample.read_name_from_skin(node + "bowl_sample");
    m_time_start_sample.read_name_from_skin(node + "time_start_sample");
    m_time_stop_sample.read_name_from_skin(node + "time_stop_sample");
    m_back = SharedPtr<Sprite>(clone_resource<Sprite, Sprite>(node + "back"));
    m_accuracy_sprite.read_skin(node + "accuracy");
    m_arrow_head.read_skin(node + "arrow_head");
    m_arrow_tail.read_skin(node + "arrow_tail");
    read_skin_value(node + "friction_coefficient", &m_friction_coefficient);
    read_skin_value(node + "dark", &m_dark);
    m_darkening.read_skin(node + "darkening");
    m_launch_number.read_skin(node + "launch_nember");
}

void Field::place_single_items(const SkinPath& node)
{
    for (SkinChildIterator child(node, "item"); !child.at_end(); child.next()) {
        Vector2<float> position;
        float angle = 0.0f;
        read_skin_value(child.path() + "position", &position);
        read_skin_value(child.path() + "angle", &angle);
        if (Item* item = create_item(child.path()))
            add_item(item, ItemPlacement{position, angle * radians_per_degree});
    }
}

void Field::place_arrays(const SkinPath& node)
{
    for (SkinChildIterator child(node, "array"); !child.at_end(); child.next()) {
        const SkinPath& path = child.path();
        float angle = 0.0f;
        Vector2<float> origin;
        Vector2<float> step;
        Vector2<int> size;
        read_skin_value(path + "angle", &angle);
        read_skin_value(path + "array_position", &origin);
        read_skin_value(path + "array_step", &step);
        read_vector2i(path + "array_size", &size);
        for (int i = 0; i < size.x; ++i)
            for (int j = 0; j < size.y; ++j)
                if (Item* item = create_item(path))
                    add_item(item, ItemPlacement{{origin.x + float(i) * step.x, origin.y + float(j) * step.y}, angle});
    }
}

void Field::place_scatterings(const SkinPath& node)
{
    for (SkinChildIterator child(node, "vimoes"); !child.at_end(); child.next()) {
        const SkinPath& path = child.path();
        Rect rect;
        std::vector<StrCache> bank;
        read_form(path + "rect", rect, read_rect);
        read_form(path + "bank", bank, read_name_list);
        if (bank.empty())
            continue;
        const SkinPath count_path = path + "count";
        const bool drawn = require_skin_environment().try_find_node(count_path, true) != nullptr;
        int count = int(bank.size());
        if (drawn)
            read_skin_value(count_path, &count);
        RandomBag bag;
        bag.reset_uniform(int(bank.size()));
        for (int k = 0; k < count; ++k) {
            const float y = rect.y + random_float(rect.h);
            const float x = rect.x + random_float(rect.w);
            const float angle = random_float(two_pi);
            const StrCache name = bank[std::size_t(drawn ? bag.next() : k)];
            if (Item* item = create_item(SkinPath("items") + name.c_str()))
                add_item(item, ItemPlacement{{x, y}, angle});
        }
    }
}

void Field::place_pictures(const SkinPath& node)
{
    for (SkinChildIterator child(node, "picture"); !child.at_end(); child.next()) {
        const SkinPath& path = child.path();
        Vector2<float> start;
        float step = 0.0f;
        int row = 0;
        std::vector<int> cells;
        std::vector<StrCache> bank;
        read_skin_value(path + "start_position", &start);
        read_skin_value(path + "step", &step);
        read_skin_value(path + "row", &row);
        read_form(path + "vimus", cells, read_int_list);
        read_form(path + "bank", bank, read_name_list);
        if (bank.empty())
            continue;
        if (row < 1) {
            // Cells are laid out in rows of this many: without a row there is no layout.
            log_node_error("A picture needs a row of one cell at least; skipped", path + "row");
            continue;
        }
        RandomBag bag;
        bag.reset_uniform(int(bank.size()));
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const int code = cells[c];
            if (code == 0)
                continue;
            const bool named = code < 0 && std::size_t(-code) <= bank.size();
            const StrCache name = bank[named ? std::size_t(-code - 1) : std::size_t(bag.next())];
            const Vector2<float> position{start.x + float(int(c) % row) * step, start.y + float(int(c) / row) * step};
            if (Item* item = create_item(SkinPath("items") + name.c_str()))
                add_item(item, ItemPlacement{position, 0.0f});
        }
    }
}

const BonusSettings* Field::bonus_settings(Bonus bonus) const
{
    const auto found = m_bonus_settings.find(bonus);
    if (found == m_bonus_settings.end()) {
        log_error("Unreachable point reached.", __FILE__, __LINE__);
        return nullptr;
    }
    return &found->second;
}

int Field::draw_bonus()
{
    const int index = m_bonus_bag.next();
    if (index == -1)
        return -1;
    return int(std::next(m_bonus_settings.begin(), index)->first);
}

int Field::next_bonus()
{
    const int period = m_vimoes_per_bonus;
    if (m_bonus_dealt % period == 0)
        m_bonus_slot = m_bonus_dealt + random_int(period);
    const int bonus = m_bonus_dealt == m_bonus_slot ? draw_bonus() : -1;
    ++m_bonus_dealt;
    return bonus;
}

void Field::add_bonus_count(Bonus bonus, int n)
{
    const auto found = m_initial_bonuses.find(bonus);
    if (found != m_initial_bonuses.end() && found->second == 0)
        return;
    m_initial_bonuses[bonus] += n;
}

void Field::expire_bonuses(BonusEnd end)
{
    for (auto entry = m_initial_bonuses.begin(); entry != m_initial_bonuses.end();) {
        // A bonus without settings has no end: it is left as it is, without a log line.
        const auto settings = m_bonus_settings.find(entry->first);
        if (settings == m_bonus_settings.end() || settings->second.end_type != end || entry->second <= 0) {
            ++entry;
        } else if (entry->second == 1) {
            entry = m_initial_bonuses.erase(entry);
        } else {
            --entry->second;
            ++entry;
        }
    }
}

}
