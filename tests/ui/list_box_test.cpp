#include "engine/ui/list_box.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "engine/ui/control_initer.h"
#include "widget_fixture.h"

namespace kq::test {
namespace {

using testing::ElementsAre;

constexpr Key vk_up = Key(38);
constexpr Key vk_down = Key(40);

const char* const list_nodes = R"(
    look { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(1, 1)] rotation 0
        scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
        tex_adress 0 inherit 0 }
    bar : control_defaults { min_value 0 max_value 100 direction horizontal border 0
        pin : control_defaults { sx 4 sy 4 x_snap center y_snap center } }
    list : control_defaults { x 100 y 100 sx 210 sy 110 ub 5 bb 5 lb 4 rb 6 stretch true
        fragment "class kq::Sprite" : look {}
        hor_scroll : bar { y 0 sx 200 sy 10 y_snap bottom }
        vert_scroll : bar { sx 10 sy 100 x_snap right direction vertical }
    }
    unstretched : list { stretch false }
    frameless : list { fragment "" }
)";

/// An item sprite of a size.
SharedPtr<Sprite> item_of(Vector2<float> size)
{
    SharedPtr<Sprite> item(new Sprite);
    item->set_pivot(Vector2<float>{0, 0});
    item->set_size(size);
    return item;
}

struct PlacedListBox : ListBox
{
    explicit PlacedListBox(const char* node) { set_up(CIIndependent(SkinPath(node))); }
    ~PlacedListBox() override { detach(); }
};

/// A list box of 200 x 100 inside its margins at (104, 105) of the root.
class ListBoxTest : public WidgetTest
{
protected:
    ListBoxTest() : WidgetTest(list_nodes) {}

    void fill(ListBox& list, int count, float height = 40)
    {
        for (int i = 0; i < count; ++i)
            list.add(item_of({50, height}));
    }
    void listen(ListBox& list)
    {
        list.on_select().connect([this](int index) { m_selects.push_back(index); }, this);
        list.on_activate().connect([this](int index) { m_activates.push_back(index); }, this);
    }
    /// Which items carry the selected look.
    std::vector<int> looking_selected(const ListBox& list) const
    {
        std::vector<int> out;
        for (int i = 0; i < list.count(); ++i)
            if (list.item(i)->state() & VF_FOCUSED)
                out.push_back(i);
        return out;
    }

    std::vector<int> m_selects;
    std::vector<int> m_activates;
};

TEST_F(ListBoxTest, ItemsStackFromTheTopAndTheContentHoldsThemAll)
{
    struct Case
    {
        const char* node;
        std::vector<Vector2<float>> sizes;
        std::vector<RectI> placed;  // x, y, w, h of each item in the content
        Vector2<int> content;
    };
    const Case cases[] = {
        {"list", {{50, 40}, {80.6f, 30.7f}, {20, 10}}, {{0, 0, 200, 40}, {0, 40, 200, 30}, {0, 70, 200, 10}}, {200, 80}},
        {"unstretched", {{50, 40}, {80.6f, 30.7f}, {20, 10}}, {{0, 0, 50, 40}, {0, 40, 80, 30}, {0, 70, 20, 10}},
         {80, 80}},
    };
    for (const Case& c : cases) {
        PlacedListBox list(c.node);
        Control::attach_to_parent(&list, &root());
        for (const Vector2<float>& size : c.sizes)
            list.add(item_of(size));
        for (int i = 0; i < list.count(); ++i) {
            const Sprite& item = *list.item(i);
            EXPECT_EQ((RectI{int(item.position().x), int(item.position().y), int(item.size().x), int(item.size().y)}),
                      c.placed[std::size_t(i)])
                << c.node << " item " << i;
            EXPECT_EQ(item.parent_sprite(), list.content()) << c.node;
        }
        EXPECT_EQ(list.content_size(), c.content) << c.node;
    }
}

