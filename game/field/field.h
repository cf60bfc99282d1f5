#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <set>
#include <vector>

#include "engine/art/image_sprite.h"
#include "engine/art/sprite.h"
#include "engine/art/text_sprite.h"
#include "engine/base/rect.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/socket.h"
#include "engine/base/vector2.h"
#include "engine/base/weak_ptr.h"
#include "engine/platform/sample.h"
#include "engine/platform/sound.h"
#include "engine/res/res_handle.h"
#include "engine/res/skin_io.h"
#include "engine/res/skin_path.h"
#include "game/field/aim_state.h"
#include "game/field/chain_score.h"
#include "game/field/field_clock.h"
#include "game/field/field_enums.h"
#include "game/field/field_shake.h"
#include "game/field/idols/idol.h"
#include "game/field/meter_state.h"
#include "game/field/objects/item.h"
#include "game/field/physics/contact_listener.h"
#include "game/field/physics/physics_world.h"
#include "game/field/random_bag.h"

namespace kq {

class Artist;

/// A powerup the player holds; its value indexes the field's powerup counts.
enum class Powerup : std::int32_t
{
    coin = 0,
    clock = 1,
    hand = 2,
    fireball = 3,
    bolt = 4,
};

/// The block of the player's profile the field plays with: two values it carries along and
/// the powerup counts. The field changes its own copy; the game reads the counts back.
struct FieldSettings
{
    std::array<int, 2> values{};
    /// Counts of coin, clock, hand, fireball and bolt, in that order.
    std::array<int, 5> m_powerups{};
};

/// How one bonus behaves on a field, read from the mission's "bonuses".
struct BonusSettings
{
    ImageSprite sprite_on_vimu;
    Sprite sprite_on_panel;
    int number_on_panel = 0;
    int life_time_on_vimu = 0;
    int life_time_on_field = 0;
    /// The bonus's own parameter.
    int data = 0;
    BonusEnd end_type = BonusEnd::on_shot;
    /// The bonus can be drawn on this field.
    bool present = false;
    /// Drawing weight: an entry is drawn in proportion to it.
    float probability = 0.0f;
    std::string name;
    bool twinkling = false;
};

/// What the field asks of the game it is played in; the game outlives its fields.
class FieldGame
{
public:
    virtual ~FieldGame() = default;

    /// Above 0 while the game shows something over the field; the field then draws no items.
    virtual int overlay_count() const = 0;

    /// True when the current profile has earned the dragonfly.
    virtual bool has_dragonfly() const = 0;
    /// Shows the named tip once per profile at a point in field pixels ((-1, -1): nowhere).
    virtual void show_tip(StrCache name, const Vector2<int>& point) = 0;
    /// A random point in one of the areas, chosen in proportion to their sizes.
    virtual Vector2<float> pick_area_point(const std::vector<Rect>& areas) = 0;
    /// The profile's difficulty index, 0 to 2.
    virtual int difficulty() const = 0;
    /// True when the profile aims from the grip point (and pays 95 percent a shot).
    virtual bool grip_aim() const = 0;
    /// True when the profile's "effects" option is on: burn emitters and magic dust show.
    virtual bool effects_on() const = 0;
    /// True when a bursting piece earns the profile 5 more points.
    virtual bool extra_points() const = 0;
    /// The number of whole progress levels a progress value reaches.
    virtual int level_from_value(int progress) const = 0;
    /// True when the current profile collects jewels: every twelfth destroyed piece drops one.
    virtual bool has_jewels() const { return false; }
    /// True when the current profile holds the trophy of the index.
    virtual bool has_trophy(int /*index*/) const { return false; }
    /// True when the current profile shows gained powerups flying in before they count.
    virtual bool animated_powerups() const { return false; }
    /// The game's own effects still running over the field.
    virtual int effect_count() const { return 0; }
    /// True when the current profile's meter drains at half speed while the field is in
    /// danger: the advantage of the sixth chapter's trophy.
    virtual bool eased_drain() const { return has_trophy(6); }
};

/// A kind of item the field can produce: the item's skin node and its group number.
struct CreatableKind
{
    SkinPath path;
    int gen = -1;

