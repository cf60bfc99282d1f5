#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "engine/base/color.h"
#include "engine/base/rect.h"
#include "engine/base/shared_object.h"
#include "engine/base/str_cache.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "engine/platform/quad.h"
#include "engine/platform/sample.h"
#include "engine/platform/sound.h"
#include "engine/platform/texture.h"
#include "engine/res/adv_skin_io.h"
#include "engine/res/res_handle.h"
#include "game/field/field_enums.h"
#include "game/field/physics/contact_listener.h"
#include "game/field/physics/physics_shape.h"

namespace kq {

class Artist;
class Field;
class PhysicsBody;

/// One image layer of an item: a texture and the rectangle of it the item shows, in texture
/// coordinates (u, v, width, height).
struct TextureLayer
{
    ResHandle<Texture> texture;
    Rect rect;
};

/// A caption collected for an item's next score text.
struct ItemCaption
{
    std::string text;
    Color colour;
};

/// Where the field puts an item: a position in pixels and an angle in radians.
struct ItemPlacement
{
    Vector2<float> position;
    float angle = 0.0f;
};

/// The base of every object on the playing field: a body in the field's physics world, a
/// shape and material read from the skin, four texture layers, a height above the ground
/// that decides what it collides with, an impact sound and a tip.
///
/// Lengths are pixels and angles radians outside, metres inside the physics world (10 pixels
/// make a metre). An item is made by its class's default constructor or as a copy of a
/// prototype, read from its skin node, then put on a field (`attach`), which builds its body;
/// the field destroys the body (`destroy_body`) before it lets the item go. The item never
/// owns its body or its field.
class Item : public SharedObject, public AdvSkinIO
{
public:
    using Form = ItemForm;

    /// Size (100, 100), form rect, shadow on, magnetic, ground bits 255, air bits 0, gen -1;
    /// no body, on no field, dead.
    Item();
    /// A member-wise copy with a count block of its own (prototypes have no body or field).
    Item(const Item& other) = default;
    /// Releases the handles, lists and sound; the body is not touched.
    ~Item() override = default;

    /// The body's angle in radians.
    virtual float angle() const;
    /// The drawing scale.
    virtual Vector2<float> scale() const { return m_scale; }
    /// The body's position in pixels.
    virtual Vector2<float> position() const;
    /// 1 at height 0 and above, fading to 0 as the item sinks to height -5.
    virtual float opacity() const;
    /// True when the item belongs to a group ("gen" other than -1).
    virtual bool has_group() const { return m_gen != -1; }
    /// True when the other item has a group and it is this item's.
    virtual bool same_group(const Item& other) const;
    /// Told by a piece that touched the item and chains with it; nothing here.
    virtual void on_chained_by(Item& /*piece*/) {}
    /// True when the item pulls pieces towards it.
    virtual bool is_attractor() const { return false; }
    /// True when the player may activate the item by clicking it.
    virtual bool is_clickable() const { return can_activate(); }
    /// Activates the item (the player clicked it).
    virtual void activate() { do_activate(); }

    /// Sets the shape definition's density, material and filter from the item, then makes the
    /// shape on the body.
    virtual void create_shape(ShapeDef& def);
    /// The collision filter for the item's current height.
    virtual void collision_filter(FilterData& filter) const;
    /// Builds the body at the placement from the item's form and material.
    virtual void build_body(const ItemPlacement& placement);
    /// Shows the pending score texts, then destroys the body; an awning leaves its field's
    /// awnings first.
    virtual void destroy_body();

    /// Tells the item of a contact with another item after a world step: the item of the two
    /// that ranks first (higher tinkling priority, then a fixed order) plays its impact sound
    /// when the hit is hard enough and its last one has rung long enough.
    virtual void on_contact(Item& other, const ContactInfo& info);
    /// Called on every item at the end of each turn; nothing here.
    virtual void on_turn_end() {}
    /// One frame of `dt` field milliseconds: ground friction, jumping and falling heights,
    /// the highlight's wobble, and the item's tip offered once.
    virtual void update(int dt);
    /// Shows the collected captions stacked upwards from the item's centre and its points as
    /// "+ n", then forgets both.
    void flush_captions();
    /// Called once when a falling item has sunk out of sight (it is dead from then on).
    virtual void on_fallen() {}