TEST_F(ListBoxTest, TheMouseSelectsAndADoubleClickActivates)
{
    PlacedListBox list("list");
    Control::attach_to_parent(&list, &root());
    fill(list, 2);
    listen(list);

    click_at({110, 150});  // content y 45: item 1
    EXPECT_EQ(list.selection(), 1);
    EXPECT_EQ(looking_selected(list), std::vector<int>{1});
    move_to({110, 150});
    press();
    press();  // within the double-click time
    EXPECT_THAT(m_activates, ElementsAre(1));
    m_clock.time += 1000;
    click_at({110, 195});  // content y 90: below the items
    click_at({110, 196});
    EXPECT_EQ(list.selection(), -1);
    EXPECT_TRUE(looking_selected(list).empty());
    EXPECT_THAT(m_selects, ElementsAre(1, -1)) << "the second click below changes nothing";
}

TEST_F(ListBoxTest, UpAndDownWrapWhileTheListHasTheFocus)
{
    struct Case
    {
        const char* what;
        int start;
        std::vector<Key> keys;
        std::vector<int> selects;
    };
    const Case cases[] = {
        {"up without a selection", -1, {vk_up}, {0}},
        {"down without a selection", -1, {vk_down}, {0}},
        {"up from the first wraps", 0, {vk_up}, {3}},
        {"down from the last wraps", 3, {vk_down}, {0}},
        {"down, down, up", 1, {vk_down, vk_down, vk_up}, {2, 3, 2}},
    };
    for (const Case& c : cases) {
        PlacedListBox list("list");
        Control::attach_to_parent(&list, &root());
        fill(list, 4);
        list.take_focus();
        list.select(c.start);
        m_selects.clear();
        listen(list);
        for (Key key : c.keys)
            ui().on_key(key, state_down);
        EXPECT_EQ(m_selects, c.selects) << c.what;
        list.on_select().disconnect(this);
    }

    PlacedListBox empty("list");
    Control::attach_to_parent(&empty, &root());
    empty.take_focus();
    m_selects.clear();
    listen(empty);
    ui().on_key(vk_down, state_down);
    EXPECT_EQ(empty.selection(), -1);
    EXPECT_TRUE(m_selects.empty()) << "an empty list selects nothing";
}

TEST_F(ListBoxTest, SelectingScrollsTheLeastThatShowsTheItem)
{
    struct Case
    {
        const char* what;
        float height;
        int scroll_before;
        int select;
        int scroll_after;
    };
    const Case cases[] = {
        {"an item below comes up to the bottom", 40, 0, 3, 60},
        {"an item above comes down to the top", 40, 120, 1, 40},
        {"an item in view moves nothing", 40, 40, 2, 40},
        {"an item taller than the view shows its bottom", 150, 0, 1, 200},
    };
    for (const Case& c : cases) {
        PlacedListBox list("list");
        Control::attach_to_parent(&list, &root());
        fill(list, 6, c.height);
        list.set_scroll({0, c.scroll_before});
        ASSERT_EQ(list.scroll().y, c.scroll_before) << c.what;
        list.select_and_notify(c.select);
        EXPECT_EQ(list.scroll().y, c.scroll_after) << c.what;
        EXPECT_EQ(list.vert_scroll().value(), c.scroll_after) << c.what << ": the scroll bar follows";
    }
}