    /// Equal gens and paths of the same names.
    friend bool operator==(const CreatableKind& a, const CreatableKind& b)
    {
        return a.gen == b.gen && a.path == b.path;
    }
};

/// The playing field of one mission: its physics world and contact listener, the items on
/// it, its sprite layers, sound and settings, and the signals through which the game learns
/// what happens on it. Every signal is emitted at once, inside the operation that made the
/// change.
///
/// Its state of play lies in named parts it owns: the clock and time flow (`FieldClock`), the
/// shake of the screen (`FieldShake`), aim and modes (`AimState`), chains and scoring
/// (`ChainScore`), and the meter and progress (`MeterState`). The field's own operations stay
/// the way in: they keep the parts in step with each other, the items and the signals.
///
/// The game holds the field by a `SharedPtr` for the mission's life. Tearing it down releases
/// its members in the reverse order of their declaration: the contact listener before the
/// world, the world (and with it every body still in it) before the items, and the signals
/// last, each disconnecting every handler connected through it.
class Field : public SkinIO
{
public:
    /// Ten pixels make a metre; the world's box is the screen widened by 600 pixels left and
    /// right and 300 pixels up and down.
    static constexpr float box_left = -60.0f;
    static constexpr float box_top = -30.0f;
    static constexpr float box_right = 162.4f;
    static constexpr float box_bottom = 106.8f;

    /// An empty field with the settings: a world without gravity in which bodies never sleep,
    /// its contact listener, and, when the game's profile has earned it, the dragonfly
    /// ("items.dragonfly") at one of four points off the screen, drawn at random.
    Field(const FieldSettings& settings, FieldGame& game);
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;
    ~Field() override;

    /// Builds the level from the mission's node: bonus settings, meter and difficulty, areas,
    /// sounds and sprites, then its items (single ones, arrays, scatterings and pictures, in
    /// that order) and the producible kinds. A missing or malformed key stops the load with
    /// its error, what was built before staying on the field.
    void read_skin(const SkinPath& node) override;
    /// The settings of the bonus; null, logged, when the field has none.
    const BonusSettings* bonus_settings(Bonus bonus) const;
    BonusSettings* bonus_settings(Bonus bonus)
    {
        return const_cast<BonusSettings*>(static_cast<const Field*>(this)->bonus_settings(bonus));
    }
    /// A bonus drawn from the bag by the settings' probabilities; -1 when none can be drawn.
    int draw_bonus();
    /// The bonus of a new piece: one piece of each run of "vimoes_per_bonus" new pieces, at a
    /// random place in the run, draws one; the others get -1.
    int next_bonus();

    /// Advances the field by `dt` milliseconds (nothing for 0 or less): the shake, the
    /// time-stop fade, then on the field's clock, scaled by its time factor and standing
    /// while time is stopped: the darkness, attraction between items on the ground, every
    /// item's update, the world's step (10 iterations) and the contacts it reported, handed
    /// to both items; then the dead items leave (each announced on `item_removed`) and the
    /// sprite layers advance.
    void update(int dt);
    /// Pulls or pushes two items lying on the ground by their charges and, for pieces of one
    /// group of which one attracts, magnetically; nothing within 60 pixels.
    void attract(Item& a, Item& b);
    /// Pushes the items on the ground (mass 1 and more) away from the point, each by an
    /// impulse of `strength` / distance.
    void shock_wave(const Vector2<float>& point, float strength);

