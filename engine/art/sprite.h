#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <boost/container/small_vector.hpp>

#include "engine/art/sprite_base.h"
#include "engine/base/color.h"
#include "engine/base/rect.h"
#include "engine/base/transform.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "engine/platform/quad.h"
#include "engine/res/res_handle.h"
#include "engine/res/resource.h"

namespace kq {

class Artist;
class SpriteDeformer;

/// Inheritance flags: what a child sprite takes from its parent.
inline constexpr std::uint32_t IF_NONE = 0x0;
inline constexpr std::uint32_t IF_TRANSFORMATION = 0x1;  ///< world = local × the parent's world
inline constexpr std::uint32_t IF_RECT = 0x8;            ///< pivot and size copied at the parent's prepare
inline constexpr std::uint32_t IF_COLOR = 0x10;          ///< colour copied at the parent's prepare
inline constexpr std::uint32_t IF_STATE = 0x20;          ///< state word copied at prepare and on changes
inline constexpr std::uint32_t IF_DATA = 0x40;           ///< data changes reach the child; queries go up
inline constexpr std::uint32_t IF_GLOBALCOLOR = 0x100;   ///< (own) children drawn in global colour × colour
inline constexpr std::uint32_t IF_DEFAULT = 0x60;        ///< IF_STATE and IF_DATA
inline constexpr std::uint32_t IF_ALL = 0xFF;            ///< the eight low bits
inline constexpr std::uint32_t IF_ACCEPTOR = 0x10000;    ///< (own) receives particles of emitters below
/// The unnamed bit 7: the parent's deformers also bend this sprite's vertices.
inline constexpr std::uint32_t inherit_parent_deformers = 0x80;

/// Ids of a sprite's properties (the skin constants `SP_*` carry the same numbers).
inline constexpr std::int32_t SP_POSITION = 1000;
inline constexpr std::int32_t SP_ROTATION = 1001;
inline constexpr std::int32_t SP_SCALE = 1002;
inline constexpr std::int32_t SP_SIZE = 1010;
inline constexpr std::int32_t SP_PIVOT = 1011;
inline constexpr std::int32_t SP_COLOR = 1020;
inline constexpr std::int32_t SP_ALPHA = 1021;
/// The blend mode (bits 0-2 of the render state); it has no skin constant.
inline constexpr std::int32_t sprite_property_blend = 1022;
inline constexpr std::int32_t SP_VISIBLE = 1030;

/// The hit-test shape of a sprite.
enum class SpriteShape : std::int32_t
{
    rectangle = 0,
    ellipse = 1,
    visible = 2,  ///< tested by kinds that know their pixels; a plain sprite never hits
    parent = 3,   ///< the parent's answer
};

/// The drawable node of the sprite tree: a local transform (position, pivot, size, rotation,
/// scale), a colour, a render-state word, ordered child sprites, an optional deformer and
/// logic, visibility and a hit-test shape. It caches its world transform and world-space
/// geometry and rebuilds them lazily after any change.
///
/// Children are owned by the list and drawn and updated in list order. A child closed during
/// an update is removed at its parent's next update; walks over the children hold the child
/// they visit, so children may be added, removed or closed from inside them. Main thread only.
class Sprite : public SpriteBase, public Resource
{
public:
    /// Which sprites the pickers of the UI and the field consider.
    enum class Clickability : std::int32_t
    {
        none = 0,
        childs = 1,
        full = 2,
    };

    /// The world-space geometry: one quad without a heap block.
    using Quads = boost::container::small_vector<Quad, 1>;
    /// Answers a data query: (key, value out) → whether it knew the key.
    using DataProvider = std::function<bool(const std::string& key, std::string& value)>;

    /// Size (32, 32), opaque white, scale 1, inherit `IF_DEFAULT`, shown, no group; unprepared.
    Sprite();
    /// Copies the settings, clones the logic, deformer and children; unprepared, not started.
    Sprite(const Sprite& other);
    /// Releases the geometry, the children, the deformer and the logic.
    ~Sprite() override;

    /// Writes version 4 of the sprite form (the base form first).
    void store(BStream& stream) const override;
    /// Reads versions 0 to 4; fields a version lacks keep their values.
    void load(BStream& stream) override;
    /// Reads the base keys, the sprite's keys (each required), then its "child" sprites and
    /// "controller" members in document order; the name is the node's last name.
    void read_skin(const SkinPath& path) override;
    /// Answers the properties `SP_POSITION` to `SP_VISIBLE` and the blend mode; other ids go
    /// to the base.
    void property(std::int32_t operation, std::int32_t id, void* data) override;

