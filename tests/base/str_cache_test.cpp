#include "engine/base/str_cache.h"

#include "engine/base/string_stream.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kq {
namespace {

TEST(StrCache, EmptyTextIsTheDefaultValueAndIsNotStored)
{
    const std::size_t before = StrCache::cached_count();
    const StrCache empty("");
    EXPECT_EQ(empty, StrCache());
    EXPECT_TRUE(empty.empty());
    EXPECT_FALSE(empty.is_unique());
    EXPECT_STREQ(empty.c_str(), "");
    EXPECT_EQ(StrCache::cached_count(), before);
}

TEST(StrCache, EqualTextsShareOneWord)
{
    std::string text = "str_cache_test abc";
    const StrCache first(text.c_str());
    const std::size_t count = StrCache::cached_count();
    text[0] = 's';  // the cache holds its own copy
    const StrCache second(std::string("str_cache_test abc").c_str());
    EXPECT_EQ(first, second);
    EXPECT_EQ(first.word(), second.word());
    EXPECT_EQ(StrCache::cached_count(), count);
    EXPECT_STREQ(first.c_str(), "str_cache_test abc");
    EXPECT_NE(StrCache("str_cache_test ABC"), first);  // case-sensitive
    EXPECT_EQ(StrCache::from_word(first.word()), first);
}

TEST(StrCache, WordsStayValidWhileTheCacheGrows)
{
    const StrCache first("str_cache_test grow 0");
    const char* const characters = first.c_str();
    const std::size_t count = StrCache::cached_count();
    for (int i = 1; i <= 5000; ++i)
        StrCache(("str_cache_test grow " + std::to_string(i)).c_str());
    EXPECT_EQ(StrCache::cached_count(), count + 5000);
    EXPECT_EQ(first.c_str(), characters);  // the stored copy never moves
    EXPECT_STREQ(first.c_str(), "str_cache_test grow 0");
    EXPECT_EQ(StrCache("str_cache_test grow 0"), first);
    EXPECT_STREQ(StrCache("str_cache_test grow 4321").c_str(), "str_cache_test grow 4321");
}

TEST(StrCache, UniqueIdsHaveNoTextAndEqualNothingElse)
{
    const StrCache a = StrCache::make_unique();
    const StrCache b = StrCache::make_unique();
    const StrCache text("str_cache_test unique");
    EXPECT_TRUE(a.is_unique());
    EXPECT_FALSE(a.empty());
    EXPECT_STREQ(a.c_str(), "");
    EXPECT_NE(a, b);
    EXPECT_NE(a, StrCache());
    EXPECT_NE(a, text);
    EXPECT_FALSE(text.is_unique());
    int local = 0;
    EXPECT_GT(a.word(), reinterpret_cast<std::uintptr_t>(&local));
    EXPECT_GT(a.word(), reinterpret_cast<std::uintptr_t>(text.c_str()));
}

TEST(StrCache, OrdersByWordOrByText)
{
    const StrCache b("str_cache_test b");
    const StrCache a("str_cache_test a");
    const StrCache high("str_cache_test \xE0");
    EXPECT_EQ(a < b, a.word() < b.word());
    EXPECT_TRUE(StrCache::less_by_text(a, b));
    EXPECT_FALSE(StrCache::less_by_text(b, a));
    EXPECT_FALSE(StrCache::less_by_text(a, a));
    EXPECT_TRUE(StrCache::less_by_text(b, high));  // bytes compare unsigned
    EXPECT_TRUE(StrCache::less_by_text(StrCache::make_unique(), a));

    const std::set<StrCache> names{a, b, StrCache(a.c_str())};
    EXPECT_EQ(names.size(), 2u);
}

TEST(StrCache, TextFormIsOneQuotedToken)
{
    struct Case {
        StrCache value;
        const char* written;
    };
    const Case cases[] = {
        {StrCache("two words"), "\"two words\""},
        {StrCache("say \"hi\""), "\"say \\\"hi\\\"\""},
        {StrCache(), "\"\""},
        {StrCache::make_unique(), "\"\""},
    };
    for (const Case& c : cases) {
        StringStream out;
        out << c.value;
        EXPECT_EQ(out.str(), c.written);

        StringStream in(out.str());
        StrCache read = StrCache::make_unique();
        in >> read;
        EXPECT_EQ(read, StrCache(c.value.c_str()));
        EXPECT_TRUE(in.is_eof());
    }
}

TEST(StrCache, ReadingInternsTheNextToken)
{
    StringStream in("name (");
    StrCache read;
    in >> read;
    EXPECT_EQ(read, StrCache("name"));
    EXPECT_EQ(in.peek_token(), "(");
}

}
}
