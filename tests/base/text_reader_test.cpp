#include "engine/base/text_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/base/exception.h"
#include "engine/base/tstream.h"
#include "engine/base/wstream.h"

namespace kq {
namespace {

// A buffer that hands out at most `most` bytes per read: every token, escape and line end
// then meets the end of a block somewhere.
class TrickleBuffer : public Buffer
{
public:
    TrickleBuffer(std::string content, std::uint32_t most)
        : Buffer(mode_read), m_content(std::move(content)), m_most(most)
    {
    }

    std::uint32_t write(const void*, std::uint32_t) override { return 0; }
    std::uint32_t read(void* data, std::uint32_t n) override
    {
        const std::size_t count = std::min<std::size_t>({n, m_most, m_content.size() - m_position});
        std::memcpy(data, m_content.data() + m_position, count);
        m_position += count;
        return static_cast<std::uint32_t>(count);
    }
    std::int64_t seek(std::int32_t offset, std::uint32_t origin) override
    {
        std::int64_t position = origin & seek_begin ? offset : static_cast<std::int64_t>(m_position) + offset;
        m_position = static_cast<std::size_t>(std::clamp<std::int64_t>(position, 0, m_content.size()));
        return static_cast<std::int64_t>(m_position);
    }
    bool is_eof() override { return m_position == m_content.size(); }
    std::string name() const override { return "[trickle]"; }
    std::uint64_t size() override { return m_content.size(); }

private:
    std::string m_content;
    std::uint32_t m_most;
    std::size_t m_position = 0;
};

// Each token with the line the reader stands on after it, then the error that stopped the
// reader (its message after the stream's name), or "end" and the last line.
template <class Reader, class Text>
std::vector<std::string> trace_of(Buffer& buffer, std::string (*show)(const Text&))
{
    std::vector<std::string> trace;
    try {
        Reader reader(buffer);
        while (!reader.is_eof()) {
            Text token;
            reader.take_token(token);
            trace.push_back(show(token) + " @" + std::to_string(reader.line()));
        }
        trace.push_back("end @" + std::to_string(reader.line()));
    } catch (const IOException& error) {
        const std::string text = error.message();
        trace.push_back(text.substr(text.find(" at line ")));
    }
    return trace;
}

std::string show_narrow(const std::string& token)
{
    return "<" + token + ">";
}

std::string show_wide(const std::u16string& token)
{
    std::string shown = "<";
    for (char16_t unit : token)
        shown += static_cast<char>(unit);
    return shown + ">";
}

// Each byte as one 16-bit little-endian unit.
std::string widened(const std::string& text)
{
    std::string bytes;
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

const char* const texts[] = {
    "panel_1\r\n{\r\n  pos (1, 24.5)\r\n  image ui/panels/p.png\r\n}\r\n",
    "a/b /7 / x a/ \"q\"w\"\" [a [b] \"]\" c] z",
    "// comment\r\nx//c\r\ny /* 2 * 3 / 4 */ z a/* x\n*/b",
    "\"a\\tb\\\\\\\"c\\n\" \"a\\\r\n   b\" \"a\\  \t\r\nb\" \"x\ny\" \"#EOF#\" after",
    "[x\n// y\n]z \"\" end",
    "\"a\\q\"",
    "\"a\\  b\"",
    "x\n\"ab\ncd",
    "[a\nb",
    "/* a\n",
    "a\n]",
    "\"a\\",
    "word\n",
    "/",
};

TEST(TextReader, BlocksOfAnySizeScanAsTheWholeText)
{
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        StringBuffer whole(text);
        const auto expected = trace_of<TStream, std::string>(whole, show_narrow);
        StringBuffer wide_whole(widened(text));
        EXPECT_EQ((trace_of<WStream, std::u16string>(wide_whole, show_wide)), expected);
        for (std::uint32_t most : {1u, 2u, 3u, 5u, 64u}) {
            SCOPED_TRACE(most);
            TrickleBuffer narrow(text, most);
            EXPECT_EQ((trace_of<TStream, std::string>(narrow, show_narrow)), expected);
            TrickleBuffer wide(widened(text), most);
            EXPECT_EQ((trace_of<WStream, std::u16string>(wide, show_wide)), expected);
        }
    }
}

// Every byte value in each kind of token, and runs of every length up to a few machine words
// (words, blanks, line ends, strings, blocks, comments) at every alignment.
std::vector<std::string> generated_texts()
{
    std::vector<std::string> out;
    for (int b = 0; b < 256; ++b) {
        if (b == '\\')
            continue;
        const std::string c(1, static_cast<char>(b));
        out.push_back("w" + c + "w w" + c + " " + c + "x \"q" + c + "q\" [k" + c + "k] /*c" + c + "c*/ e" + c);
    }
    for (std::size_t n = 0; n <= 20; ++n) {
        const std::string run(n, 'a');
        std::string blanks;
        for (std::size_t i = 0; i < n; ++i)
            blanks += i % 3 == 1 ? '\n' : ' ';
        out.push_back(run + blanks + run + "(" + blanks + "\"" + run + blanks + "\\\"" + run + "\"" + run + " [" +
                      run + blanks + "\"]" + run + "\"] /*" + blanks + run + "* /" + run + "/" + run + " //" +
                      run + "\n/" + run);
    }
    return out;
}

TEST(TextReader, WholeTextScansAsOneUnitAtATime)
{
    for (const std::string& text : generated_texts()) {
        SCOPED_TRACE(text);
        StringBuffer wide(widened(text));
        const auto expected = trace_of<WStream, std::u16string>(wide, show_wide);
        StringBuffer whole(text);
        EXPECT_EQ((trace_of<TStream, std::string>(whole, show_narrow)), expected);
        for (std::uint32_t most : {7u, 16u}) {
            SCOPED_TRACE(most);
            TrickleBuffer narrow(text, most);
            EXPECT_EQ((trace_of<TStream, std::string>(narrow, show_narrow)), expected);
        }
    }
}

std::vector<std::string> tokens_of(Buffer& buffer)
{
    std::vector<std::string> tokens;
    TStream stream(buffer);
    while (!stream.is_eof())
        tokens.push_back(stream.read_token());
    return tokens;
}

// The buffer stands after the look-ahead token and what ended it, however it was read, for
// the stream's own operations and once the reader is gone; reading on continues from there.
TEST(TextReader, TheBufferStandsAfterTheLookAheadToken)
{
    struct Case
    {
        const char* text;
        int taken;  // tokens taken before the position is asked for
        std::int64_t position;
    };
    const Case cases[] = {
        {"ab cd ef", 0, 3},
        {"ab cd ef", 1, 6},
        {"ab\"cd\" ef", 1, 6},
        {"(x)", 1, 2},
        {"a // c\nb", 1, 8},
        {"a", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        StringBuffer reference(c.text);
        const std::vector<std::string> all = tokens_of(reference);
        for (std::uint32_t most : {0u, 1u, 4u}) {
            SCOPED_TRACE(most);
            StringBuffer whole(c.text);
            TrickleBuffer trickle(c.text, most);
            Buffer& buffer = most == 0 ? static_cast<Buffer&>(whole) : trickle;
            {
                TStream stream(buffer);
                for (int i = 0; i < c.taken; ++i)
                    EXPECT_EQ(stream.read_token(), all[i]);
                EXPECT_EQ(stream.tell(), c.position);
                std::vector<std::string> rest;
                while (!stream.is_eof())
                    rest.push_back(stream.read_token());
                EXPECT_EQ(rest, std::vector<std::string>(all.begin() + c.taken, all.end()));
            }
            buffer.seek(0, seek_begin);
            {
                TStream stream(buffer);
                for (int i = 0; i < c.taken; ++i)
                    stream.skip_token();
            }
            EXPECT_EQ(buffer.seek(0, seek_current), c.position);
        }
    }
}

}
}
