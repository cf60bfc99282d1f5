#include "engine/base/tstream.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"

namespace kq {
namespace {

// Every token up to the end, or the text of the error that stopped the reader.
struct Scan
{
    std::vector<std::string> tokens;
    std::string error;
    std::uint32_t line = 0;
};

Scan scan_all(const std::string& input)
{
    Scan scan;
    try {
        StringStream stream(input);
        while (!stream.is_eof())
            scan.tokens.push_back(stream.read_token());
        scan.line = stream.line();
    } catch (const IOException& error) {
        scan.error = error.what();
    }
    return scan;
}

std::string stream_error(const std::string& input, int line, const std::string& message)
{
    return "kq.io: (in stream [" + input + "] at line " + std::to_string(line) + ") " + message;
}

TEST(TStreamScan, TokensAndErrors)
{
    struct Case
    {
        std::string input;
        std::vector<std::string> tokens;
        int line;             // where the reader stands at the end, or where it failed
        std::string message;  // the error, empty when the input scans
    };
    const Case cases[] = {
        {"", {}, 1, ""},
        {"abc\"def\"", {"abc", "def"}, 1, ""},
        {"a/b", {"a", "/b"}, 1, ""},
        {"a / b", {"a", "/", "b"}, 1, ""},
        {"/7", {"/7"}, 1, ""},
        {"a/", {"a", "/"}, 1, ""},
        {"/\nx", {"/", "x"}, 2, ""},
        {"x//c\r\ny", {"x", "y"}, 2, ""},
        {"a // c", {"a"}, 1, ""},
        {"a{b}(1,2)=*", {"a", "{", "b", "}", "(", "1", ",", "2", ")", "=", "*"}, 1, ""},
        {"-1.5e-3 _x`z \xe9t\xe9", {"-1.5e-3", "_x`z", "\xe9t\xe9"}, 1, ""},
        {"a\tb\r\n\x01" "c", {"a", "b", "c"}, 2, ""},
        {"#EOF#", {"#", "EOF", "#"}, 1, ""},
        {"\"#EOF#\" a", {}, 1, ""},
        {"[a [b] \"]\" c]", {"a [b] \"]\" c"}, 1, ""},
        {"[x\n// y\n]z", {"x\n// y\n", "z"}, 3, ""},
        {"]", {}, 1, "mismatched closing bracked ']'."},
        {"\"a\\tb\"", {"a\tb"}, 1, ""},
        {"\"a\\\\b\\\"c\\n\\r\"", {"a\\b\"c\n\r"}, 1, ""},
        {"\"a\\\r\n   b\"", {"a   b"}, 2, ""},
        {"\"a\\\rb\"", {"ab"}, 2, ""},
        {"\"a\\  \t\r\nb\"", {"ab"}, 2, ""},
        {"\"a\\q\"", {}, 1, "unknown backslash sequence \"\\q\""},
        {"\"a\\\nb\"", {}, 1, "unknown backslash sequence \"\\\n\""},
        {"\"a\\  b\"", {}, 1, "spare symbols between backslash and enter"},
        {"\"a\\", {}, 1, "quote opened on line 1 not matched."},
        {"x\n\"ab\ncd", {}, 3, "quote opened on line 2 not matched."},
        {"\"\"", {""}, 1, ""},
        {"\"a\nb\"", {"a\nb"}, 2, ""},
        {"[a\nb", {}, 2, "square bracket '[' opened on line 1 not matched."},
        {"/* 2 * 3 / 4 */ z", {"4", "*", "/", "z"}, 1, ""},
        {"a/* x\n*/b", {"a", "b"}, 2, ""},
        {"/* a\n", {}, 2, "comment '/*' opened on line 1 not matched by '*/'."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const Scan scan = scan_all(c.input);
        if (c.message.empty()) {
            EXPECT_EQ(scan.error, "");
            EXPECT_EQ(scan.tokens, c.tokens);
            EXPECT_EQ(scan.line, static_cast<std::uint32_t>(c.line));
        } else {
            EXPECT_EQ(scan.error, stream_error(c.input, c.line, c.message));
        }
    }
}

TEST(TStreamRead, ConsumingAtTheEndFails)
{
    StringStream stream("");
    EXPECT_TRUE(stream.is_eof());
    EXPECT_FALSE(stream.token_is("#EOF#"));
    const std::string eof = stream_error("", 1, "unexcepted end of file reached.");
    const auto expect_eof = [&](auto read) {
        try {
            read();
            ADD_FAILURE() << "no error";
        } catch (const IOException& error) {
            EXPECT_EQ(error.what(), eof);
        }
    };
    expect_eof([&] { stream.skip_token(); });
    expect_eof([&] { stream.read_token(); });
    expect_eof([&] { stream.peek_token(); });
    expect_eof([&] { stream.expect("{"); });
    stream.advance();
    EXPECT_TRUE(stream.is_eof());
}

TEST(TStreamRead, Expect)
{
    struct Case
    {
        std::string input;
        std::string message;
    };
    const Case cases[] = {
        {"{", ""},
        {"\"\"", "expected symbol '{' not found."},
        {"(", "unexpected symbol '(', must be '{'."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        StringStream stream(c.input);
        try {
            stream.expect("{");
            EXPECT_EQ(c.message, "");
            EXPECT_TRUE(stream.is_eof());
        } catch (const IOException& error) {
            EXPECT_EQ(error.what(), stream_error(c.input, 1, c.message));
        }
    }
}

TEST(TStreamRead, LookAhead)
{
    StringStream stream("{ a }");
    EXPECT_TRUE(stream.token_is_bracket(t_io::open_brace));
    EXPECT_FALSE(stream.token_is_bracket(t_io::close_brace));
    EXPECT_FALSE(stream.token_is_bracket(t_io::quote));
    EXPECT_EQ(stream.peek_token(), "{");
    stream.skip_token();
    EXPECT_TRUE(stream.token_is("a"));
    std::string token;
    stream.take_token(token);
    EXPECT_EQ(token, "a");
    EXPECT_TRUE(stream.token_is_bracket(t_io::close_brace));
}

TEST(TStreamRead, BoolsAndFloats)
{
    StringStream stream("true 1 false 0 yes TRUE 2.5 -1e-3 7");
    const bool expected[] = {true, true, false, false, false, false};
    for (bool value : expected) {
        bool read = !value;
        stream >> read;
        EXPECT_EQ(read, value);
    }
    float a = 0, b = 0, c = 0;
    stream >> a >> b >> c;
    EXPECT_FLOAT_EQ(a, 2.5f);
    EXPECT_FLOAT_EQ(b, -1e-3f);
    EXPECT_FLOAT_EQ(c, 7.0f);
}

TEST(TStreamRead, FloatsThatDoNotConvertNameTheStream)
{
    struct Case
    {
        std::string input;
        int line;
        std::string message;
    };
    const Case cases[] = {
        {"1.5x", 1, "invalid number '1.5x'."},
        {"\n\n abc ]", 3, "invalid number 'abc'."},
        {"\"\"", 1, "invalid number ''."},
        {"1e+5", 1, "invalid number '1e'."},
        {"", 1, "unexcepted end of file reached."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        StringStream stream(c.input);
        float value = 0;
        try {
            stream >> value;
            ADD_FAILURE() << "no error";
        } catch (const IOException& error) {
            EXPECT_EQ(error.what(), stream_error(c.input, c.line, c.message));
        }
    }
}

TEST(TStreamWrite, Values)
{
    struct Case
    {
        std::function<void(TStream&)> write;
        std::string text;
    };
    const Case cases[] = {
        {[](TStream& s) { s << "a\"b"; }, "a\"b"},
        {[](TStream& s) { s << std::string("a\"b\\c\n"); }, "\"a\\\"b\\\\c\n\""},
        {[](TStream& s) { s << true << " " << false; }, "true false"},
        {[](TStream& s) { s << -42 << " " << 7u << " " << std::int64_t(1) << 40; }, "-42 7 140"},
        {[](TStream& s) { s << 1.5f << " " << 0.1f << " " << 100.0f; }, "1.5 0.100000001 100"},
        {[](TStream& s) { s << 1e9f << " " << 1.25e-5f << " " << -1e10f; }, "1e09 1.24999997e-05 -1e10"},
        {[](TStream& s) { s.put_char('x'); s << t_io::quote << t_io::open_brace << t_io::close_brace; }, "x\"{}"},
        {[](TStream& s) { s << t_io::push_tab << t_io::push_tab << t_io::endl; }, "    \r\n    "},
        {[](TStream& s) { s << t_io::tab << static_cast<t_io::Manip>(9); }, "  "},
    };
    for (const Case& c : cases) {
        StringStream stream;
        c.write(stream);
        EXPECT_EQ(stream.str(), c.text);
    }
}

TEST(TStreamWrite, Errors)
{
    StringStream stream;
    stream << "ab";
    try {
        stream << t_io::pop_tab;
        ADD_FAILURE() << "no error";
    } catch (const IOException& error) {
        EXPECT_EQ(error.what(), stream_error("ab", 1, "mismatched t_io::pop_tab without t_io::push_tab."));
    }
    const char* null_text = nullptr;
    EXPECT_THROW(stream << null_text, IOException);
}

TEST(TStreamWrite, ReadsBackAsWritten)
{
    const std::vector<std::string> strings = {"", "plain", "q\"uote", "back\\slash", "\\\"", "line\r\nbreak\t."};
    const float floats[] = {0.0f, -1.5f, 3.14159274f, 1e9f, 1.5e-7f, -2.5e30f, 123456789.0f};
    StringStream out;
    out << "root" << t_io::endl << t_io::open_brace << t_io::endl << t_io::push_tab;
    for (const std::string& text : strings)
        out << text << t_io::endl;
    for (float value : floats)
        out << value << t_io::endl;
    out << -2147483647 << " " << true << " " << false << t_io::endl;
    out << "inner" << t_io::endl << t_io::open_brace << t_io::endl << t_io::push_tab;
    out << 5 << t_io::endl << t_io::pop_tab << t_io::close_brace << t_io::endl;
    out << t_io::pop_tab << t_io::close_brace << t_io::endl;

    StringStream in(out.str());
    in.expect("root");
    in.expect("{");
    for (const std::string& text : strings)
        EXPECT_EQ(in.read_token(), text);
    for (float value : floats) {
        float read = 0;
        in >> read;
        EXPECT_EQ(read, value);
    }
    EXPECT_EQ(in.read_token(), "-2147483647");
    bool yes = false, no = true;
    in >> yes >> no;
    EXPECT_TRUE(yes);
    EXPECT_FALSE(no);
    in.expect("inner");
    in.expect("{");
    in.expect("5");
    in.expect("}");
    in.expect("}");
    EXPECT_TRUE(in.is_eof());
}

}
}
