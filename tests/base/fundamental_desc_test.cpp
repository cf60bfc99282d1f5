#include "engine/base/fundamental_desc.h"

#include <gtest/gtest.h>

#include "engine/base/bstream.h"
#include "engine/base/class_desc.h"
#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/ref_counter.h"
#include "engine/base/string_stream.h"

namespace kq::rtti {
namespace {

template <class T>
std::string text_of(const T& value)
{
    StringStream out;
    TypeRegistry::get_type(type_name<T>()).store_text(out, &value);
    return out.str();
}

template <class T>
T read_text(const std::string& text)
{
    StringStream in(text);
    T value{};
    TypeRegistry::get_type(type_name<T>()).load_text(in, &value);
    return value;
}

template <class T>
std::string binary_of(const T& value)
{
    StringBuffer buffer;
    BStream stream(buffer);
    TypeRegistry::get_type(type_name<T>()).store_binary(stream, &value);
    return buffer.str();
}

template <class T>
T read_binary_value(const std::string& bytes)
{
    StringBuffer buffer(bytes);
    BStream stream(buffer);
    T value{};
    TypeRegistry::get_type(type_name<T>()).load_binary(stream, &value);
    return value;
}

TEST(FundamentalDesc, IntText)
{
    struct Case
    {
        const char* text;
        int value;
    };
    const Case cases[] = {{"12", 12}, {"-3", -3}, {"101b", 5}, {"ffh", 255}, {"17o", 15}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(read_text<int>(c.text), c.value);
    }
    EXPECT_EQ(text_of(12), "12");
}

TEST(FundamentalDesc, TextForms)
{
    EXPECT_EQ(text_of(true), "true");
    EXPECT_EQ(text_of(false), "false");
    EXPECT_TRUE(read_text<bool>("1"));
    EXPECT_FALSE(read_text<bool>("yes"));
    EXPECT_EQ(text_of(2.5f), "2.5");
    EXPECT_EQ(read_text<float>("2.5"), 2.5f);

    const std::string quoted = "say \"hi\" \\ bye";
    EXPECT_EQ(text_of(quoted), "\"say \\\"hi\\\" \\\\ bye\"");
    EXPECT_EQ(read_text<std::string>(text_of(quoted)), quoted);

    EXPECT_EQ(read_text<FilePath>("\"Data\\\\Skin\\\\UI.sdt\"").str(), "data/skin/ui.sdt");
}

TEST(FundamentalDesc, BinaryForms)
{
    EXPECT_EQ(binary_of(1), std::string("\x01\0\0\0", 4));
    EXPECT_EQ(binary_of(-2), std::string("\xFE\xFF\xFF\xFF", 4));
    EXPECT_EQ(binary_of(1.0f), std::string("\0\0\x80\x3F", 4));
    EXPECT_EQ(binary_of(true), std::string("\x01", 1));
    EXPECT_EQ(binary_of(std::string("hi")), std::string("\x02\0\0\0hi", 6));
    EXPECT_EQ(binary_of(FilePath("a/b")), std::string("\x03\0\0\0a/b", 7));

    EXPECT_EQ(read_binary_value<int>(binary_of(-2)), -2);
    EXPECT_EQ(read_binary_value<float>(binary_of(0.25f)), 0.25f);
    EXPECT_TRUE(read_binary_value<bool>(binary_of(true)));
    EXPECT_EQ(read_binary_value<std::string>(binary_of(std::string("hi"))), "hi");
    // Binary paths are taken as they stand, without being made canonical.
    EXPECT_EQ(read_binary_value<FilePath>(std::string("\x03\0\0\0A\\B", 7)).str(), "A\\B");
}

TEST(FundamentalDesc, ShortBinaryValuesFail)
{
    const std::function<void()> reads[] = {
        [] { read_binary_value<int>(std::string("\x01\x02", 2)); },
        [] { read_binary_value<float>(std::string("\x01\x02\x03", 3)); },
        [] { read_binary_value<bool>(""); },
        [] { read_binary_value<std::string>(std::string("\x05\0\0\0ab", 6)); },
    };
    for (const auto& read : reads) {
        try {
            read();
            ADD_FAILURE();
        } catch (const IOException& e) {
            EXPECT_TRUE(e.message().ends_with("unexpected end of buffer.")) << e.message();
        }
    }
}

TEST(FundamentalDesc, CountBlockStreamsNothingAndClearsItsUse)
{
    const TypeDesc& descriptor = TypeRegistry::get_type(type_name<RefCounter>());
    int object = 0;
    RefCounter block;
    block.m_block_count = 3;
    block.m_use_count = 2;
    block.m_deleter = [](void*) {};
    block.m_pointer = &object;

    StringStream text;
    descriptor.store_text(text, &block);
    StringBuffer buffer;
    BStream binary(buffer);
    descriptor.store_binary(binary, &block);
    EXPECT_EQ(text.str(), "");
    EXPECT_EQ(buffer.str(), "");

    alignas(RefCounter) unsigned char memory[sizeof(RefCounter)];
    auto* copy = static_cast<RefCounter*>(descriptor.copy(&block, memory));
    EXPECT_EQ(copy->m_block_count, 0);
    EXPECT_EQ(copy->m_use_count, 2u);
    EXPECT_EQ(copy->m_pointer, &object);

    descriptor.load_binary(binary, &block);
    EXPECT_EQ(block.m_block_count, 3);
    EXPECT_EQ(block.m_use_count, 0u);
    EXPECT_EQ(block.m_deleter, nullptr);
    EXPECT_EQ(block.m_pointer, &object);
}

}
}
