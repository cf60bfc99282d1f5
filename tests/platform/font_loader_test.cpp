#include "engine/platform/font_loader.h"

#include <fstream>

#include <gtest/gtest.h>

#include "engine/base/exception.h"
#include "engine/platform/font.h"
#include "engine/res/res.h"
#include "tests/base/temp_dir.h"

namespace kq {
namespace {

TEST(FontLoader, LoadsFntDescriptionsOnly)
{
    TempDir dir;
    SharedPtr<Res> res(new Res);
    res->read_root_file(dir.path() + "default.root");
    const std::string hge = "[HGEFONT]\nBitmap=f.png\nChar=\"a\",0,0,4,8,0,1\n";
    const std::pair<const char*, std::string> files[] = {
        {"a.fnt", hge}, {"a.txt", hge}, {"other.fnt", "[FONT]\nBitmap=f.png\n"}, {"broken.fnt", "[HGEFONT]\nBitmap f.png"},
    };
    for (const auto& [name, text] : files)
        std::ofstream(dir.file(name), std::ios::binary) << text;

    SharedPtr<ResLoader> loader(new FontLoader);
    auto load = [&](const char* path) {
        ResRequest request{type_name<Font>(), {path, 0}};
        return loader->load(request);
    };
    const SharedPtr<ResRecord> record = load("a.fnt");
    ASSERT_TRUE(record);
    const Font* font = dynamic_cast<const Font*>(record->resource().get());
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(font->has_glyph(u'a'));
    EXPECT_FALSE(load("a.txt"));
    EXPECT_FALSE(load("other.fnt"));
    EXPECT_THROW(load("broken.fnt"), IOException);
}

}
}