    /// Enters a piece in the pieces by group; not during `for_each_piece`.
    void add_piece(Item& piece);
    /// Takes a piece out of the pieces by group; false when it was not there. Not during
    /// `for_each_piece`.
    bool remove_piece(Item& piece);
    /// Runs `visit` on every piece, by group; the pieces must not change meanwhile.
    void for_each_piece(const std::function<void(Item*)>& visit);
    /// Runs `visit` on every idol, in order.
    void for_each_idol(const std::function<void(Idol*)>& visit);
    /// Runs `visit` on every item in the order added; it may destroy the item it is given.
    void for_each_item(const std::function<void(Item*)>& visit);
    /// Pending while a turn is; possible when some group of two or more pieces has a
    /// launchable piece whose centre is not under an awning; else none possible.
    ChainState chain_state() const;
    /// True when some piece can be launched.
    bool has_launchable_piece() const;
    /// True when there are pieces and they all share one group.
    bool single_group_left() const;
    /// The first item whose shapes contain the point, or null.
    Item* item_at(const Vector2<float>& point) const;
    /// True when an awning's shapes contain the point.
    bool is_under_awning(const Vector2<float>& point) const;

    /// Fills the producible kinds from the children of "items" listed as "creating".
    void index_creatable_items();
    /// Picks the kind of the next produced piece among the kinds whose gen is the group of a
    /// piece on the field (empty when none): the first of `preferred` that is a candidate
    /// (taken out of the list), else one drawn at random. Restricted, while a piece can be
    /// launched, groups of two or more pieces offer nothing.
    void choose_production(CreatableKind& out, bool restricted, std::vector<CreatableKind>* preferred);
    /// Drops a new item of the kind at the path onto a production area, falling in from above,
    /// where it lies on no other item when such a place is found (nothing for an empty path).
    void produce_item(const SkinPath& path);

    /// Shows a text rising from the point ("effects.floating_text"), on the layer that runs on
    /// the application's clock; nothing for an empty text or without a description.
    void floating_text(const Vector2<float>& point, const std::string& text, const Color& colour);
    /// The part of the screen that floating texts keep to, from their start to the end of
    /// their rise (the whole screen until set): what the panels over the field leave free.
    void set_text_bounds(const Rect& bounds) { m_text_bounds = bounds; }
    /// Where a block of floating text of the size, centred on the point, stands so that it
    /// and its rise stay inside the text bounds: the point itself when they already do.
    Vector2<float> text_position(const Vector2<float>& point, const Vector2<float>& size) const;
    /// The layer the field's effects are attached to.
    Sprite& effect_layer() { return m_layers[2]; }
    /// The top layer, on the application's clock: floating texts, explosions, magic dust.
    Sprite& top_layer() { return m_layers[3]; }
    /// Places a copy of the sprite described at the path on the effect layer at the point, in
    /// the colour; nothing when none is described there.
    void spawn_effect(const SkinPath& path, const Vector2<float>& point, const Color& colour);

    /// Adds to the shake of the screen, up to 3.
    void add_shake(float amount);
    /// Starts slowing the field's clock to a stand over a second.
    void start_time_stop();
    /// Starts bringing a stopped or stopping clock back to speed over a second.
    void end_time_stop();

    /// Puts the item on the field at the placement (the field shares it): it is alive, gets
    /// its body and enters the drawing order after the items of its height and below. A null
    /// item is logged and skipped.
    void add_item(Item* item, const ItemPlacement& placement);
    /// Registers an awning item; one already registered is logged and left.
    void add_awning(Item* item);
    /// Unregisters an awning item, keeping the others' order; one not registered is logged.
    void remove_awning(Item* item);
    /// Moves the item in the drawing order after a change of its height, behind the items of
    /// its new height and below.
    void on_item_height_changed(Item& item);

    /// Draws the field: the background, the items by height with their shadows, the idols
    /// and the three field layers between them, the aiming beam and the darkening, all moved
    /// by the shake and tinted by the darkness.
    void draw(Artist& artist);
    /// Draws what lies over the field: the arrows and numbers of the planned strikes, the aim
    /// arrow and the layer of floating texts.
    void draw_overlay(Artist& artist);
    /// The point the darkening is centred on and shadows fall away from on a dark field.
    void set_light_point(const Vector2<int>& point) { m_light_point = point; }
    const Vector2<int>& light_point() const { return m_light_point; }

