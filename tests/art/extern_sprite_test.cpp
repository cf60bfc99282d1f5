#include "engine/art/extern_sprite.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "art_res_support.h"
#include "art_test_support.h"
#include "art_tree_support.h"
#include "engine/base/clone.h"

namespace kq::test {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;

// A pattern tile "p" with a child "c", held by the resource manager under `path`.
Sprite* add_pattern(TestResources& resources, const std::string& path)
{
    register_test_sprites();
    SharedPtr<Tile> pattern(new Tile);
    pattern->set_name(StrCache("p"));
    SharedPtr<Tile> child(new Tile);
    child->set_name(StrCache("c"));
    pattern->add_child(child);
    resources.add<Sprite>(path, SharedPtr<Sprite>(pattern));
    return pattern.get();
}

std::vector<Sprite*> children_of(Sprite& sprite)
{
    std::vector<Sprite*> found;
    sprite.for_each_child([&found](Sprite* child) { found.push_back(child); }, false);
    return found;
}

void start(Sprite& sprite)
{
    sprite.tick(TimeStamp{TimeStamp::millisecond_clock, 0, nullptr});
}

TEST(ExternSprite, EachStartShowsOneFreshCloneOfThePattern)
{
    TestResources resources;
    Sprite* pattern = add_pattern(resources, "pattern.spr");
    SharedPtr<ExternSprite> shown(new ExternSprite);
    shown->set_pattern(ResHandle<Sprite>(ResKey{"pattern.spr", 0}));
    start(*shown);

    const std::vector<Sprite*> first = children_of(*shown);
    ASSERT_EQ(first.size(), 1u);
    Sprite* container = first[0];
    EXPECT_EQ(container, shown->instance());
    EXPECT_TRUE(container->is_transient());
    EXPECT_EQ(container->inherit(), IF_ALL);
    const std::vector<Sprite*> clones = children_of(*container);
    ASSERT_EQ(clones.size(), 1u);
    const SharedPtr<Sprite> first_clone(clones[0]);  // held, so no later object takes its address
    EXPECT_NE(clones[0], pattern);
    EXPECT_EQ(clones[0]->name(), StrCache("p"));
    EXPECT_NE(clones[0]->find(StrCache("c"), false), nullptr);
    EXPECT_EQ(pattern->parent(), nullptr) << "the pattern itself is never attached";

    // A second start replaces the first instance.
    shown->stop();
    shown->start();
    const std::vector<Sprite*> second = children_of(*shown);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0], shown->instance());
    EXPECT_NE(children_of(*second[0])[0], first_clone.get());

    // A reset drops the transient container; saving walks skip it.
    std::vector<ResHandleBase*> handles;
    shown->visit_handles([&handles](ResHandleBase& handle) { handles.push_back(&handle); });
    EXPECT_THAT(handles, ElementsAre(static_cast<const ResHandleBase*>(&shown->pattern())));
    shown->reset();
    EXPECT_TRUE(children_of(*shown).empty());
}

TEST(ExternSprite, AnEmptyOrMissingPatternShowsNothing)
{
    TestResources resources;
    SharedPtr<ExternSprite> empty(new ExternSprite);
    start(*empty);
    EXPECT_TRUE(children_of(*empty).empty());
    EXPECT_EQ(empty->instance(), nullptr);

    SharedPtr<ExternSprite> missing(new ExternSprite);
    missing->set_pattern(ResHandle<Sprite>(ResKey{"nowhere.spr", 0}));
    start(*missing);
    EXPECT_TRUE(children_of(*missing).empty());
}

TEST(ExternSprite, ThePatternPropertyRebuildsOnlyOnAChange)
{
    TestResources resources;
    add_pattern(resources, "a.spr");
    add_pattern(resources, "b.spr");
    SharedPtr<ExternSprite> shown(new ExternSprite);
    ResHandle<Sprite> a(ResKey{"a.spr", 0});
    ASSERT_TRUE(shown->set_property(extern_property_pattern, type_name<ResHandle<Sprite>>(), 1, &a));
    const SharedPtr<Sprite> first(shown->instance());  // held, so no later object takes its address
    ASSERT_TRUE(first) << "a new pattern is shown at once, started or not";
    ResHandle<Sprite> same(ResKey{"a.spr", 0});
    shown->set_property(extern_property_pattern, type_name<ResHandle<Sprite>>(), 1, &same);
    EXPECT_EQ(shown->instance(), first.get());
    ResHandle<Sprite> b(ResKey{"b.spr", 0});
    shown->set_property(extern_property_pattern, type_name<ResHandle<Sprite>>(), 1, &b);
    EXPECT_NE(shown->instance(), first.get());
    EXPECT_EQ(children_of(*shown).size(), 1u);

    ResHandle<Sprite> read;
    shown->property(property_get, extern_property_pattern, &read);
    EXPECT_EQ(read.path(), "b.spr");
    std::vector<std::int32_t> ids;
    std::function<void(std::int32_t)> append = [&ids](std::int32_t id) { ids.push_back(id); };
    shown->property(property_list, all_properties, &append);
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(ids[0], extern_property_pattern);
    EXPECT_EQ(ids[1], SP_POSITION);
    std::string label;
    shown->property(property_label, all_properties, &label);
    EXPECT_EQ(label, "Pattern");
}

TEST(ExternSprite, TheStoredFormKeepsOnlyThePattern)
{
    TestResources resources;
    add_pattern(resources, "pattern.spr");
    ExternSprite shown;
    shown.set_pattern(ResHandle<Sprite>(ResKey{"pattern.spr", 0}));
    ASSERT_EQ(children_of(shown).size(), 1u);
    // The shown clone is transient: it is not saved.
    const std::string bytes = own_bytes(shown);
    ExternSprite read;
    load_bytes(read, bytes);
    EXPECT_EQ(read.pattern().path(), "pattern.spr");
    EXPECT_TRUE(children_of(read).empty());
    read.start();
    EXPECT_EQ(children_of(read).size(), 1u);

    EXPECT_THAT(error_of([&] { load_bytes(read, u8(1) + bytes.substr(1)); }), HasSubstr("unsupported version."));
    EXPECT_THAT(error_of([&] { load_bytes(read, bytes.substr(0, bytes.size() - 1)); }),
                HasSubstr("unexpected end of buffer."));
}

}
}