    /// Rebuilds the main and highlight quads from the body's place, angle and the drawing
    /// scale; the field calls it once a frame before it draws any pass.
    void prepare_quads();
    /// Draws one pass in the artist's colour and transformation: 0 the main image (with the
    /// diffuse image on the second stage), 1 the highlight, 2 the shadow; others draw nothing.
    virtual void draw(int pass, Artist& artist);
    /// Draws a pass as the field shows it: nothing for an invisible item; the shadow (only at
    /// height 0 and above) moved away from the item, as a black silhouette without a shadow
    /// image; every pass faded by the opacity.
    void draw_layer(int pass, Artist& artist);
    /// Draws the outlines of the body's polygon shapes as lines, in pixels.
    void draw_outline(Artist& artist, const Color& colour);
    /// How far the shadow lies from the item: (d, d) with d = height x 5 + shift, or on a dark
    /// field d along the way from the light point (at most one length from 100 pixels on).
    Vector2<float> shadow_offset() const;

    /// What activation does; nothing here.
    virtual void do_activate() {}
    /// Whether the item can be activated; never here.
    virtual bool can_activate() const { return false; }

    /// Remembers the path, then reads every key of the item below the node, in order; a
    /// missing or malformed key throws, the keys before it staying read.
    void read_skin(const SkinPath& path) override;

    /// Puts the item on the field: it is alive and gets its body at the placement.
    void attach(Field& field, const ItemPlacement& placement);
    /// Forgets the field, once the field has let the item go.
    void detach() { m_field = nullptr; }
    /// Marks the item dead: the field removes it at its next update.
    void remove() { m_dead = true; }

    /// The body's position in pixels, whatever `position` is overridden to answer.
    Vector2<float> body_position() const;
    /// Changes the height: the body's shapes are filtered anew, the field keeps its drawing
    /// order, and the drawing scale follows. The same height changes nothing.
    void set_height(float height);
    /// True when a shape of the body contains the point (pixels).
    bool contains(const Vector2<float>& point) const;
    /// Moves the body, keeping its angle.
    void set_position(const Vector2<float>& point);
    /// Turns the body, keeping its position.
    void set_angle(float angle);
    /// The body's speed, pixels per second.
    Vector2<float> velocity() const;
    /// Sets the body's speed, pixels per second.
    void set_velocity(const Vector2<float>& velocity);
    /// Sets the body's turning speed, radians per second.
    void set_angular_velocity(float velocity);
    /// The body's mass.
    float mass() const;
    /// True when the body has no mass.
    bool is_static() const { return mass() <= 0.0f; }
    /// A point of the item's own frame in field pixels.
    Vector2<float> to_world(const Vector2<float>& local) const;
    /// A field point in the item's own frame.
    Vector2<float> to_local(const Vector2<float>& world) const;
    /// An impulse (pixel units) at a field point.
    void apply_impulse(const Vector2<float>& impulse, const Vector2<float>& point);
    /// An impulse (pixel units) at the body's position.
    void apply_central_impulse(const Vector2<float>& impulse);
    /// A force (pixel units) at a field point, acting through the next step.
    void apply_force(const Vector2<float>& force, const Vector2<float>& point);
    /// A force (pixel units) at the body's position.
    void apply_central_force(const Vector2<float>& force);

    void set_launchable(bool launchable) { m_launchable = launchable; }
    /// Magnets no longer act on the item.
    void clear_magnetic() { m_magnetic = false; }
    /// Carries the item towards the point (pixels): each update sets its speed to ten times
    /// its distance from the point per second, so it closes the gap in about a tenth of a
    /// second.
    void drag_to(const Vector2<float>& point);
    /// Lets go of a carried item where it is, at rest.
    void end_drag();
    bool is_dragged() const { return m_dragged; }
    const Vector2<float>& drag_target() const { return m_drag_target; }
    /// Throws the item into the air at a vertical speed (height units per second).
    void jump(float speed);
    /// Lets the item fall (into a hole), without a floor.
    void fall();
    /// True while jumping or falling.
    bool is_off_ground() const { return m_jumping || m_falling; }
    /// Adds points for the next score text, with the caption unless its text is empty.
    void add_points(int points, const ItemCaption& caption);
    /// Shows the frame as the base layer, from the frame's top-left corner.
    void set_frame(const ResHandle<Texture>& frame);