    /// Changes the input mode and tells `mode_changed`; nothing happens for the current mode
    /// or once the mission has a game state. Entering strikes gives 5 strikes and mutes the
    /// field's sound; leaving it brings the sound back.
    void set_state(GameMode mode);
    /// Changes the game state and tells `game_state_changed`; a final state first returns the
    /// mode to aim, ends the danger mode and stops the field's sound.
    void set_game_state(GameState state);

    /// A press at the point, by mode: picks the piece to shoot or plan (aim, strikes), the
    /// piece to carry (hand), places a fireball, or casts the bolt. True starts a drag.
    bool on_press(const Vector2<float>& point);
    /// The pointer's position while a drag lasts; `update_aim_point` then clamps it.
    void set_aim_point(const Vector2<float>& point) { m_aim.set_aim_point(point); }
    /// Keeps the aim point within 100 pixels of the launch origin, or carries the hand's item
    /// towards it.
    void update_aim_point();
    /// Ends a drag: shoots the held piece away from the pointer like a slingshot, plans a
    /// strike, throws the fireball or drops the carried item. A drag under 20 pixels or a
    /// piece in the air is no shot.
    void launch();
    /// Lets go of what the press picked: a carried item stays where it is, a placed fireball
    /// goes.
    void release_held_item();
    /// True while a held or placed item lives (in hand mode, away from awnings).
    bool can_aim() const;
    /// Whether a press at the point would act in the mode; `near` accepts the piece nearest
    /// to the point instead of one under it.
    bool can_act(GameMode mode, const Vector2<float>& point, bool near) const;
    /// The first item the player can click at the point; null under an awning.
    Item* clickable_item_at(const Vector2<float>& point) const;
    bool has_clickable_item_at(const Vector2<float>& point) const { return clickable_item_at(point) != nullptr; }
    /// Activates the clickable item at the point and returns it, or null.
    Item* activate_item_at(const Vector2<float>& point);
    /// Where the shot leaves from: the held piece's centre or, aiming from the grip, the
    /// gripped point; the placed fireball's point. (0, 0) without a held piece and, logged, in
    /// the modes that launch nothing.
    Vector2<float> launch_origin() const;
    /// The first launchable piece under the point, by group; null under an awning.
    Item* piece_at(const Vector2<float>& point) const;
    /// The launchable piece nearest to the point within 100 pixels, not under an awning.
    Item* nearest_piece(const Vector2<float>& point) const;
    /// The meter a shot costs at the profile's difficulty, in units of 500.
    int throw_cost() const { return m_throw_difficulty[std::size_t(m_game.difficulty())]; }
    /// What a bolt striking at the point does to the item: a piece within 70 pixels explodes;
    /// a launchable one closer than 500 pixels is thrown up and off.
    void bolt_hit(Item* item, const Vector2<float>& point);
    /// Enters the danger mode. The field's sound loops the danger sample while in danger.
    void set_danger_mode(DangerMode mode);

    /// Switches to the powerup's mode (the coin skips the mission, the clock enters strikes).
    /// Refused for a count of 0, an unknown powerup, or, but for the coin, a finished mission.
    void select_powerup(Powerup powerup);
    /// Takes one of the powerup; a count of 0 is logged and left.
    void spend_powerup(Powerup powerup);
    /// Gives the powerups, with the powerup's tip. Animated, when the profile wants it, the
    /// powerup's effect flies in first and they count when it lands.
    void add_powerup(Powerup powerup, int count, bool animate);
    /// Carries out the planned strikes and ends strikes mode.
    void apply();
    /// Takes back the last planned strike, or leaves a powerup's mode without spending it.
    void undo();
    /// Whether `undo` would do something.
    bool can_undo() const;
    /// True while effects of the game or gained powerups are still in flight.
    bool has_pending_effects() const;
    /// Gained powerups flying in that have not yet counted.
    int pending_powerup_effects() const { return m_pending_powerup_effects; }

