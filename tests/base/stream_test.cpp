#include "engine/base/stream.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/base/exception.h"

namespace kq {
namespace {

TEST(Stream, ErrorNamesTheBuffer)
{
    StringBuffer buffer("abc");
    Stream stream(buffer);
    try {
        stream.error("bad");
    } catch (const IOException& error) {
        EXPECT_STREQ(error.what(), "kq.io: (in stream [abc]) bad");
    }
}

TEST(Stream, BinaryStringReads)
{
    using namespace std::string_literals;
    struct Case
    {
        std::string bytes;
        std::string text;   // expected when it reads
        bool fails;
    };
    const Case cases[] = {
        {"\x02\0\0\0hi"s, "hi", false},
        {"\0\0\0\0"s, "", false},
        {"\x02\0\0"s, "", true},
        {"\x03\0\0\0hi"s, "", true},
        {"\xff\xff\xff\xff"s, "", true},
    };
    for (const Case& c : cases) {
        StringBuffer buffer(c.bytes);
        Stream stream(buffer);
        std::string text = "untouched";
        if (c.fails) {
            try {
                read_binary(stream, text);
                ADD_FAILURE() << "read";
            } catch (const IOException& error) {
                EXPECT_EQ(error.message(), "(in stream [" + c.bytes + "]) unexpected end of buffer.");
            }
            EXPECT_EQ(text, "untouched");
        } else {
            read_binary(stream, text);
            EXPECT_EQ(text, c.text);
        }
    }
}

TEST(Stream, BinaryStringWrites)
{
    StringBuffer buffer;
    Stream stream(buffer);
    write_binary(stream, std::string());
    write_binary(stream, std::string("hi"));
    EXPECT_EQ(buffer.str(), std::string("\0\0\0\0\x02\0\0\0hi", 10));
}

}
}