    PhysicsBody* body() const { return m_body; }
    bool is_jumping() const { return m_jumping; }
    bool is_falling() const { return m_falling; }
    float vertical_speed() const { return m_vertical_speed; }
    /// The field time before which no new impact sound starts.
    int next_tinkling_time() const { return m_next_tinkling_time; }
    float specular_angle() const { return m_specular_angle; }
    Field* field() const { return m_field; }
    bool is_dead() const { return m_dead; }
    float height() const { return m_height; }
    float zero_height() const { return m_zero_height; }
    Form form() const { return m_form; }
    const std::vector<std::vector<Vector2<float>>>& polygons() const { return m_polygons; }
    const Vector2<float>& size() const { return m_size; }
    float density() const { return m_density; }
    float friction() const { return m_friction; }
    float side_friction() const { return m_side_friction; }
    float restitution() const { return m_restitution; }
    float linear_damping() const { return m_linear_damping; }
    float angular_damping() const { return m_angular_damping; }
    float electrostatic_charge() const { return m_electrostatic_charge; }
    bool is_awning() const { return m_awning; }
    bool is_invisible() const { return m_invisible; }
    bool is_additive() const { return m_additive; }
    bool has_shadow() const { return m_have_shadow; }
    bool has_fast_tinkling() const { return m_fast_tinkling; }
    float shadow_shift() const { return m_shadow_shift; }
    bool is_launchable() const { return m_launchable; }
    bool is_magnetic() const { return m_magnetic; }
    std::uint16_t ground_cg() const { return m_ground_cg; }
    std::uint16_t air_cg() const { return m_air_cg; }
    int gen() const { return m_gen; }
    int tinkling_priority() const { return m_tinkling_priority; }
    const ResHandle<Sample>& tinkling_sample() const { return m_tinkling_sample; }
    const std::vector<ResHandle<Texture>>& animation() const { return m_animation; }
    const TextureLayer& base() const { return m_base; }
    const TextureLayer& shadow() const { return m_shadow; }
    const TextureLayer& diffuse() const { return m_diffuse; }
    const TextureLayer& specular() const { return m_specular; }
    int points() const { return m_points; }
    const std::list<ItemCaption>& captions() const { return m_captions; }
    StrCache tip() const { return m_tip; }

protected:
    std::vector<ResHandle<Texture>> m_animation;
    TextureLayer m_base;
    TextureLayer m_shadow;
    TextureLayer m_diffuse;
    TextureLayer m_specular;
    Quad m_base_quad;
    Quad m_specular_quad;
    Vector2<float> m_scale{1.0f, 1.0f};
    Field* m_field = nullptr;
    bool m_dead = true;
    Sound m_sound;
    float m_height = 0.0f;
    float m_zero_height = 0.0f;
    bool m_jumping = false;
    bool m_falling = false;
    float m_vertical_speed = 0.0f;
    Form m_form = Form::rect;
    std::vector<std::vector<Vector2<float>>> m_polygons;
    Vector2<float> m_size{100.0f, 100.0f};
    float m_density = 0.0f;
    float m_friction = 0.0f;
    float m_side_friction = 0.2f;
    float m_restitution = 0.0f;
    float m_linear_damping = 0.0f;
    float m_angular_damping = 0.0f;
    float m_electrostatic_charge = 0.0f;
    PhysicsBody* m_body = nullptr;
    bool m_awning = false;
    bool m_invisible = false;
    bool m_additive = false;
    bool m_have_shadow = true;
    bool m_fast_tinkling = false;
    float m_shadow_shift = 4.0f;
    bool m_launchable = false;
    bool m_magnetic = true;
    std::uint16_t m_ground_cg = 255;
    std::uint16_t m_air_cg = 0;
    int m_gen = -1;
    int m_tinkling_priority = 0;
    ResHandle<Sample> m_tinkling_sample;
    int m_next_tinkling_time = -1;
    int m_points = 0;
    std::list<ItemCaption> m_captions;
    StrCache m_tip;
    float m_specular_angle = 0.0f;
    bool m_dragged = false;
    Vector2<float> m_drag_target;

private:
    // Reads the keys "<layer>_texture" and "<layer>_tbegin" of one layer.
    void read_layer(const SkinPath& node, const char* texture_key, const char* tbegin_key,
                    TextureLayer& layer, Vector2<int>& tbegin);
    // The layer's rectangle at the pixel offset with the item's size, when its texture exists.
    void place_layer(TextureLayer& layer, const Vector2<int>& tbegin);
    void add_shapes(float hx, float hy);
    void apply_ground_friction(float t);
    void follow_drag_target();
    void move_height(float t);
    void wobble_specular(float t);
};

}

KQ_TYPE_NAME(kq::Item, "class kq::Item");