    /// Adds to the meter (nothing once the mission is lost): an empty meter puts the field in
    /// danger, a meter back at the danger exit ends it, and a meter over its maximum spills
    /// twice the excess, each 10000 spilled giving 10 progress units.
    void add_meter(int delta);
    /// Adds the units, scaled by the difficulty, to the progress; each progress level gained
    /// gives a coin.
    void add_progress(int units);
    /// The progress value, which the game seeds.
    int progress() const { return m_meter.progress(); }
    void set_progress(int progress) { m_meter.set_progress(progress); }
    /// Sets the first (`first`) or the second point magic dust flies to.
    void set_dust_target(const Vector2<float>& point, bool first) { m_meter.set_dust_target(point, first); }
    /// The dust target for a piece at the point: the first right of x 425, the second left of
    /// x 600, between them the last one chosen.
    Vector2<float> dust_target(const Vector2<float>& point) { return m_meter.dust_target(point); }

    /// Enters a new piece in the pieces by group and counts it on the field.
    void on_piece_built(Item& piece);
    /// A piece starts dying: it leaves the pieces by group and joins a chain, that of `cause`
    /// when it is a dying piece, else a new one; returns the chain.
    int on_piece_dying(Item& piece, Item* cause);
    /// A piece's body goes: it leaves its chain and the pieces; the last piece wins.
    void on_piece_dead(Item& piece);
    /// Counts a hit of the shot's piece, at most one per 10 ms.
    void count_hit(Item& piece);
    /// Gives the mastery points to the field's first mastery idol; nothing without one.
    void add_mastery(int points);
    /// Drops a jewel of a random size (1 to 3) at the point, lasting five turns.
    void create_jewel(const Vector2<float>& point);
    /// Ends the pending turn: a shot fired on an empty meter whose piece lives loses the
    /// mission; every item hears of the turn's end and the shots held back are fired.
    virtual void end_turn();
    /// Enters or leaves the burning pieces.
    void add_burning(Item& piece) { m_score.add_burning(piece); }
    void remove_burning(Item& piece) { m_score.remove_burning(piece); }
    const std::set<Item*>& burning_pieces() const { return m_score.burning(); }
    /// While set, every piece counts as burning.
    bool all_burning() const { return m_score.all_burning(); }
    void set_all_burning(bool on) { m_score.set_all_burning(on); }

