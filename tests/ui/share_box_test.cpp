#include "engine/ui/share_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ui/control_initer.h"
#include "tests/art/art_tree_support.h"
#include "widget_fixture.h"

namespace kq::test {
namespace {

const char* const share_nodes = R"(
    look { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(1, 1)] rotation 0
        scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
        tex_adress 0 inherit #IF_CONTROL }
    bar : control_defaults { sx 300 sy 20 total_share 100
        a <share> { name "fire" sprite "class kq::test::Tile" : look {} }
        b <share> { name "gap" sprite "" }
        c <share> { name "ice" sprite "class kq::test::Tile" : look {} }
        d <share> { name "earth" sprite "class kq::test::Tile" : look {} }
    }
    wide_bar : bar { total_share 200 }
    empty_bar : bar { total_share 0 }
)";

class ShareBoxTest : public WidgetTest
{
protected:
    ShareBoxTest() : WidgetTest(share_nodes)
    {
        register_test_sprites();
        box.set_up(CIIndependent(SkinPath("bar")));
    }

    /// Each share's sprite rectangle as (x, width), or (-1, -1) for a share without one.
    std::vector<std::pair<float, float>> placed() const
    {
        std::vector<std::pair<float, float>> out;
        for (const ShareBox::Share& share : box.shares())
            out.emplace_back(share.sprite ? share.sprite->position().x : -1.0f,
                             share.sprite ? share.sprite->size().x : -1.0f);
        return out;
    }

    ShareBox box;
};

TEST_F(ShareBoxTest, SharesDivideTheWidthInProportionLeftToRight)
{
    struct Case
    {
        const char* what;
        int fire, gap, ice, earth;
        std::vector<std::pair<float, float>> expected;
    };
    const Case cases[] = {
        {"halves and quarters", 50, 0, 25, 25, {{0, 150}, {-1, -1}, {150, 75}, {225, 75}}},
        {"a share without a sprite takes its width", 10, 20, 30, 40, {{0, 30}, {-1, -1}, {90, 90}, {180, 120}}},
        {"more than the total runs past the edge", 100, 0, 50, 0, {{0, 300}, {-1, -1}, {300, 150}, {450, 0}}},
    };
    for (const Case& c : cases) {
        box.set_share(c.fire, StrCache("fire"));
        box.set_share(c.gap, StrCache("gap"));
        box.set_share(c.ice, StrCache("ice"));
        box.set_share(c.earth, StrCache("earth"));
        EXPECT_EQ(placed(), c.expected) << c.what;
        EXPECT_EQ(box.shares()[0].sprite->size().y, 20.0f) << c.what;
    }

    const auto before = placed();
    box.set_share(99, StrCache("water"));
    EXPECT_EQ(placed(), before) << "an unknown name changes no share";
}

TEST_F(ShareBoxTest, ShareSpritesAnswerShareTotalAndTheSharesByName)
{
    box.set_share(30, StrCache("fire"));
    box.set_share(45, StrCache("ice"));
    box.set_variable("player", "ann");
    Sprite& ice = *box.shares()[2].sprite;
    struct Case
    {
        const char* name;
        bool found;
        const char* value;
    };
    const Case cases[] = {
        {"share", true, "45"}, {"total", true, "100"}, {"fire", true, "30"},
        {"ice", true, "45"},   {"player", true, "ann"}, {"nothing", false, ""},
    };
    for (const Case& c : cases) {
        std::string value;
        EXPECT_EQ(ice.query_data(c.name, value), c.found) << c.name;
        EXPECT_EQ(value, c.value) << c.name;
    }
    std::string value;
    EXPECT_FALSE(box.get_variable("share", value)) << "\"share\" means something to share sprites only";
}

TEST_F(ShareBoxTest, ResetTotalLaysTheSharesOutOfAHundredAgain)
{
    ShareBox wide;
    wide.set_up(CIIndependent(SkinPath("wide_bar")));
    EXPECT_EQ(wide.total(), 200);
    wide.set_share(1, StrCache("fire"));
    EXPECT_EQ(wide.shares()[0].sprite->size().x, 1.5f) << "nothing is rounded";
    wide.reset_total();
    EXPECT_EQ(wide.total(), 100);
    EXPECT_EQ(wide.shares()[0].sprite->size().x, 3.0f);
    EXPECT_EQ(wide.find_share(StrCache("ice"))->value, 0);
    EXPECT_EQ(wide.find_share(StrCache("water")), nullptr);
}

TEST_F(ShareBoxTest, ATotalOfNothingGivesTheSharesNoWidth)
{
    ShareBox empty;
    empty.set_up(CIIndependent(SkinPath("empty_bar")));
    empty.set_share(5, StrCache("fire"));
    empty.set_share(7, StrCache("ice"));
    for (const ShareBox::Share& share : empty.shares())
        if (share.sprite) {
            EXPECT_EQ(share.sprite->position(), (Vector2<float>{0, 0})) << share.name.c_str();
            EXPECT_EQ(share.sprite->size(), (Vector2<float>{0, 20})) << share.name.c_str();
        }
}

}
}