TEST_F(ListBoxTest, InsertingAndRemovingKeepTheSelectedItem)
{
    PlacedListBox list("list");
    Control::attach_to_parent(&list, &root());
    fill(list, 3);
    listen(list);
    list.select(1);
    const SharedPtr<Sprite> chosen = list.item(1);

    list.insert(item_of({50, 40}), 1);
    EXPECT_EQ(list.selection(), 2);
    list.insert(item_of({50, 40}), 99);
    EXPECT_EQ(list.count(), 5) << "an index past the end appends";
    list.remove(0);
    EXPECT_EQ(list.selection(), 1);
    EXPECT_EQ(list.item(1), chosen);
    EXPECT_EQ(looking_selected(list), std::vector<int>{1});
    EXPECT_EQ(chosen->position().y, 40.0f) << "the items below the change moved up";
    list.remove(7);
    list.remove(-1);
    EXPECT_EQ(list.count(), 4);
    list.remove(1);
    EXPECT_EQ(list.selection(), -1);
    EXPECT_EQ(chosen->state() & VF_FOCUSED, 0u);
    EXPECT_EQ(chosen->parent_sprite(), nullptr);
    EXPECT_EQ(list.item(4).get(), nullptr);
    list.select(9);
    EXPECT_EQ(list.selection(), -1) << "only existing items are selected";
    EXPECT_TRUE(m_selects.empty()) << "changes from code are not reported";
}

TEST_F(ListBoxTest, WheelAndMiddleDragScrollWithinTheContent)
{
    PlacedListBox list("list");
    Control::attach_to_parent(&list, &root());
    fill(list, 4);  // content 160 high in a view of 100: scroll 0 to 60
    move_to({150, 150});
    struct Step
    {
        int delta;
        int scroll;
    };
    const Step steps[] = {{-120, 10}, {-240, 30}, {-1200, 60}, {120, 50}, {1200, 0}, {-11, 0}, {-12, 1}};
    for (const Step& step : steps) {
        ui().on_wheel(step.delta);
        EXPECT_EQ(list.scroll().y, step.scroll) << step.delta;
    }

    list.set_scroll({0, 30});
    press(key_mouse_middle);
    EXPECT_EQ(ui().capture(), &list);
    move_to({150, 140});  // the content follows the pointer up
    EXPECT_EQ(list.scroll().y, 40);
    move_to({150, 170});
    EXPECT_EQ(list.scroll().y, 10);
    release(key_mouse_middle);
    EXPECT_EQ(ui().capture(), nullptr);
    move_to({150, 100});
    EXPECT_EQ(list.scroll().y, 10) << "the drag is over";
}

TEST_F(ListBoxTest, ScrollBarsMirrorTheOffsetAndMoveIt)
{
    PlacedListBox list("list");
    Control::attach_to_parent(&list, &root());
    fill(list, 1);
    EXPECT_EQ(list.max_scroll(), (Vector2<int>{0, 0})) << "content smaller than the view";
    EXPECT_TRUE(list.vert_scroll().is_disabled());
    EXPECT_TRUE(list.hor_scroll().is_disabled());
    list.set_scroll({5, 5});
    EXPECT_EQ(list.scroll(), (Vector2<int>{0, 0}));

    fill(list, 4);
    EXPECT_EQ(list.max_scroll(), (Vector2<int>{0, 100}));
    EXPECT_FALSE(list.vert_scroll().is_disabled());
    EXPECT_EQ(list.vert_scroll().max_value(), 100);
    list.vert_scroll().set_value_from_point({5, 75});  // three quarters of a 100-pixel track
    EXPECT_EQ(list.scroll().y, 0) << "the view moves in a later step";
    run_deferred_handlers();
    EXPECT_EQ(list.scroll().y, 75);
    EXPECT_EQ(list.vert_scroll().value(), 75);
}

TEST_F(ListBoxTest, AListWithoutContentHoldsItemsItCannotShow)
{
    PlacedListBox list("frameless");
    Control::attach_to_parent(&list, &root());
    fill(list, 3);
    EXPECT_EQ(list.content(), nullptr);
    EXPECT_EQ(list.content_size(), (Vector2<int>{0, 0}));
    EXPECT_EQ(list.vert_scroll().max_value(), 0);
    EXPECT_TRUE(list.vert_scroll().is_disabled());
    list.select_and_notify(2);
    EXPECT_EQ(list.scroll(), (Vector2<int>{0, 0}));
}

}
}