    /// The game the field is played in.
    FieldGame& game() const { return m_game; }
    /// The field's clock in milliseconds.
    int field_time() const { return m_clock.time(); }
    /// The clock's speed, 0 (stopped) to 1.
    float time_factor() const { return m_clock.factor(); }
    TimeState time_state() const { return m_clock.state(); }
    /// How dark the field is, 0 to 1.
    float darkness() const { return m_meter.darkness(); }
    /// The screen's offset by the shake, pixels.
    const Vector2<int>& shake_offset() const { return m_shake.offset(); }
    /// Adds n to the bonus's count (made at 0 when missing); a bonus the level listed with 0
    /// stays switched off.
    void add_bonus_count(Bonus bonus, int n);
    /// Counts down the bonuses whose settings end at `end`: a count of 1 goes, a higher one
    /// loses 1, 0 or less stays.
    void expire_bonuses(BonusEnd end);
    /// True when the level started with the bonus on.
    bool has_initial_bonus(Bonus bonus) const { return m_initial_bonuses.count(bonus) > 0; }
    /// The physics world, in metres.
    PhysicsWorld& world() const { return *m_world; }
    /// The world's contact listener.
    ContactListener& contact_listener() const { return *m_contact_listener; }
    /// The mission's idols.
    const std::vector<SharedPtr<Idol>>& idols() const { return m_idols; }
    /// Every item, in the order added.
    const std::list<SharedPtr<Item>>& items() const { return m_items; }
    /// The items in drawing order, from low to high.
    const std::vector<Item*>& draw_order() const { return m_draw_order; }
    /// The registered awning items.
    const std::vector<Item*>& awnings() const { return m_awnings; }
    /// The field's copy of the profile's settings.
    const FieldSettings& settings() const { return m_settings; }
    GameState game_state() const { return m_game_state; }
    GameMode mode() const { return m_aim.mode(); }
    int strikes_left() const { return m_aim.strikes_left(); }
    int meter() const { return m_meter.value(); }
    int meter_limit() const { return m_meter.danger_exit(); }
    const std::array<int, 3>& throw_difficulty() const { return m_throw_difficulty; }
    const std::array<int, 3>& time_difficulty() const { return m_time_difficulty; }
    const std::map<Bonus, int>& initial_bonuses() const { return m_initial_bonuses; }
    const std::vector<Rect>& areas() const { return m_areas; }
    const std::vector<Rect>& production_areas() const { return m_vimu_production_areas; }
    bool is_dark() const { return m_dark; }
    int max_meter() const { return m_meter.maximum(); }
    int vimoes_per_bonus() const { return m_vimoes_per_bonus; }
    float friction_coefficient() const { return m_friction_coefficient; }
    DangerMode danger_mode() const { return m_meter.danger(); }
    int spill() const { return m_meter.spill(); }
    const Vector2<float>& aim_point() const { return m_aim.aim_point(); }
    const Vector2<float>& grip_point() const { return m_aim.grip_point(); }
    Item* held_item() const { return m_aim.held(); }
    Item* placed_item() const { return m_aim.placed(); }
    const std::vector<MoveRecord>& move_records() const { return m_aim.records(); }
    int powerups(Powerup powerup) const { return m_settings.m_powerups[std::size_t(powerup)]; }
    int step_deadline() const { return m_clock.deadline(); }
    int turn_count() const { return m_clock.turn_count(); }
    bool shot_in_flight() const { return m_score.shot_in_flight(); }
    bool turn_cut() const { return m_score.turn_cut(); }
    Item* last_piece() const { return m_score.last_piece(); }
    /// Hits of the current shot's piece.
    int shot_hits() const { return m_score.shot().hits; }
    float flight_length() const { return m_score.flight_length(); }
    /// Pieces on the field that are not yet destroyed.
    int pieces_left() const { return m_score.pieces_left(); }
    /// Pieces destroyed in this mission.
    int destroyed() const { return m_score.destroyed(); }
    /// Shots in a row whose own piece died.
    int trail_count() const { return m_score.trail_count(); }
    /// Open chains: the number of pieces that joined each, by chain.
    std::map<int, int> chain_counts() const { return m_score.chain_counts(); }
    /// The pieces by group.
    const std::multimap<int, Item*>& pieces() const { return m_pieces; }
    /// The producible kinds by gen.
    const std::multimap<int, SkinPath>& creatable() const { return m_creatable; }
    /// The field's own sound channel.
    const Sound& sound() const { return m_sound; }
    /// The level's sounds: the danger loop and its end, the bonus bowl, time running on and
    /// time stopping.
    const ResHandle<Sample>& danger_sample() const { return m_danger_sample; }
    const ResHandle<Sample>& end_danger_sample() const { return m_end_danger_sample; }
    const ResHandle<Sample>& bowl_sample() const { return m_bowl_sample; }
    const ResHandle<Sample>& time_start_sample() const { return m_time_start_sample; }
    const ResHandle<Sample>& time_stop_sample() const { return m_time_stop_sample; }
    /// The field's sprite layers; the fourth runs on the application's clock.
    Sprite& layer(int index) { return m_layers.at(index); }

