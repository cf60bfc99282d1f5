#include "engine/art/sprite.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "art_test_support.h"
#include "art_tree_support.h"
#include "engine/base/class_desc.h"
#include "engine/base/clone.h"
#include "tests/base/log_capture.h"

namespace kq::test {

using testing::HasSubstr;

namespace {

constexpr float pi = 3.1415927f;

SharedPtr<Tile> tile(const char* name, Vector2<float> position, Vector2<float> size = {10, 10},
                     std::uint32_t inherit = IF_DEFAULT)
{
    SharedPtr<Tile> made(new Tile);
    made->set_name(StrCache(name));
    made->set_position(position);
    made->set_size(size);
    made->set_inherit(~0u, inherit);
    return made;
}

TimeStamp at(std::int32_t time)
{
    return TimeStamp{TimeStamp::millisecond_clock, time, nullptr};
}

SpriteTimer* run_of(std::int32_t period)
{
    auto* timer = new SpriteTimer;
    timer->set_period(period);
    return timer;
}

std::vector<std::string> child_names(Sprite& sprite)
{
    std::vector<std::string> names;
    sprite.for_each_child([&names](Sprite* child) { names.push_back(child->name().c_str()); }, false);
    return names;
}

struct Corner
{
    float x, y;
};

Corner top_left(const std::vector<DeviceVertex>& vertices, std::size_t quad)
{
    return {vertices.at(quad * 4).x, vertices.at(quad * 4).y};
}

}

TEST(Sprite, TreeDrawsInListOrderWithWorldTransforms)
{
    // root at (100, 50); "moving" inherits the transform, "fixed" does not; "deep" sits
    // under "moving" and inherits too.
    SharedPtr<Tile> root = tile("root", {100, 50});
    SharedPtr<Tile> moving = tile("moving", {10, 0}, {10, 10}, IF_DEFAULT | IF_TRANSFORMATION);
    SharedPtr<Tile> deep = tile("deep", {0, 20}, {10, 10}, IF_DEFAULT | IF_TRANSFORMATION);
    SharedPtr<Tile> fixed = tile("fixed", {5, 5});
    root->add_child(moving);
    moving->add_child(deep);
    root->add_child(fixed);

    const struct Step {
        Vector2<float> root_position;
        float root_rotation;
        Corner expected[4];
    } steps[] = {
        {{100, 50}, 0, {{100, 50}, {110, 50}, {110, 70}, {5, 5}}},
        {{200, 50}, 0, {{200, 50}, {210, 50}, {210, 70}, {5, 5}}},
        // A quarter turn maps local (x, y) to (-y, x) before the move.
        {{200, 50}, pi / 2, {{200, 50}, {200, 60}, {180, 60}, {5, 5}}},
    };
    for (const Step& step : steps) {
        root->set_position(step.root_position);
        root->set_rotation(step.root_rotation);
        const std::vector<DeviceVertex> drawn = render_frame(*root);
        ASSERT_EQ(drawn.size(), 16u);
        for (std::size_t quad = 0; quad < 4; ++quad) {
            EXPECT_NEAR(top_left(drawn, quad).x, step.expected[quad].x, 1e-4f) << quad;
            EXPECT_NEAR(top_left(drawn, quad).y, step.expected[quad].y, 1e-4f) << quad;
        }
    }
    // The corners of the rotated root's quad, in drawing order.
    const std::vector<DeviceVertex> drawn = render_frame(*root);
    const Corner corners[] = {{200, 50}, {200, 60}, {190, 60}, {190, 50}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(drawn[i].x, corners[i].x, 1e-4f) << i;
        EXPECT_NEAR(drawn[i].y, corners[i].y, 1e-4f) << i;
    }
}

TEST(Sprite, PivotAndScalePlaceTheRectangle)
{
    SharedPtr<Tile> sprite = tile("s", {40, 30}, {20, 10});
    sprite->center_pivot();
    sprite->set_scale(Vector2<float>{2, 3});
    const std::vector<DeviceVertex> drawn = render_frame(*sprite);
    ASSERT_EQ(drawn.size(), 4u);
    // Local rectangle (-10, -5, 20, 10), scaled, then moved to (40, 30).
    const Corner corners[] = {{20, 15}, {60, 15}, {60, 45}, {20, 45}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(drawn[i].x, corners[i].x) << i;
        EXPECT_FLOAT_EQ(drawn[i].y, corners[i].y) << i;
    }
}

TEST(Sprite, ColoursAndInheritFlagsReachTheVertices)
{
    SharedPtr<Tile> root = tile("root", {0, 0});
    SharedPtr<Tile> plain = tile("plain", {0, 0});
    SharedPtr<Tile> copied = tile("copied", {0, 0}, {10, 10}, IF_DEFAULT | IF_COLOR | IF_RECT);
    root->set_color({0.5f, 1.0f, 0.25f, 1.0f});
    root->set_size(Vector2<float>{30, 40});
    root->set_pivot({5, 5});
    plain->set_color({1.0f, 0.5f, 1.0f, 0.5f});
    root->add_child(plain);
    root->add_child(copied);

    std::vector<DeviceVertex> drawn = render_frame(*root);
    ASSERT_EQ(drawn.size(), 12u);
    EXPECT_EQ(drawn[0].color, packed(0.5f, 1.0f, 0.25f, 1.0f));
    EXPECT_EQ(drawn[4].color, packed(1.0f, 0.5f, 1.0f, 0.5f));
    EXPECT_EQ(drawn[8].color, packed(0.5f, 1.0f, 0.25f, 1.0f)) << "IF_COLOR takes the parent's colour";
    EXPECT_EQ(copied->size(), (Vector2<float>{30, 40})) << "IF_RECT takes the parent's size";
    EXPECT_EQ(copied->pivot(), (Vector2<float>{5, 5}));

    // With IF_GLOBALCOLOR the parent's colour multiplies everything drawn below it.
    root->set_inherit(IF_GLOBALCOLOR, IF_GLOBALCOLOR);
    drawn = render_frame(*root);
    ASSERT_EQ(drawn.size(), 12u);
    EXPECT_EQ(drawn[0].color, packed(0.5f, 1.0f, 0.25f, 1.0f)) << "the sprite itself is drawn before the push";
    EXPECT_EQ(drawn[4].color, packed(0.5f, 0.5f, 0.25f, 0.5f));
    EXPECT_EQ(drawn[8].color, packed(0.25f, 1.0f, 0.0625f, 1.0f));
}

TEST(Sprite, RenderStateIsAppliedBeforeDrawing)
{
    SharedPtr<Tile> root = tile("root", {0, 0});
    SharedPtr<Tile> added = tile("added", {0, 0});
    added->set_render_state(blend_add | render_wrap);
    root->add_child(added);
    RecordingArtist artist;
    artist.begin_scene();
    root->render(artist);
    artist.end_scene();
    ASSERT_EQ(artist.batches.size(), 2u);
    EXPECT_EQ(artist.batches[0].state, 0u);
    EXPECT_EQ(artist.batches[1].state, blend_add | render_wrap);
}

TEST(Sprite, StateMasksSwitchBranchesOnAndOff)
{
    SharedPtr<Tile> root = tile("root", {0, 0});
    SharedPtr<Tile> branch = tile("branch", {0, 0});
    SharedPtr<Tile> leaf = tile("leaf", {0, 0});
    SharedPtr<Tile> other = tile("other", {0, 0});
    branch->set_state_mask(0x1);
    branch->set_state_value(0x1);
    other->set_state_mask(0x1);
    other->set_state_value(0x0);
    root->add_child(branch);
    branch->add_child(leaf);
    root->add_child(other);
    leaf->set_timer(run_of(100000));

    const struct Step {
        std::uint32_t state;
        std::size_t quads;
        bool leaf_active;
    } steps[] = {{0x0, 2, false}, {0x1, 3, true}, {0x3, 3, true}, {0x2, 2, false}};
    for (const Step& step : steps) {
        root->set_state(step.state);
        root->tick(at(static_cast<std::int32_t>(step.state)));
        EXPECT_EQ(render_frame(*root).size(), step.quads * 4) << step.state;
        EXPECT_EQ(leaf->state(), step.state) << "IF_STATE carries the word down";
        EXPECT_EQ(leaf->is_active(), step.leaf_active) << step.state;
        EXPECT_EQ(branch->is_finished(), !step.leaf_active) << "a switched-off sprite counts as finished";
    }
}

TEST(Sprite, HiddenChildrenAreSkippedAndClosedOnesRemoved)
{
    SharedPtr<Tile> root = tile("root", {0, 0});
    SharedPtr<Tile> a = tile("a", {0, 0});
    SharedPtr<Tile> b = tile("b", {0, 0});
    SharedPtr<Tile> under_b = tile("under_b", {0, 0});
    root->add_child(a);
    root->add_child(b);
    b->add_child(under_b);
    root->tick(at(0));

    b->set_hidden(true);
    EXPECT_EQ(render_frame(*root).size(), 8u);
    EXPECT_FALSE(under_b->is_visible()) << "a hidden ancestor hides its subtree";
    EXPECT_TRUE(under_b->is_shown(false));
    b->set_hidden(false);
    EXPECT_TRUE(under_b->is_visible());
    EXPECT_EQ(render_frame(*root).size(), 16u);

    a->close();
    a->set_hidden(false);
    EXPECT_TRUE(a->is_closed()) << "closing is for good";
    EXPECT_EQ(render_frame(*root).size(), 12u);
    EXPECT_EQ(child_names(*root), (std::vector<std::string>{"a", "b"}));
    root->tick(at(10));
    EXPECT_EQ(child_names(*root), (std::vector<std::string>{"b"}));
    EXPECT_EQ(a->parent(), nullptr);
}

TEST(Sprite, TransientChildrenCloseWhenTheirTimersEnd)
{
    SharedPtr<Tile> root = tile("root", {0, 0});
    SharedPtr<Tile> flash = tile("flash", {0, 0});
    SharedPtr<Tile> stays = tile("stays", {0, 0});
    flash->set_timer(run_of(100));
    flash->set_transient(true);
    root->add_child(flash);
    root->add_child(stays);

    const struct Step {
        std::int32_t time;
        bool closed;
        std::size_t children;
    } steps[] = {{0, false, 2}, {100, false, 2}, {101, true, 2}, {120, true, 1}};
    for (const Step& step : steps) {
        root->tick(at(step.time));
        EXPECT_EQ(flash->is_closed(), step.closed) << step.time;
        EXPECT_EQ(root->children().size(), step.children) << step.time;
    }
    EXPECT_EQ(render_frame(*root).size(), 8u);

    // A deep rewind closes transient children at once; reset drops them.
    SharedPtr<Tile> again = tile("again", {0, 0});
    again->set_transient(true);
    root->add_child(again);
    root->rewind(true);
    EXPECT_TRUE(again->is_closed());
    SharedPtr<Tile> third = tile("third", {0, 0});
    third->set_transient(true);
    root->add_child(third);
    root->reset();
    EXPECT_EQ(child_names(*root), (std::vector<std::string>{"stays"}));
}

TEST(Sprite, ChildrenMayBeClosedAndRemovedFromInsideTheWalk)
{
    SharedPtr<Tile> root = tile("root", {0, 0});
    SharedPtr<Tile> first = tile("first", {0, 0});
    SharedPtr<Tile> second = tile("second", {0, 0});
    SharedPtr<Tile> third = tile("third", {0, 0});
    root->add_child(first);
    root->add_child(second);
    root->add_child(third);
    // A controller of "first" removes "second" and closes "third" while "first" is updated.
    class Meddler : public SpriteBase
    {
    public:
        Meddler(Sprite& root, Sprite& second, Sprite& third) : m_root(root), m_second(second), m_third(third) {}
        void update(const TimeStamp&) override
        {
            m_root.remove_child(&m_second);
            m_third.close();
            SharedPtr<Tile> late(new Tile);
            late->set_name(StrCache("late"));
            m_root.add_child(late);
        }
        Sprite& m_root;
        Sprite& m_second;
        Sprite& m_third;
    };
    first->add_controller(SharedPtr<SpriteBase>(new Meddler(*root, *second, *third)));
    Sprite* watched_second = second.get();
    second = SharedPtr<Tile>();  // the list holds the only reference
    root->tick(at(0));
    (void)watched_second;
    EXPECT_EQ(child_names(*root), (std::vector<std::string>{"first", "late"}));
}

TEST(Sprite, AddChildPlacesByGroupAndMovesChildren)
{
    LogCapture log;
    SharedPtr<Tile> root = tile("root", {0, 0});
    const struct Entry {
        const char* name;
        std::int32_t group;
    } entries[] = {{"a", -1}, {"g5", 5}, {"b", -1}, {"g7", 7}, {"new5", 5}, {"new7", 7}, {"g9", 9}};
    std::vector<SharedPtr<Tile>> made;
    for (const Entry& entry : entries) {
        made.push_back(tile(entry.name, {0, 0}));
        made.back()->set_group(entry.group);
        root->add_child(made.back());
    }
    EXPECT_EQ(child_names(*root), (std::vector<std::string>{"a", "new5", "g5", "b", "new7", "g7", "g9"}));

    SharedPtr<Tile> before_b = tile("before_b", {0, 0});
    before_b->set_group(5);
    Sprite* b = made[2].get();
    root->add_child(before_b, b);
    SharedPtr<Tile> stranger = tile("stranger", {0, 0});
    root->add_child(tile("end", {0, 0}), stranger.get());
    EXPECT_EQ(child_names(*root), (std::vector<std::string>{"a", "new5", "g5", "before_b", "b", "new7", "g7", "g9", "end"}));

    // Ignored: a child already here, the sprite itself, an ancestor; null is logged.
    root->add_child(made[0]);
    root->add_child(root);
    made[1]->add_child(root);
    root->add_child(SharedPtr<Sprite>());
    EXPECT_EQ(root->children().size(), 9u);
    EXPECT_EQ(root->parent(), nullptr);
    EXPECT_THAT(log.text("error"), HasSubstr("\nCan't add null sprite\n"));

    // A child of another parent moves.
    SharedPtr<Tile> other = tile("other", {0, 0});
    other->add_child(made[0]);
    EXPECT_EQ(made[0]->parent(), other.get());
    EXPECT_EQ(root->children().size(), 8u);
    EXPECT_EQ(child_names(*other), (std::vector<std::string>{"a"}));
    EXPECT_EQ(root->next_child(made[2].get()), made[5].get());
    EXPECT_EQ(root->next_child(made[0].get()), nullptr);
}

TEST(Sprite, FindAndFindNearSearchTheTree)
{
    SharedPtr<Tile> root = tile("root", {0, 0});
    SharedPtr<Tile> left = tile("left", {0, 0});
    SharedPtr<Tile> right = tile("right", {0, 0});
    SharedPtr<Tile> item = tile("item", {0, 0});
    SharedPtr<Tile> off = tile("item", {0, 0});
    SharedPtr<Tile> uncle = tile("uncle", {0, 0});
    off->set_state_mask(1);
    off->set_state_value(1);
    root->add_child(left);
    root->add_child(right);
    left->add_child(off);
    right->add_child(item);
    root->add_child(uncle);

    EXPECT_EQ(root->find(StrCache("item"), false), off.get());
    EXPECT_EQ(root->find(StrCache("item"), true), item.get());
    EXPECT_EQ(root->find(StrCache("none"), false), nullptr);
    EXPECT_EQ(item->find_near(StrCache("uncle")), uncle.get());
    EXPECT_EQ(item->find_near(StrCache("root")), root.get());
    EXPECT_EQ(off->find_near(StrCache("right")), right.get());
    EXPECT_EQ(left->find_near(StrCache("item")), nullptr) << "only ancestors' direct children are searched";
    EXPECT_EQ(item->find_near(StrCache("nothing")), nullptr);
}

TEST(Sprite, QueryDataClimbsThroughDataInheritingSprites)
{
    SharedPtr<Tile> root = tile("root", {0, 0});
    SharedPtr<Tile> middle = tile("middle", {0, 0});
    SharedPtr<Tile> leaf = tile("leaf", {0, 0});
    root->add_child(middle);
    middle->add_child(leaf);
    root->set_data_provider([](const std::string& key, std::string& value) {
        value = "root:" + key;
        return key != "missing";
    });
    middle->set_data_provider([](const std::string& key, std::string& value) {
        if (key != "name")
            return false;
        value = "middle";
        return true;
    });

    const struct Case {
        const char* key;
        std::uint32_t middle_inherit;
        bool found;
        const char* value;
    } cases[] = {
        {"name", IF_DEFAULT, true, "middle"},
        {"score", IF_DEFAULT, true, "root:score"},
        {"score", IF_STATE, false, ""},
        {"missing", IF_DEFAULT, false, "root:missing"},
    };
    for (const Case& c : cases) {
        middle->set_inherit(~0u, c.middle_inherit);
        std::string value;
        EXPECT_EQ(leaf->query_data(c.key, value), c.found) << c.key;
        EXPECT_EQ(value, c.value) << c.key;
    }
}

TEST(Sprite, HitTestShapes)
{
    SharedPtr<Tile> parent = tile("parent", {0, 0}, {100, 50});
    SharedPtr<Tile> sprite = tile("s", {0, 0}, {100, 50});
    parent->add_child(sprite);
    const struct Case {
        SpriteShape shape;
        Vector2<float> size;
        Vector2<float> position;
        float rotation;
        Vector2<float> point;
        bool hit;
    } cases[] = {
        {SpriteShape::ellipse, {100, 50}, {0, 0}, 0, {50, 25}, true},
        {SpriteShape::ellipse, {100, 50}, {0, 0}, 0, {99, 1}, false},
        {SpriteShape::ellipse, {100, 50}, {0, 0}, 0, {99.5f, 25}, true},
        {SpriteShape::rectangle, {100, 50}, {0, 0}, 0, {99, 1}, true},
        {SpriteShape::rectangle, {100, 50}, {0, 0}, 0, {100, 1}, false},
        {SpriteShape::rectangle, {100, 50}, {0, 0}, 0, {0, 0}, true},
        {SpriteShape::rectangle, {100, 50}, {0, 0}, 0, {-0.01f, 0}, false},
        {SpriteShape::rectangle, {-100, 50}, {0, 0}, 0, {-50, 10}, true},
        {SpriteShape::rectangle, {-100, 50}, {0, 0}, 0, {50, 10}, false},
        {SpriteShape::rectangle, {100, -50}, {0, 0}, 0, {50, -10}, true},
        {SpriteShape::rectangle, {100, 50}, {200, 100}, pi / 2, {190, 150}, true},
        {SpriteShape::rectangle, {100, 50}, {200, 100}, pi / 2, {210, 150}, false},
        {SpriteShape::visible, {100, 50}, {0, 0}, 0, {50, 25}, false},
        {static_cast<SpriteShape>(-1), {100, 50}, {0, 0}, 0, {50, 25}, false},
        {SpriteShape::parent, {1, 1}, {500, 500}, 0, {50, 25}, true},
        {SpriteShape::parent, {1, 1}, {500, 500}, 0, {150, 25}, false},
    };
    for (const Case& c : cases) {
        sprite->set_shape(c.shape);
        sprite->set_size(c.size);
        sprite->set_position(c.position);
        sprite->set_rotation(c.rotation);
        EXPECT_EQ(sprite->hit_test(c.point), c.hit)
            << static_cast<int>(c.shape) << " size (" << c.size.x << ", " << c.size.y << ") point (" << c.point.x
            << ", " << c.point.y << ")";
    }
    SharedPtr<Tile> orphan = tile("orphan", {0, 0});
    orphan->set_shape(SpriteShape::parent);
    EXPECT_FALSE(orphan->hit_test({1, 1}));
}

TEST(Sprite, ScaleFloorAndAngleFolding)
{
    const struct ScaleCase {
        Vector2<float> in, out;
    } scales[] = {
        {{0, -0.0005f}, {0.001f, -0.001f}},
        {{-0.0f, 0.0009f}, {0.001f, 0.001f}},
        {{2, -3}, {2, -3}},
        {{0.001f, -0.001f}, {0.001f, -0.001f}},
    };
    for (const ScaleCase& c : scales) {
        Sprite sprite;
        sprite.set_scale(c.in);
        EXPECT_EQ(sprite.scale(), c.out) << c.in.x << ", " << c.in.y;
    }

    const struct AngleCase {
        float start, turn, expected;
    } angles[] = {
        {3.0f, 3.5f, 6.5f - 6.2831855f}, {0.0f, 7.0f, 7.0f - 6.2831855f}, {-3.0f, -1.0f, -4.0f + 6.2831855f},
        {1.0f, 0.5f, 1.5f},               {0.0f, -13.0f, -13.0f + 2 * 6.2831855f},
    };
    for (const AngleCase& c : angles) {
        Sprite sprite;
        sprite.set_rotation(c.start);
        sprite.rotate_by(c.turn);
        EXPECT_NEAR(sprite.rotation(), c.expected, 1e-5f) << c.start << " + " << c.turn;
        EXPECT_GE(sprite.rotation(), -pi);
        EXPECT_LE(sprite.rotation(), pi);
    }
    Sprite unturned;
    unturned.set_rotation(9.0f);
    unturned.rotate_by(0.0f);
    EXPECT_EQ(unturned.rotation(), 9.0f) << "a zero turn leaves the rotation as it is";
}

TEST(Sprite, RectangleSetters)
{
    Sprite sprite;
    sprite.set_pivot({4, 6});
    sprite.set_rotation(1.0f);
    sprite.set_scale(2.0f);
    sprite.set_rect(RectI{10, 20, 30, 40});
    EXPECT_EQ(sprite.position(), (Vector2<float>{14, 26}));
    EXPECT_EQ(sprite.size(), (Vector2<float>{30, 40}));
    EXPECT_EQ(sprite.rotation(), 0.0f);
    EXPECT_EQ(sprite.scale(), (Vector2<float>{1, 1}));
    EXPECT_EQ(sprite.parent_rect_int(), (RectI{10, 20, 30, 40}));
    sprite.set_local_rect(Rect{-2.5f, -3.5f, 9.7f, 8.2f});
    EXPECT_EQ(sprite.local_rect_int(), (RectI{-2, -3, 9, 8}));
    EXPECT_EQ(sprite.local_rect(), (Rect{-2.5f, -3.5f, 9.7f, 8.2f}));
}

TEST(Sprite, InvalidationRebuildsOnlyWhatChanged)
{
    SharedPtr<Tile> root = tile("root", {0, 0});
    SharedPtr<Tile> child = tile("child", {0, 0}, {10, 10}, IF_DEFAULT | IF_TRANSFORMATION);
    root->add_child(child);
    render_frame(*root);
    const int root_builds = root->m_builds;
    const int child_builds = child->m_builds;
    render_frame(*root);
    EXPECT_EQ(root->m_builds, root_builds);
    EXPECT_EQ(child->m_builds, child_builds);
    child->set_position(Vector2<float>{1, 1});
    child->set_position(Vector2<float>{2, 2});
    render_frame(*root);
    EXPECT_EQ(root->m_builds, root_builds);
    EXPECT_EQ(child->m_builds, child_builds + 1);
    root->set_position(Vector2<float>{5, 5});
    EXPECT_FALSE(child->is_prepared());
    EXPECT_EQ(child->world_position(), (Vector2<float>{7, 7}));
}

TEST(Sprite, DeformersBendTheWorldVertices)
{
    SharedPtr<Tile> root = tile("root", {0, 0});
    SharedPtr<Tile> near_child = tile("near", {0, 0});
    SharedPtr<Tile> far_child = tile("far", {0, 0}, {10, 10}, IF_DEFAULT | inherit_parent_deformers);
    root->set_deformer(SharedPtr<SpriteBase>(new ShiftDeformer({100, 0})));
    far_child->set_deformer(SharedPtr<SpriteBase>(new ShiftDeformer({0, 1000})));
    root->add_child(near_child);
    root->add_child(far_child);
    EXPECT_EQ(root->deformer()->parent(), root.get());

    std::vector<DeviceVertex> drawn = render_frame(*root);
    ASSERT_EQ(drawn.size(), 12u);
    EXPECT_FLOAT_EQ(drawn[0].x, 100.0f);
    EXPECT_FLOAT_EQ(drawn[4].x, 0.0f) << "without bit 7 the parent's deformer stays out";
    EXPECT_FLOAT_EQ(drawn[8].x, 100.0f);
    EXPECT_FLOAT_EQ(drawn[8].y, 1000.0f);

    // A deformer whose state bits do not match leaves the vertices alone.
    root->deformer()->set_state_mask(1);
    root->deformer()->set_state_value(1);
    root->invalidate();
    drawn = render_frame(*root);
    EXPECT_FLOAT_EQ(drawn[0].x, 0.0f);
}

TEST(Sprite, DeepCopyClonesChildrenLogicAndDeformer)
{
    register_test_sprites();
    SharedPtr<Tile> root = tile("root", {3, 4}, {20, 30});
    SharedPtr<Tile> child = tile("child", {1, 1});
    root->add_child(child);
    root->set_logic(new SpriteLogic);
    root->set_deformer(SharedPtr<SpriteBase>(new ShiftDeformer({1, 0})));
    root->set_color({0.5f, 0.5f, 0.5f, 1.0f});
    root->set_group(4);
    root->set_hidden(true);
    render_frame(*root);

    SharedPtr<Sprite> copy(rtti::clone(static_cast<Sprite*>(root.get())));
    ASSERT_NE(dynamic_cast<Tile*>(copy.get()), nullptr);
    EXPECT_EQ(copy->name(), StrCache("root"));
    EXPECT_EQ(copy->position(), (Vector2<float>{3, 4}));
    EXPECT_EQ(copy->size(), (Vector2<float>{20, 30}));
    EXPECT_EQ(copy->group(), 4);
    EXPECT_EQ(copy->hidden(), 1);
    EXPECT_FALSE(copy->is_prepared());
    ASSERT_NE(copy->own_logic(), nullptr);
    EXPECT_NE(copy->own_logic(), root->own_logic());
    ASSERT_NE(copy->deformer(), nullptr);
    EXPECT_NE(copy->deformer(), root->deformer());
    EXPECT_EQ(copy->deformer()->parent(), copy.get());
    ASSERT_EQ(copy->children().size(), 1u);
    Sprite* copied_child = copy->children().front();
    EXPECT_NE(copied_child, child.get());
    EXPECT_EQ(copied_child->parent(), copy.get());
    EXPECT_EQ(copied_child->root_sprite(), copy.get());
    EXPECT_EQ(child->parent(), root.get());

    SharedPtr<Sprite> lone(rtti::clone(static_cast<Sprite*>(child.get())));
    EXPECT_EQ(lone->parent(), nullptr);
    EXPECT_EQ(lone->root_sprite(), lone.get());
}

TEST(Sprite, MergeMovesEverythingToTheTarget)
{
    SharedPtr<Tile> target = tile("target", {0, 0});
    SharedPtr<Tile> source = tile("source", {0, 0});
    SharedPtr<Tile> timed = tile("timed", {0, 0});
    SharedPtr<Tile> untimed = tile("untimed", {0, 0});
    SharedPtr<SpriteBase> controller(new SpriteBase);
    SharedPtr<SpriteBase> deformer(new ShiftDeformer({1, 1}));
    timed->set_timer(run_of(50));
    source->set_timer(run_of(300));
    source->set_transient(true);
    source->add_child(timed);
    source->add_child(untimed);
    source->add_controller(controller);
    source->set_deformer(deformer);

    Sprite::merge_from(*target, *source);
    EXPECT_TRUE(source->children().empty());
    EXPECT_TRUE(source->controllers().empty());
    EXPECT_EQ(source->deformer(), nullptr);
    EXPECT_EQ(child_names(*target), (std::vector<std::string>{"timed", "untimed"}));
    EXPECT_EQ(timed->timer()->period(), 50);
    ASSERT_NE(untimed->timer(), nullptr);
    EXPECT_EQ(untimed->timer()->period(), 300);
    EXPECT_NE(untimed->timer(), source->timer());
    EXPECT_TRUE(untimed->is_transient());
    EXPECT_EQ(controller->parent(), target.get());
    EXPECT_TRUE(target->controllers().contains(controller.get()));
    EXPECT_EQ(target->deformer(), deformer.get());
    EXPECT_EQ(deformer->timer()->period(), 300);
}

TEST(Sprite, ForEachWalksControllersChildrenAndTheDeformer)
{
    SharedPtr<Tile> root = tile("root", {0, 0});
    SharedPtr<Tile> child = tile("child", {0, 0});
    SharedPtr<SpriteBase> controller(new SpriteBase);
    SharedPtr<SpriteBase> deformer(new ShiftDeformer);
    root->add_controller(controller);
    root->add_child(child);
    root->set_deformer(deformer);
    const struct Case {
        std::uint32_t flags;
        std::vector<SpriteBase*> all;
        std::vector<Sprite*> sprites;
    } cases[] = {
        {7, {root.get(), controller.get(), child.get(), deformer.get()}, {root.get(), child.get()}},
        // The deformer is walked with the caller's flags, so it visits itself only under bit 0.
        {2, {controller.get(), child.get()}, {child.get()}},
        {1, {root.get()}, {root.get()}},
    };
    for (const Case& c : cases) {
        std::vector<SpriteBase*> all;
        root->for_each([&all](SpriteBase* object) { all.push_back(object); }, c.flags);
        EXPECT_EQ(all, c.all) << c.flags;
        std::vector<Sprite*> sprites;
        root->for_each_sprite([&sprites](Sprite* sprite) { sprites.push_back(sprite); }, c.flags);
        EXPECT_EQ(sprites, c.sprites) << c.flags;
    }
    EXPECT_THROW(root->for_each_child({}, false), std::bad_function_call);
}

TEST(Sprite, DataChangesAndHandleVisitsReachTheRightMembers)
{
    // Counts data changes and reports one handle-visit per sprite.
    class Listener : public Tile
    {
    public:
        void on_data_changed() override
        {
            ++m_changes;
            Tile::on_data_changed();
        }
        void visit_handles(const std::function<void(ResHandleBase&)>& visit) override
        {
            ++m_visits;
            Tile::visit_handles(visit);
        }
        int m_changes = 0;
        int m_visits = 0;
    };
    SharedPtr<Listener> root(new Listener);
    SharedPtr<Listener> data_child(new Listener);
    SharedPtr<Listener> plain_child(new Listener);
    SharedPtr<Listener> transient_child(new Listener);
    plain_child->set_inherit(~0u, IF_STATE);
    transient_child->set_transient(true);
    root->add_child(data_child);
    root->add_child(plain_child);
    root->add_child(transient_child);
    render_frame(*root);

    root->set_data_provider([](const std::string&, std::string&) { return false; });
    EXPECT_EQ(root->m_changes, 1);
    EXPECT_EQ(data_child->m_changes, 1);
    EXPECT_EQ(plain_child->m_changes, 0) << "only children with IF_DATA hear of it";
    EXPECT_FALSE(data_child->is_prepared());

    root->list_dependencies([](ResHandleBase&) {});
    EXPECT_EQ(root->m_visits, 1);
    EXPECT_EQ(data_child->m_visits, 1);
    EXPECT_EQ(plain_child->m_visits, 1);
    EXPECT_EQ(transient_child->m_visits, 0) << "transient members hold no resources worth loading";
}

}
