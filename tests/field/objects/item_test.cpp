#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/base/class_desc.h"
#include "engine/base/clone.h"
#include "engine/base/create.h"
#include "engine/base/string_stream.h"
#include "engine/base/type_registry.h"
#include "game/field/objects/item.h"
#include "tests/field/item_fixture.h"

namespace kq {
namespace {

using test::error_of;
using test::item_at;
using test::item_skin;
using testing::HasSubstr;

TEST(Item, StartsWithItsDefaults)
{
    Item item;
    EXPECT_EQ(item.size(), (Vector2<float>{100, 100}));
    EXPECT_EQ(item.form(), Item::Form::rect);
    EXPECT_TRUE(item.has_shadow());
    EXPECT_TRUE(item.is_magnetic());
    EXPECT_EQ(item.ground_cg(), 255);
    EXPECT_EQ(item.air_cg(), 0);
    EXPECT_EQ(item.gen(), -1);
    EXPECT_FALSE(item.has_group());
    EXPECT_TRUE(item.is_dead());
    EXPECT_EQ(item.body(), nullptr);
    EXPECT_EQ(item.field(), nullptr);
    EXPECT_FLOAT_EQ(item.side_friction(), 0.2f);
    EXPECT_FLOAT_EQ(item.shadow_shift(), 4.0f);
    EXPECT_EQ(item.scale(), (Vector2<float>{1, 1}));
    EXPECT_TRUE(item.tip().empty());
}

TEST(Item, IsCreatedByClassNameAndReadsEveryKey)
{
    auto skin = item_skin(R"(
        items {
            stone "class kq::Item" : item_keys {
                height 1.5 zero_height 0.5 form octagon size [(40, 20)] density 2 friction 3
                side_friction 0.4 restitution 0.6 linear_damping 0.7 angular_damping 0.8
                awning true invisible true electrostatic_charge 9 tinkling_priority 4
                tinkling_sample "sounds/Knock.ogg" launchable true additive true have_shadow false
                fast_tinkling true shadow_shift 6 gen 3 magnetic false ground_cg 1010b air_cg 0ffh
                base_texture "images/stone.png" shadow_texture "images/shade.png"
                diffuse_texture "images/dust.png" specular_texture "images/shine.png"
                tip "stone_tip"
            }
        }
    )");
    std::unique_ptr<Item> item(item_at("items.stone"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->skin_path(), SkinPath("items.stone"));
    EXPECT_FLOAT_EQ(item->height(), 1.5f);
    EXPECT_FLOAT_EQ(item->zero_height(), 0.5f);
    EXPECT_EQ(item->form(), Item::Form::octagon);
    EXPECT_EQ(item->size(), (Vector2<float>{40, 20}));
    EXPECT_FLOAT_EQ(item->density(), 2.0f);
    EXPECT_FLOAT_EQ(item->friction(), 3.0f);
    EXPECT_FLOAT_EQ(item->side_friction(), 0.4f);
    EXPECT_FLOAT_EQ(item->restitution(), 0.6f);
    EXPECT_FLOAT_EQ(item->linear_damping(), 0.7f);
    EXPECT_FLOAT_EQ(item->angular_damping(), 0.8f);
    EXPECT_TRUE(item->is_awning());
    EXPECT_TRUE(item->is_invisible());
    EXPECT_FLOAT_EQ(item->electrostatic_charge(), 9.0f);
    EXPECT_EQ(item->tinkling_priority(), 4);
    EXPECT_EQ(item->tinkling_sample().path(), "sounds/knock.ogg");
    EXPECT_TRUE(item->is_launchable());
    EXPECT_TRUE(item->is_additive());
    EXPECT_FALSE(item->has_shadow());
    EXPECT_TRUE(item->has_fast_tinkling());
    EXPECT_FLOAT_EQ(item->shadow_shift(), 6.0f);
    EXPECT_EQ(item->gen(), 3);
    EXPECT_FALSE(item->is_magnetic());
    EXPECT_EQ(item->ground_cg(), 10);
    EXPECT_EQ(item->air_cg(), 255);
    EXPECT_EQ(item->base().texture.path(), "images/stone.png");
    EXPECT_EQ(item->shadow().texture.path(), "images/shade.png");
    EXPECT_EQ(item->diffuse().texture.path(), "images/dust.png");
    EXPECT_EQ(item->specular().texture.path(), "images/shine.png");
    EXPECT_TRUE(item->animation().empty());
    EXPECT_EQ(item->tip(), StrCache("stone_tip"));
    EXPECT_TRUE(item->is_dead()) << "alive only on a field";
    EXPECT_TRUE(item->polygons().empty());
}

TEST(Item, ReadsPolygonsOnlyForThatForm)
{
    auto skin = item_skin(R"(
        items {
            plate "class kq::Item" : item_keys { form rect polygons [{ broken] }
            shard "class kq::Item" : item_keys {
                form polygons polygons [{ { (0, 0) (10, 0) (0, 10) } { } { (1, 2) } }]
            }
            bare "class kq::Item" : item_keys { form polygons }
        }
    )");
    std::unique_ptr<Item> plate(item_at("items.plate"));
    EXPECT_TRUE(plate->polygons().empty()) << "a rect never looks at its polygons";

    std::unique_ptr<Item> shard(item_at("items.shard"));
    ASSERT_EQ(shard->polygons().size(), 3u);
    EXPECT_EQ(shard->polygons()[0].size(), 3u);
    EXPECT_EQ(shard->polygons()[0][2], (Vector2<float>{0, 10}));
    EXPECT_TRUE(shard->polygons()[1].empty());
    EXPECT_EQ(shard->polygons()[2], (std::vector<Vector2<float>>{{1, 2}}));

    EXPECT_THAT(error_of([] { delete item_at("items.bare"); }), HasSubstr("node not found [items.bare.polygons]"));
}

TEST(Item, AnimationReplacesTheBaseTexture)
{
    auto skin = item_skin(R"(
        items {
            blink "class kq::Item" : item_keys {
                base_texture "images/still.png" base_tbegin [(5, 6)]
                animation [{ "images/Frame0.png" 0 "images/frame1.png" 10h }]
            }
        }
    )");
    std::unique_ptr<Item> item(item_at("items.blink"));
    ASSERT_EQ(item->animation().size(), 2u);
    EXPECT_EQ(item->animation()[0].path(), "images/frame0.png");
    EXPECT_EQ(item->animation()[1].key().m_flags, 16);
    EXPECT_EQ(item->base().texture.path(), "images/frame0.png");
}

TEST(Item, BadOrMissingKeysFailTheLoadNamingTheInput)
{
    auto skin = item_skin(R"(
        items {
            odd "class kq::Item" : item_keys { form hexagon }
            short "class kq::Item" { height 2 zero_height 1 form circle }
            nameless "" : item_keys { }
            alien "class kq::Stranger" : item_keys { }
            sprite "class kq::Sprite" : item_keys { }
        }
    )");
    EXPECT_THAT(error_of([] { delete item_at("items.odd"); }), HasSubstr("enum string interpretation [hexagon] unregistered."));
    EXPECT_THAT(error_of([] { delete item_at("items.short"); }), HasSubstr("node not found [items.short.size]"));
    EXPECT_EQ(item_at("items.nameless"), nullptr);
    EXPECT_THAT(error_of([] { delete item_at("items.alien"); }), HasSubstr("[class kq::Stranger] type descriptor not found"));
    EXPECT_THAT(error_of([] { delete item_at("items.sprite"); }), HasSubstr("not a [class kq::Item]"));

    // The keys before a missing one stay read.
    Item item;
    EXPECT_THROW(item.read_skin(SkinPath("items.short")), Exception);
    EXPECT_FLOAT_EQ(item.height(), 2.0f);
    EXPECT_EQ(item.form(), Item::Form::circle);
}

TEST(Item, IsRegisteredToCreateAndCloneButNotToStreamAsText)
{
    const StrCache name("class kq::Item");
    std::unique_ptr<Item> made(static_cast<Item*>(rtti::create(name)));
    EXPECT_EQ(made->size(), (Vector2<float>{100, 100}));

    made->set_launchable(true);
    made->add_points(3, {"bonus", {1, 0, 0, 1}});
    std::unique_ptr<Item> copy(rtti::clone(made.get()));
    EXPECT_TRUE(copy->is_launchable());
    EXPECT_EQ(copy->points(), 3);
    EXPECT_EQ(copy->captions().size(), 1u);
    EXPECT_NE(copy->counter(), made->counter()) << "a copy has its own identity";

    const rtti::TypeDesc& type = *rtti::TypeRegistry::find_type(name);
    StringStream text;
    EXPECT_EQ(error_of([&] { type.store_text(text, made.get()); }), "class kq::Item type can not be stored to stream");
    EXPECT_EQ(error_of([&] { type.load_text(text, made.get()); }), "class kq::Item type can not be loaded from stream");
}

TEST(Item, GroupsOpacityAndPoints)
{
    struct GroupCase
    {
        int gen;
        int other_gen;
        bool same;
    };
    for (const GroupCase& c : {GroupCase{3, 3, true}, GroupCase{3, 4, false}, GroupCase{-1, -1, false},
                               GroupCase{3, -1, false}, GroupCase{-1, 3, false}}) {
        auto skin = item_skin("a \"class kq::Item\" : item_keys { gen " + std::to_string(c.gen) +
                              " } b \"class kq::Item\" : item_keys { gen " + std::to_string(c.other_gen) + " }");
        std::unique_ptr<Item> a(item_at("a"));
        std::unique_ptr<Item> b(item_at("b"));
        EXPECT_EQ(a->same_group(*b), c.same) << c.gen << " with " << c.other_gen;
    }

    struct OpacityCase
    {
        float height;
        float opacity;
    };
    for (const OpacityCase& c : {OpacityCase{2.0f, 1.0f}, OpacityCase{0.0f, 1.0f}, OpacityCase{-1.0f, 0.8f},
                                 OpacityCase{-2.5f, 0.5f}, OpacityCase{-5.0f, 0.0f}, OpacityCase{-7.5f, 0.5f},
                                 OpacityCase{-20.0f, 1.0f}}) {
        auto skin = item_skin("a \"class kq::Item\" : item_keys { height " + std::to_string(c.height) + " }");
        std::unique_ptr<Item> a(item_at("a"));
        EXPECT_FLOAT_EQ(a->opacity(), c.opacity) << "height " << c.height;
    }

    Item item;
    item.add_points(5, {"", {}});
    item.add_points(2, {"x2", {}});
    EXPECT_EQ(item.points(), 7);
    ASSERT_EQ(item.captions().size(), 1u) << "an empty caption adds points only";
    EXPECT_EQ(item.captions().front().text, "x2");
}

}
}