    Socket<void(GameState)>& on_game_state_changed() { return m_on_game_state_changed; }
    Socket<void(GameMode)>& on_mode_changed() { return m_on_mode_changed; }
    Socket<void()>& on_launch() { return m_on_launch; }
    Socket<void()>& on_shot_scored() { return m_on_shot_scored; }
    Socket<void()>& on_turn_step() { return m_on_turn_step; }
    Socket<void(int)>& on_chain() { return m_on_chain; }
    Socket<void()>& on_field_signal_7() { return m_on_field_signal_7; }
    Socket<void()>& on_meter_changed() { return m_on_meter_changed; }
    Socket<void()>& on_meter_overload() { return m_on_meter_overload; }
    Socket<void()>& on_items_changed() { return m_on_items_changed; }
    Socket<void()>& on_powerups_changed() { return m_on_powerups_changed; }
    Socket<void()>& on_progress_changed() { return m_on_progress_changed; }
    Socket<void(Item*)>& on_piece_dying() { return m_on_piece_dying; }
    Socket<void(Item*)>& on_piece_exploded() { return m_on_piece_exploded; }
    Socket<void(Item*)>& on_item_removed() { return m_on_item_removed; }
    /// Emitted first thing when the field is torn down, while all of it still stands: those
    /// that keep a plain pointer to the field let go of it here.
    Socket<void()>& on_destroyed() { return m_on_destroyed; }

private:
    void add_dragonfly();
    // A new item of the class named at the path; null, logged, when the node names none.
    Item* create_item(const SkinPath& path);
    // As `create_item`, for what play makes: null, logged once, when nothing is described at
    // the path.
    Item* create_described_item(const SkinPath& path);
    void read_bonuses(const SkinPath& node);
    void read_settings(const SkinPath& node);
    void place_single_items(const SkinPath& node);
    void place_arrays(const SkinPath& node);
    void place_scatterings(const SkinPath& node);
    void place_pictures(const SkinPath& node);
    void place_idols(const SkinPath& node);
    // What the attraction between two items on the ground reads of each.
    struct Attractee
    {
        Item* item;
        Vector2<float> position;
        float charge;
        bool charged;
        bool attractor;
        bool magnetic;
    };
    static Attractee attractee(Item& item);
    void attract_items();
    void attract(const Attractee& a, const Attractee& b);
    void update_items(int scaled_dt);
    // Hands the contacts of the last step to their items, then forgets them.
    void process_contacts();
    void remove_dead_items();
    void check_production();
    // Where a produced item of the size (pixels) drops: a point drawn from the production
    // areas, drawn again up to ten times while it lies under an awning or on another item;
    // failing that, the first free point of a scan of the areas; failing that, the last one
    // drawn.
    Vector2<float> production_point(const Vector2<float>& size);
    // True when an item with a body lies within the circle of the radius round the point.
    bool is_occupied(const Vector2<float>& point, float radius) const;
    bool is_launchable(const Item& piece) const { return piece.is_launchable() && piece.has_group(); }
    bool pick_piece(const Vector2<float>& point);
    void launch_fireball(const Vector2<float>& impulse);
    void plan_strike(Item& piece, const Vector2<float>& impulse);
    void shoot(Item& piece, const Vector2<float>& impulse);
    void drop_carried_item();
    void cast_bolt(const Vector2<float>& point);
    void fire_held_back_shots();
    // Sends the powerup's gain effect flying; the powerups count when it lands. False when
    // the effect is not described.
    bool fly_in_powerup(Powerup powerup, int count);
    // Adds the bonus to the piece's score text with its caption, and, for a combo, to the
    // score it pays out.
    void pay_bonus(Item& piece, int points, bool combo, const std::string& text, const Color& colour);
    void show_tip_at(const char* tip, const Item& piece);
    void pay_fast_shot(Item& piece);
    void judge_ricochet(Item& piece);
    void judge_trail(Item& piece);
    void judge_long_shot(Item& piece);
    // Leaves the piece's chain; the last piece to leave pays the chain's bonus.
    void leave_chain(Item& piece);
    void count_destroyed();
    // Every 25 turns, flying effects hand bonuses to up to three plain pieces.
    void bring_bonuses();
    // The impulse a drag of `drag` pixels gives.
    Vector2<float> shot_impulse(const Vector2<float>& drag) const;
    void advance_layers();
    // Inserts the item before the first item higher than it.
    void insert_in_draw_order(Item* item);
    // Draws the items from `position` on up to the height limit, a run of equal height at a
    // time: the run's shadows, then its main images, then its highlights.
    void draw_items_up_to(Artist& artist, float limit, std::size_t& position);
    // The aiming beam of a held piece: it fades in over 100 pixels from the piece's centre,
    // then out over 700, brighter the longer the drag.
    void draw_accuracy(Artist& artist);
    // An arrow whose head is at `to` and whose tail stretches back to `from`; none under 20
    // pixels.
    void draw_arrow(const Vector2<float>& from, const Vector2<float>& to, Artist& artist);
    void draw_darkening(Artist& artist);

