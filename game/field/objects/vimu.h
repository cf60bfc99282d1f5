#pragma once

#include "engine/art/emitter_sprite.h"
#include "engine/base/color.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "game/field/field_enums.h"
#include "game/field/objects/item.h"

namespace kq {

struct BonusSettings;
class FireIdol;

/// The game piece: a coloured item of a gen that the player launches. A piece that touches a
/// burning piece of its gen catches fire: its fuse burns 1500 ms of field time while it
/// trembles, then it explodes, bursts at its next update (scoring its cost) and is removed;
/// when its body goes, the points it collected reach the field's progress and meter.
///
/// Pieces dying together form a chain, named by a number the field hands out: a piece set
/// alight by a dying piece joins that piece's chain, any other ignition opens a new one.
class Vimu : public Item
{
public:
    using TrembleType = kq::TrembleType;

    /// How long a lit fuse burns, field milliseconds.
    static constexpr int fuse_time = 1500;

    Vimu() = default;
    Vimu(const Vimu& other) = default;
    ~Vimu() override;

    /// The item's scale times the trembling scale.
    Vector2<float> scale() const override;
    /// The body's position plus the trembling offset.
    Vector2<float> position() const override;
    /// In a group while its fuse is not lit.
    bool has_group() const override;
    /// Whether the piece `piece`, touching this one, catches fire: it must be in a group of
    /// this one's gen (any gen when either carries any_activator), and one of the two must be
    /// lit or struck, or the whole field burning.
    bool same_group(const Item& piece) const override;
    /// True while the piece carries the magnetic bonus.
    bool is_attractor() const override { return carries(Bonus::magnetic); }

    /// The item's body, then a bonus dealt by the field when the piece has neither bonus nor
    /// fuse; the piece enters the field's pieces.
    void build_body(const ItemPlacement& placement) override;
    /// Stops burning, tells the field the piece is dead, pays out its score, then destroys the
    /// body.
    void destroy_body() override;
    /// The impact sound, the shot's hit count, then catching fire from the other item.
    void on_contact(Item& other, const ContactInfo& info) override;
    /// Counts the bonus's turns down; a piece without a fuse is no longer struck.
    void on_turn_end() override;
    /// The item's update, then burning, trembling and the fuse (see the class).
    void update(int dt) override;
    /// A piece that sinks out of sight with a lit fuse explodes at once.
    void on_fallen() override;
    /// The item's passes; over the highlight pass, the sprite of the bonus the piece carries,
    /// twinkling when its settings say so, then the halo of the field's fire idol.
    void draw(int pass, Artist& artist) override;

    /// Reads the item's keys, then "cost", "color", "sacrifice", "tremble_type" and the burn
    /// emitter at "burn_emitter".
    void read_skin(const SkinPath& path) override;

    /// Shows the tip of the carried bonus at the piece.
    virtual void show_bonus_tip();
    /// The piece's destruction, one update after it exploded: its cost joins its score, the
    /// field shakes a little, the bonus it carries acts (with its label over the piece) and
    /// an explosion is left where it was.
    virtual void burst();

    /// Lights the fuse, when it is not lit and the piece has not exploded; the piece starts
    /// dying in the chain of `cause` when that is a dying piece, else in a new chain.
    void ignite(Item* cause);
    /// The piece starts dying, once, in the chain of `cause` when that is a dying piece, else
    /// in a new chain.
    void start_dying(Item* cause);
    /// Ends the fuse at once, once: the piece bursts at its next update.
    void explode();
    /// Enters or leaves the field's burning pieces, showing the burn emitter while in them.
    void set_burning(bool on);
    /// An impulse (pixel units) at a field point from a shot or a push.
    void strike(const Vector2<float>& impulse, const Vector2<float>& point);
    /// Gives the piece a bonus (-1: none) for the bonus's turns on the piece.
    void set_bonus(int bonus);
    void add_score(int n) { m_score += n; }
    void mark_ignited() { m_ignited = true; }
    /// Neither a bonus nor a lit fuse.
    bool is_plain() const { return m_bonus == -1 && m_fuse_end == -1; }
    /// Lit, struck, or the whole field burning.
    bool is_burning() const;
    /// Hands the collected score to the field's progress and meter and sends the magic dust
    /// flying to the meter.
    void release_score();

    int cost() const { return m_cost; }
    const Color& color() const { return m_color; }
    bool is_sacrifice() const { return m_sacrifice; }
    TrembleType tremble_type() const { return m_tremble_type; }
    int fuse_end() const { return m_fuse_end; }
    int fuse_start() const { return m_fuse_start; }
    bool has_exploded() const { return m_exploded; }
    int bonus() const { return m_bonus; }
    int bonus_turns() const { return m_bonus_turns; }
    int bonus_time() const { return m_bonus_time; }
    bool is_ignited() const { return m_ignited; }
    bool is_in_burning_set() const { return m_burning; }
    bool is_struck() const { return m_struck; }
    float tremble_scale() const { return m_tremble_scale; }
    const Vector2<float>& tremble_offset() const { return m_tremble_offset; }
    int score() const { return m_score; }
    /// The chain the piece dies in; 0 before it starts dying.
    int chain() const { return m_chain; }
    const SharedPtr<EmitterSprite>& burn_emitter() const { return m_burn_emitter; }

private:
    bool carries(Bonus bonus) const { return m_bonus == int(bonus); }
    // The sprite of the carried bonus over the piece.
    void draw_bonus(Artist& artist);
    void tremble();
    void follow_with_emitter();
    void send_dust();
    // What the carried bonus does at the burst, at the piece's last position; returns the
    // points it adds to the piece's score text.
    int fire_bonus(const BonusSettings& settings, const Vector2<float>& p);
    void send_splinter(const Vector2<float>& p);
    void shock_wave(int radius, const Vector2<float>& p);
    void release_spirits(int count, const Vector2<float>& p);

    int m_cost = 0;
    Color m_color{1.0f, 1.0f, 1.0f, 1.0f};
    bool m_sacrifice = false;
    TrembleType m_tremble_type = TrembleType::scale;
    int m_fuse_end = -1;
    bool m_exploded = false;
    int m_fuse_start = 0;
    int m_bonus = -1;
    int m_bonus_turns = 0;
    int m_bonus_time = 0;
    bool m_ignited = false;
    bool m_burning = false;
    bool m_struck = false;
    float m_tremble_scale = 1.0f;
    Vector2<float> m_tremble_offset;
    int m_score = 0;
    int m_chain = 0;
    SharedPtr<EmitterSprite> m_burn_emitter;
    // The field's first fire idol, looked up at the first draw.
    FireIdol* m_fire_idol = nullptr;
    bool m_fire_idol_known = false;
};

}

KQ_TYPE_NAME(kq::Vimu, "class kq::Vimu");
