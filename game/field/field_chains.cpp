#include <algorithm>
#include <string>

#include "engine/base/math_utils.h"
#include "game/field/effects/vimu_pursue_effect.h"
#include "game/field/field.h"
#include "game/field/idols/idol.h"
#include "game/field/idols/mastery_idol.h"
#include "game/field/objects/treasure.h"
#include "game/field/objects/vimu.h"
#include "game/field/skin_description.h"

namespace kq {

namespace {

const Color green{0.0f, 1.0f, 0.0f, 1.0f};
const Color cyan{0.0f, 1.0f, 1.0f, 1.0f};
const Color orange{1.0f, 0.6f, 0.2f, 1.0f};
const Color violet{0.3f, 0.26f, 0.58f, 1.0f};

// Flight longer than this, in pixels, makes a long shot.
constexpr float long_shot_length = 750.0f;
// The trail pays from this many shots in a row on; it stops growing at the cap.
constexpr int trail_start = 5;
constexpr int trail_cap = 10;
// Every this many destroyed pieces a profile that collects jewels gets one.
constexpr int pieces_per_jewel = 12;
// A jewel disappears at the end of the fifth turn after the one it was dropped in.
constexpr int jewel_life = 5;
// Bonuses are brought at turn counts 12, 37, 62, ...
constexpr int bring_period = 25;
constexpr int bring_turn = 12;
constexpr int bring_rounds = 3;
// Brought bonuses fly in from this far from the screen's centre.
constexpr float bring_distance = 600.0f;
const Vector2<float> screen_centre{512.0f, 384.0f};

}

void Field::on_piece_built(Item& piece)
{
    add_piece(piece);
    m_on_items_changed.emit();
    m_score.count_built();
}

int Field::on_piece_dying(Item& piece, Item* cause)
{
    remove_piece(piece);
    m_on_items_changed.emit();
    m_on_piece_dying.emit(&piece);
    if (&piece == m_score.last_piece() && m_score.shot_in_flight()) {
        m_score.set_shot_in_flight(false);
        m_on_shot_scored.emit();
        // A shot that cut the previous turn short and still hit home was fast.
        if (m_score.turn_cut() && m_game.difficulty() != 2)
            pay_fast_shot(piece);
        m_score.set_turn_cut(false);
        if (m_meter.danger() == DangerMode::overdrawn)
            set_danger_mode(DangerMode::empty);
    }
    if (&piece == m_aim.held())
        release_held_item();
    // A piece set alight by a dying piece dies in that piece's chain; any other opens one.
    const auto* dying_cause = dynamic_cast<const Vimu*>(cause);
    const int chain = m_score.join_chain(piece, dying_cause ? dying_cause->chain() : 0);
    judge_ricochet(piece);
    judge_trail(piece);
    judge_long_shot(piece);
    piece.flush_captions();
    return chain;
}

void Field::pay_bonus(Item& piece, int points, bool combo, const std::string& text, const Color& colour)
{
    piece.add_points(points, ItemCaption{text, colour});
    if (combo)
        if (auto* vimu = dynamic_cast<Vimu*>(&piece))
            vimu->add_score(points);
}

void Field::show_tip_at(const char* tip, const Item& piece)
{
    const Vector2<float> centre = piece.body_position();
    m_game.show_tip(StrCache(tip), Vector2<int>{int(centre.x), int(centre.y)});
}

void Field::pay_fast_shot(Item& piece)
{
    show_tip_at("combo_fast", piece);
    pay_bonus(piece, 25, true, "{#combo.fast_shot}", orange);
    add_mastery(2);
}

void Field::judge_ricochet(Item& piece)
{
    int rebounds = 0;
    if (!m_score.end_ricochet(piece, rebounds))
        return;
    if (rebounds > 0) {
        show_tip_at("combo_ricochet", piece);
        pay_bonus(piece, rebounds * 20, true, "{#combo.ricochet} " + std::to_string(rebounds) + "{#combo.mul}", cyan);
        add_mastery(std::min(rebounds, 3) + 1);
    }
}

void Field::judge_trail(Item& piece)
{
    if (!m_score.extend_trail(piece))
        return;
    const int trail = m_score.trail_count();
    if (trail >= trail_start) {
        const int c = std::min(trail, trail_cap);
        const bool capped = trail > trail_cap;
        std::string text = "{#combo.trail} " + std::to_string(c) + "{#combo.mul}";
        if (capped)
            text += " {#combo.max}";
        show_tip_at("combo_trail", piece);
        pay_bonus(piece, (5 * c - 20) * 2, true, text, green);
        add_mastery(capped ? 2 : 1);
    }
}

void Field::judge_long_shot(Item& piece)
{
    if (!m_score.end_flight(piece))
        return;
    if (m_score.flight_length() > long_shot_length) {
        show_tip_at("combo_long", piece);
        pay_bonus(piece, 50, false, "{#combo.long_shot}", violet);
        add_mastery(6);
    }
}

void Field::on_piece_dead(Item& piece)
{
    leave_chain(piece);
    if (remove_piece(piece))
        m_on_items_changed.emit();
    count_destroyed();
    if (m_score.count_gone() && m_game_state == GameState::running)
        set_game_state(GameState::win);
}

void Field::leave_chain(Item& piece)
{
    const auto* vimu = dynamic_cast<const Vimu*>(&piece);
    const int count = m_score.leave_chain(piece, vimu ? vimu->chain() : 0);
    if (count <= 2)
        return;
    show_tip_at("combo_chain", piece);
    pay_bonus(piece, (count - 2) * 100, true, "{#combo.chain} " + std::to_string(count) + "{#combo.mul}", green);
    m_on_chain.emit(count);
    add_mastery(2 * std::min(count - 2, 5) + 1);
}

void Field::count_destroyed()
{
    const int destroyed = m_score.count_destroyed();
    if (m_game.has_jewels() && destroyed % pieces_per_jewel == 0)
        create_jewel(m_game.pick_area_point(m_areas));
}

void Field::create_jewel(const Vector2<float>& point)
{
    const int size = random_int(3) + 1;
    Item* jewel = create_described_item(SkinPath("items") + ("jewel" + std::to_string(size)).c_str());
    if (!jewel)
        return;
    add_item(jewel, ItemPlacement{point, 0.0f});
    if (auto* treasure = dynamic_cast<Treasure*>(jewel))
        treasure->set_expiry_turn(m_clock.turn_count() + jewel_life);
}

void Field::add_mastery(int points)
{
    for (const SharedPtr<Idol>& idol : m_idols) {
        if (auto* mastery = dynamic_cast<MasteryIdol*>(idol.get())) {
            mastery->add_mastery(points);
            return;
        }
    }
}

void Field::count_hit(Item& piece)
{
    m_score.count_hit(piece, m_clock.time());
}

void Field::end_turn()
{
    if (m_score.shot_in_flight()) {
        m_score.set_shot_in_flight(false);
        m_on_turn_step.emit();
        if (m_game_state == GameState::running && m_meter.danger() == DangerMode::overdrawn)
            set_game_state(GameState::fail);
    }
    m_score.set_last_piece(nullptr);
    m_clock.close_turn();
    // The shot's piece lived through the turn: the trail of shots is broken.
    m_score.break_trail_if_alive();
    for_each_item([](Item* item) { item->on_turn_end(); });
    for_each_idol([](Idol* idol) { idol->turn_end(); });
    fire_held_back_shots();
    expire_bonuses(BonusEnd::on_turn);
    if (m_game.has_trophy(2) && m_clock.turn_count() % bring_period == bring_turn)
        bring_bonuses();
}

void Field::bring_bonuses()
{
    std::vector<Vimu*> candidates;
    for_each_piece([&candidates](Item* item) {
        auto* piece = dynamic_cast<Vimu*>(item);
        if (piece && piece->bonus() == -1)
            candidates.push_back(piece);
    });
    if (candidates.empty())
        return;
    Sound().play(m_bowl_sample.get(), false, 0.0f, 1.0f, 0);
    for (int round = 0; round < bring_rounds && !candidates.empty(); ++round) {
        const auto chosen = candidates.begin() + random_int(int(candidates.size()));
        Vimu* piece = *chosen;
        candidates.erase(chosen);
        const int bonus = draw_bonus();
        if (bonus == -1)
            continue;
        const SkinPath path("effects.bonus_bring");
        BonusBringEffect* effect = clone_described<BonusBringEffect>(path);
        if (!effect)
            continue;
        effect->set_target(WeakPtr<Vimu>(piece));
        const Vector2<float> away = piece->body_position() - screen_centre;
        const float distance = away.length();
        // A piece right at the centre gets its bonus from straight above.
        const Vector2<float> direction = distance > 0.0f ? away * (1.0f / distance) : Vector2<float>{0.0f, -1.0f};
        const Vector2<float> offset = direction * bring_distance;
        effect->set_position(Vector2<float>{screen_centre.x + offset.x, screen_centre.y + offset.y});
        effect->set_bonus(bonus);
        effect_layer().add_child(SharedPtr<Sprite>(effect));
    }
}

void Field::fire_held_back_shots()
{
    const std::vector<MoveRecord> records = m_aim.take_records();
    for (const MoveRecord& record : records) {
        Item* item = record.piece.get();
        if (!item || !item->body())
            continue;
        if (auto* piece = dynamic_cast<Vimu*>(item))
            piece->strike(record.impulse, record.origin);
        else
            item->apply_impulse(record.impulse, record.origin);
    }
}

}