    FieldGame& m_game;
    // Declared in the order of the field's data model: teardown runs it backwards.
    Socket<void(GameState)> m_on_game_state_changed;
    Socket<void(GameMode)> m_on_mode_changed;
    Socket<void()> m_on_launch;
    Socket<void()> m_on_shot_scored;
    Socket<void()> m_on_turn_step;
    Socket<void(int)> m_on_chain;
    Socket<void()> m_on_field_signal_7;
    Socket<void()> m_on_meter_changed;
    Socket<void()> m_on_meter_overload;
    Socket<void()> m_on_items_changed;
    Socket<void()> m_on_powerups_changed;
    Socket<void()> m_on_progress_changed;
    Socket<void(Item*)> m_on_piece_dying;
    Socket<void(Item*)> m_on_piece_exploded;
    Socket<void(Item*)> m_on_item_removed;
    Socket<void()> m_on_destroyed;
    int m_vimoes_per_bonus = 10;
    int m_bonus_dealt = 0;
    int m_bonus_slot = -1;
    std::map<Bonus, BonusSettings> m_bonus_settings;
    RandomBag m_bonus_bag;
    std::vector<Rect> m_areas;
    std::vector<Rect> m_vimu_production_areas;
    SharedPtr<Sprite> m_back;
    ImageSprite m_accuracy_sprite;
    ImageSprite m_arrow_head;
    ImageSprite m_arrow_tail;
    ImageSprite m_darkening;
    TextSprite m_launch_number;
    float m_friction_coefficient = 1.0f;
    bool m_dark = false;
    Vector2<int> m_light_point;
    std::map<Bonus, int> m_initial_bonuses;
    std::vector<SharedPtr<Idol>> m_idols;
    std::list<SharedPtr<Item>> m_items;
    std::vector<Attractee> m_grounded;  // the items on the ground of a step, in item order
    std::vector<std::size_t> m_movers;  // those of them charged or attracting, by place
    Sound m_sound;
    ResHandle<Sample> m_danger_sample;
    ResHandle<Sample> m_end_danger_sample;
    ResHandle<Sample> m_bowl_sample;
    ResHandle<Sample> m_time_start_sample;
    ResHandle<Sample> m_time_stop_sample;
    std::array<int, 3> m_throw_difficulty{};
    std::array<int, 3> m_time_difficulty{};
    SharedPtr<PhysicsWorld> m_world;
    SharedPtr<ContactListener> m_contact_listener;
    FieldSettings m_settings;
    FieldClock m_clock;
    FieldShake m_shake;
    AimState m_aim;
    ChainScore m_score;
    MeterState m_meter;
    std::vector<Item*> m_draw_order;
    std::multimap<int, Item*> m_pieces;
    int m_piece_walks = 0;
    std::multimap<int, SkinPath> m_creatable;
    std::vector<Item*> m_awnings;
    GameState m_game_state = GameState::running;
    std::array<Sprite, 4> m_layers;
    Rect m_text_bounds{0.0f, 0.0f, 1024.0f, 768.0f};
    int m_pending_powerup_effects = 0;
    int m_last_check = -1;
    int m_check_count = 0;

};

}
