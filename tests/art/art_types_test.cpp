#include "engine/art/art_types.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/art/frame_sprite.h"
#include "engine/art/image_sprite.h"
#include "engine/art/text_sprite.h"
#include "engine/base/create.h"
#include "engine/base/enum_desc.h"
#include "engine/base/string_stream.h"
#include "engine/base/type_registry.h"

namespace kq::test {
namespace {

TEST(ArtTypes, HandlesAreCreatedByNameAndAlias)
{
    struct Case {
        const char* name;
        StrCache type;
    };
    const Case cases[] = {
        {"texture_resh", type_name<Texture>()},
        {"class kq::ResHandle<class kq::Texture>", type_name<Texture>()},
        {"class kq::ResHandle<class kq::Sprite>", type_name<Sprite>()},
    };
    for (const Case& c : cases) {
        std::unique_ptr<ResHandleBase> handle(static_cast<ResHandleBase*>(rtti::create(StrCache(c.name))));
        ASSERT_TRUE(handle) << c.name;
        EXPECT_EQ(handle->type(), c.type) << c.name;
        EXPECT_TRUE(handle->empty()) << c.name;
        EXPECT_TRUE(rtti::TypeRegistry::get_type(StrCache(c.name)).is_type(type_name<ResHandleBase>())) << c.name;
    }
}

TEST(ArtTypes, SpriteKindsDeriveByTheirRegisteredBases)
{
    struct Case {
        const char* type;
        const char* base;
        bool derived;
    };
    const Case cases[] = {
        {"class kq::ImageSprite", "class kq::Sprite", true},
        {"class kq::ImageSprite", "class kq::SpriteBase", true},
        {"class kq::TextSprite", "class kq::Sprite", true},
        {"class kq::FrameSprite", "class kq::Sprite", true},
        {"class kq::SoundSprite", "class kq::Sprite", true},
        {"class kq::EmitterSprite", "class kq::SpriteBase", true},
        {"class kq::CanvasSprite", "class kq::ImageSprite", true},
        {"class kq::CameraSprite", "class kq::Sprite", true},
        {"class kq::ExternSprite", "class kq::Sprite", true},
        {"class kq::CameraSprite", "class kq::ImageSprite", false},
        {"class kq::LensDeformer", "class kq::SpriteDeformer", true},
        {"class kq::MorphDeformer", "class kq::SpriteBase", true},
        {"class kq::TrailDeformer", "class kq::SpriteDeformer", true},
        {"class kq::Sprite", "class kq::ImageSprite", false},
        {"class kq::TextSprite", "class kq::ImageSprite", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rtti::TypeRegistry::get_type(StrCache(c.type)).is_type(StrCache(c.base)), c.derived)
            << c.type << " / " << c.base;
    std::unique_ptr<Sprite> made(static_cast<Sprite*>(rtti::create(StrCache("class kq::TextSprite"))));
    EXPECT_NE(dynamic_cast<TextSprite*>(made.get()), nullptr);
}

template <class E>
int read_enum(const char* name)
{
    StringStream in(name);
    E value{};
    in >> value;
    return static_cast<int>(value);
}

TEST(ArtTypes, OneNameMeansDifferentValuesInDifferentEnums)
{
    EXPECT_EQ(read_enum<ArtTexturePlacement>("full"), 1);
    EXPECT_EQ(read_enum<Sprite::Clickability>("full"), 2);
    EXPECT_EQ(read_enum<ArtTexturePlacement>("projective"), 4);
    EXPECT_EQ(read_enum<SpriteTimer::Cyclic>("none"), 0);
    EXPECT_EQ(read_enum<Sprite::Clickability>("none"), 0);
}

}
}