    Sprite* root_sprite() override;
    Sprite* owner_sprite() override { return this; }
    Sprite* sprite() override { return this; }
    /// True when transient or switched off by its state bits; else when the base answer, the
    /// controllers and every child are finished.
    bool is_finished() override;
    /// Its own logic, else the parent's.
    SpriteLogic* logic() override;
    /// The base walk, then the children by the same flag rule and the deformer.
    void for_each(const std::function<void(SpriteBase*)>& visit, std::uint32_t flags) override;
    /// Drops transient children and resets the others, then the base reset.
    void reset() override;
    /// Controllers, own run-out (closes a transient sprite), deformer, prepare, then removes
    /// closed children and ticks the others.
    void update(const TimeStamp& stamp) override;
    /// The base behaviour, invalidates, and hands the word to the deformer and to children
    /// with `IF_STATE`.
    void on_state_changed() override;
    /// The base behaviour, then every child's activity is recomputed.
    void on_active_changed(bool active) override;
    /// Also computes the effective visibility.
    void start() override;
    /// The base behaviour, then invalidates.
    void on_parent_changed() override;
    /// The base rewind; the deformer is rewound; when deep, transient children close and the
    /// others are stopped, reset and rewound.
    void rewind(bool deep) override;
    /// The base walk, the deformer and every child that is not transient.
    void visit_handles(const std::function<void(ResHandleBase&)>& visit) override;

    /// `visit` on sprites only, by the `for_each` flag rule (controllers and deformer are not
    /// visited).
    virtual void for_each_sprite(const std::function<void(Sprite*)>& visit, std::uint32_t flags);
    /// Builds the quads in local coordinates; a plain sprite draws nothing itself.
    virtual void build_geometry() { m_quads.clear(); }
    /// Passes the change of effective visibility on to the children.
    virtual void on_visible_changed(bool visible);
    /// Called when the sprite becomes closed; nothing here.
    virtual void on_close() {}
    /// Invalidates, then tells the children with `IF_DATA`.
    virtual void on_data_changed();
    /// Rebuilds geometry and world transform and hands the parent's settings to the children;
    /// called through the prepared flag only.
    virtual void prepare();
    /// Draws the sprite itself; here it only applies the render state.
    virtual void draw(Artist& artist);
    /// Called after the children are drawn; nothing here.
    virtual void after_children(Artist&) {}
    /// Whether the point (in the world transform's target space) hits the sprite's shape.
    virtual bool hit_test(const Vector2<float>& point);

    /// Loads every resource of the tree (after the sprite was loaded as a resource).
    void resolve() override;
    /// Passes `visit` every resource handle of the tree.
    void list_dependencies(const std::function<void(ResHandleBase&)>& visit) { visit_handles(visit); }

    /// Draws the sprite and its children unless hidden, closed or switched off by its own
    /// state bits.
    void render(Artist& artist);
    /// Makes the sprite a child, before `before` (at the end when that is not a child), else
    /// by group. A child of another parent is moved; null is logged; the sprite itself, an
    /// ancestor of it or a child already here are ignored.
    void add_child(const SharedPtr<Sprite>& child, Sprite* before = nullptr);
    /// Stops and unlinks the child and drops it.
    void remove_child(Sprite* child);
    /// Drops every child.
    void clear_children();
    /// Drops every child and controller and the deformer.
    void clear();
    /// The child after `child`, or null.
    Sprite* next_child(const Sprite* child) const { return m_children.next(child); }
    /// The children.
    SpriteList<Sprite>& children() { return m_children; }
    /// The first sprite of the subtree with the name, depth first (when asked, only sprites
    /// whose own state bits match).
    Sprite* find(StrCache name, bool active_only);
    /// `find` in the subtree, else each ancestor and its direct children, nearest first.
    Sprite* find_near(StrCache name);
    /// `visit` on each child in order (and its children right after it when recursive).
    void for_each_child(const std::function<void(Sprite*)>& visit, bool recursive);

    void set_position(Vector2<float> position);
    void set_position(Vector2<int> position) { set_position(to_float(position)); }
    void move_by(Vector2<float> offset) { set_position(Vector2<float>{m_position.x + offset.x, m_position.y + offset.y}); }
    void set_pivot(Vector2<float> pivot);
    void set_size(Vector2<float> size);
    void set_size(Vector2<int> size) { set_size(to_float(size)); }
    void set_rotation(float rotation);
    void set_color(const Color& color);
    void set_alpha(float alpha);
    void set_rgb(const Color3& rgb);
    void set_render_state(std::uint32_t render_state);
    /// Stores the scale with each component's magnitude raised to at least 0.001.
    void set_scale(Vector2<float> scale);
    void set_scale(float scale) { set_scale(Vector2<float>{scale, scale}); }
    /// Turns by `angle`, keeping the rotation within [-π, π].
    void rotate_by(float angle);
    /// Puts the pivot at the centre of the size.
    void center_pivot();
    /// Pivot (-x, -y) and size (w, h).
    void set_local_rect(const Rect& rect);
    /// Position pivot + (x, y), size (w, h), no rotation, scale 1.
    void set_rect(const RectI& rect);
    void set_depth(float depth) { m_depth = depth; }
    void set_shape(SpriteShape shape) { m_shape = shape; }
    void set_clickability(Clickability clickability) { m_clickability = clickability; }
    void set_group(std::int32_t group) { m_group = group; }
    void set_name(StrCache name) { m_name = name; }
    void set_logic(SpriteLogic* logic) { m_logic = logic; }
    /// inherit = (inherit AND NOT mask) OR value.
    void set_inherit(std::uint32_t mask, std::uint32_t value);
    /// Sets the eight low inherit bits.
    void inherit_all() { set_inherit(0, IF_ALL); }
    /// Hides or shows the sprite; a closed sprite stays closed.
    void set_hidden(bool hidden);
    /// Hides the sprite for good; its parent's next update removes it.
    void close();
    /// Not hidden (and, with `walk_up`, no ancestor hidden).
    bool is_shown(bool walk_up) const;
    /// Attaches the deformer (null removes it).
    void set_deformer(const SharedPtr<SpriteBase>& deformer);
    /// Sets the data provider and announces a data change.
    void set_data_provider(DataProvider provider);
    /// Asks the providers from this sprite upward (past sprites with `IF_DATA` only).
    bool query_data(const std::string& key, std::string& value);
    /// Marks the sprite and its prepared subtree for rebuilding.
    void invalidate();

