#include "engine/res/res_key.h"

#include <gtest/gtest.h>

#include "engine/base/string_stream.h"
#include "engine/res/res_request.h"

namespace kq {
namespace {

TEST(ResKey, OrdersByPathThenUnsignedFlags)
{
    struct Case {
        ResKey a;
        ResKey b;
        bool less;
    };
    const Case cases[] = {
        {{"a.png", 0}, {"b.png", 0}, true},
        {{"b.png", 0}, {"a.png", 5}, false},
        {{"a.png", 0}, {"a.png", 1}, true},
        {{"a.png", 1}, {"a.png", -1}, true},  // -1 is the largest unsigned value
        {{"a.png", 1}, {"a.png", 1}, false},
        {{"A.png", 0}, {"a.png", 0}, true},   // byte order
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.a < c.b, c.less) << c.a.m_path << " " << c.a.m_flags << " / " << c.b.m_path << " " << c.b.m_flags;
}

TEST(ResKey, TextFormReadsBack)
{
    StringStream out;
    out << ResKey{"ui/a b.png", 7};
    EXPECT_EQ(out.str(), "\"ui/a b.png\" 7");
    StringStream in(out.str());
    ResKey key;
    in >> key;
    EXPECT_EQ(key, (ResKey{"ui/a b.png", 7}));
}

TEST(ResKey, ReadingMakesThePathCanonicalAndTakesRadixLetters)
{
    StringStream in("\"UI\\\\Font.PNG\" 10h");
    ResKey key;
    in >> key;
    EXPECT_EQ(key.m_path, "ui/font.png");
    EXPECT_EQ(key.m_flags, 16);
}

TEST(ResRequest, TextFormIsThreeTokens)
{
    StringStream out;
    out << ResRequest{StrCache("class kq::Texture"), {"a.png", 1}};
    EXPECT_EQ(out.str(), "\"class kq::Texture\" \"a.png\" 1");
}

}
}