    /// Moves source's children, controllers and deformer to target (giving each a copy of
    /// source's timer when it has none, and source's transient flag).
    static void merge_from(Sprite& target, Sprite& source);
    /// Reduces an angle to [-π, π].
    static void normalize_angle(float& angle);

    StrCache name() const { return m_name; }
    Vector2<float> position() const { return m_position; }
    Vector2<float> pivot() const { return m_pivot; }
    Vector2<float> size() const { return m_size; }
    float rotation() const { return m_rotation; }
    Vector2<float> scale() const { return m_scale; }
    float depth() const { return m_depth; }
    const Color& color() const { return m_color; }
    std::uint32_t render_state() const { return m_render_state; }
    Clickability clickability() const { return m_clickability; }
    SpriteShape shape() const { return m_shape; }
    SpriteLogic* own_logic() const { return m_logic.get(); }
    SpriteBase* deformer() const { return m_deformer.get(); }
    std::uint32_t inherit() const { return m_inherit; }
    std::int32_t hidden() const { return m_hidden; }
    bool is_closed() const { return m_hidden == 2; }
    std::int32_t group() const { return m_group; }
    bool is_visible() const { return m_visible; }
    bool is_prepared() const { return m_prepared; }
    /// (-pivot, size).
    Rect local_rect() const { return {-m_pivot.x, -m_pivot.y, m_size.x, m_size.y}; }
    /// The local rectangle truncated to integers.
    RectI local_rect_int() const;
    /// The integer local rectangle moved by the truncated position.
    RectI parent_rect_int() const;
    const Transform& world_transform();
    Vector2<float> world_position();
    const Quads& world_quads();
    /// The nearest sprite above, or null.
    Sprite* parent_sprite() const { return parent() ? parent()->sprite() : nullptr; }

protected:
    /// Prepares when not prepared.
    void ensure_prepared();
    /// The quads: local after `build_geometry`, world after `prepare`.
    Quads& quads() { return m_quads; }
    /// The world transform as `Sprite::prepare` left it, for a kind's own `prepare`.
    const Transform& prepared_world() const { return m_world; }

private:
    static Vector2<float> to_float(Vector2<int> v) { return {float(v.x), float(v.y)}; }
    void apply_parent_copies(Sprite& child);
    void refresh_visibility();
    void deform(QuadVertex& vertex);
    bool contains_ancestor(const Sprite* candidate) const;

    StrCache m_name;
    Vector2<float> m_position;
    Vector2<float> m_pivot;
    Vector2<float> m_size{32.0f, 32.0f};
    float m_rotation = 0.0f;
    Vector2<float> m_scale{1.0f, 1.0f};
    float m_depth = 0.0f;
    Color m_color{1.0f, 1.0f, 1.0f, 1.0f};
    std::uint32_t m_render_state = 0;
    Clickability m_clickability = Clickability::childs;
    SpriteShape m_shape = SpriteShape::rectangle;
    SpriteLogicPtr m_logic;
    SharedPtr<SpriteBase> m_deformer;
    std::uint32_t m_inherit = IF_DEFAULT;
    SpriteList<Sprite> m_children;
    std::int32_t m_hidden = 0;
    std::int32_t m_group = -1;
    DataProvider m_data_provider;
    Transform m_world;
    Quads m_quads;
    bool m_prepared = false;
    bool m_visible = true;
};

}

KQ_TYPE_NAME(kq::Sprite, "class kq::Sprite");
KQ_TYPE_NAME(kq::SpriteShape, "enum kq::SpriteShape");
KQ_TYPE_NAME(kq::Sprite::Clickability, "enum kq::Sprite::Clickability");
KQ_TYPE_NAME(kq::ResHandle<kq::Sprite>, "class kq::ResHandle<class kq::Sprite>");
