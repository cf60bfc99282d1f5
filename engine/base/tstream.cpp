#include "engine/base/tstream.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include <boost/lexical_cast.hpp>

#include "engine/base/exception.h"

namespace kq {

namespace {

enum class CharClass : std::uint8_t { newline, blank, quote, word, symbol };

constexpr std::array<CharClass, 256> make_char_classes()
{
    std::array<CharClass, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        CharClass kind = CharClass::symbol;
        if (c == '\n')
            kind = CharClass::newline;
        else if (c <= 0x20)
            kind = CharClass::blank;
        else if (c == '"')
            kind = CharClass::quote;
        else if (c >= 0x80 || c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                 (c >= 0x5F && c <= 0x7A))
            kind = CharClass::word;
        classes[c] = kind;
    }
    return classes;
}

constexpr std::array<CharClass, 256> char_classes = make_char_classes();

constexpr int end_of_input = -1;

std::string on_line(const char* before, std::uint32_t line, const char* after)
{
    return before + std::to_string(line) + after;
}

}

TStream::TStream(Buffer& buffer) : Stream(buffer)
{
    if (buffer.mode() & mode_read)
        scan_token();
}

void TStream::error(const std::string& message)
{
    throw IOException("(in stream " + buffer().name() + " at line " + std::to_string(m_line) + ") " + message);
}

void TStream::skip_token()
{
    check_not_eof();
    scan_token();
}

std::string TStream::read_token()
{
    check_not_eof();
    std::string token = std::move(m_token);
    scan_token();
    return token;
}

void TStream::take_token(std::string& token)
{
    check_not_eof();
    token = std::move(m_token);
    scan_token();
}

const std::string& TStream::peek_token()
{
    check_not_eof();
    return m_token;
}

void TStream::check_not_eof()
{
    if (is_eof())
        error("unexcepted end of file reached.");
}

bool TStream::token_is(const char* text)
{
    return !is_eof() && m_token == text;
}

bool TStream::token_is_bracket(t_io::Manip bracket)
{
    if (bracket == t_io::open_brace)
        return token_is("{");
    if (bracket == t_io::close_brace)
        return token_is("}");
    return false;
}

void TStream::expect(const char* text)
{
    std::string token;
    take_token(token);
    if (token.empty())
        error(std::string("expected symbol '") + text + "' not found.");
    if (token != text)
        error("unexpected symbol '" + token + "', must be '" + text + "'.");
}

void TStream::put_manip(t_io::Manip manip)
{
    switch (manip) {
    case t_io::endl:
        write("\r\n", 2);
        for (std::uint32_t i = 0; i < m_depth; ++i)
            write(m_tab.data(), static_cast<std::uint32_t>(m_tab.size()));
        break;
    case t_io::tab:
        write(m_tab.data(), static_cast<std::uint32_t>(m_tab.size()));
        break;
    case t_io::untab:
        seek(-static_cast<std::int32_t>(m_tab.size()), seek_current);
        break;
    case t_io::push_tab:
        ++m_depth;
        put_manip(t_io::tab);
        break;
    case t_io::pop_tab:
        if (m_depth == 0)
            error("mismatched t_io::pop_tab without t_io::push_tab.");
        --m_depth;
        put_manip(t_io::untab);
        break;
    case t_io::open_brace:
        put_char('{');
        break;
    case t_io::close_brace:
        put_char('}');
        break;
    case t_io::quote:
        put_char('"');
        break;
    }
}

int TStream::get_byte()
{
    unsigned char c = 0;
    return read(&c, 1) == 1 ? c : end_of_input;
}

void TStream::unget_byte()
{
    seek(-1, seek_current);
}

void TStream::scan_token()
{
    m_token.clear();
    for (;;) {
        const int c = get_byte();
        if (c == end_of_input) {
            if (m_token.empty())
                m_token = eof_token;
            return;
        }
        switch (char_classes[c]) {
        case CharClass::newline:
            ++m_line;
            if (!m_token.empty())
                return;
            break;
        case CharClass::blank:
            if (!m_token.empty())
                return;
            break;
        case CharClass::word:
            m_token += static_cast<char>(c);
            break;
        case CharClass::quote:
            if (!m_token.empty()) {
                unget_byte();
                return;
            }
            read_string();
            return;
        case CharClass::symbol:
            if (!m_token.empty()) {
                unget_byte();
                return;
            }
            if (c == '[') {
                read_block();
                return;
            }
            if (c == ']')
                error("mismatched closing bracked ']'.");
            if (c != '/') {
                m_token = static_cast<char>(c);
                return;
            }
            const int next = get_byte();
            if (next == '/') {
                skip_line_comment();
            } else if (next == '*') {
                skip_block_comment();
            } else {
                // A slash not opening a comment starts a word-like token ("/b").
                m_token = "/";
                if (next == end_of_input)
                    return;
                unget_byte();
            }
            break;
        }
    }
}

void TStream::read_string()
{
    const std::uint32_t open_line = m_line;
    for (;;) {
        const int c = get_byte();
        if (c == end_of_input)
            error(on_line("quote opened on line ", open_line, " not matched."));
        if (c == '"')
            return;
        if (c == '\\') {
            read_escape();
            continue;
        }
        if (c == '\n')
            ++m_line;
        m_token += static_cast<char>(c);
    }
}

void TStream::read_escape()
{
    int c = get_byte();
    switch (c) {
    case end_of_input:
        // Kept so that the string then fails as unterminated.
        m_token += '\\';
        return;
    case '\\':
    case '"':
        m_token += static_cast<char>(c);
        return;
    case 'n':
        m_token += '\n';
        return;
    case 'r':
        m_token += '\r';
        return;
    case 't':
        m_token += '\t';
        return;
    case '\r':
        continue_line();
        return;
    case ' ':
    case '\t':
        do
            c = get_byte();
        while (c == ' ' || c == '\t');
        if (c == end_of_input)
            return;
        if (c != '\r')
            error("spare symbols between backslash and enter");
        continue_line();
        return;
    default:
        error(std::string("unknown backslash sequence \"\\") + static_cast<char>(c) + "\"");
    }
}

void TStream::continue_line()
{
    const int next = get_byte();
    if (next != '\n' && next != end_of_input)
        unget_byte();
    ++m_line;
}

void TStream::read_block()
{
    const std::uint32_t open_line = m_line;
    int depth = 0;
    bool in_quote = false;
    for (;;) {
        const int c = get_byte();
        if (c == end_of_input)
            error(on_line("square bracket '[' opened on line ", open_line, " not matched."));
        if (c == '\n') {
            ++m_line;
        } else if (c == '"') {
            in_quote = !in_quote;
        } else if (c == '[' && !in_quote) {
            ++depth;
        } else if (c == ']' && !in_quote) {
            if (depth == 0)
                return;
            --depth;
        }
        m_token += static_cast<char>(c);
    }
}

void TStream::skip_line_comment()
{
    for (int c = get_byte(); c != end_of_input; c = get_byte()) {
        if (c == '\n') {
            ++m_line;
            return;
        }
    }
}

void TStream::skip_block_comment()
{
    const std::uint32_t open_line = m_line;
    // "*" arms the end; only another symbol byte disarms it, so "* x /" also ends the comment.
    bool star = false;
    for (;;) {
        const int c = get_byte();
        if (c == end_of_input)
            error(on_line("comment '/*' opened on line ", open_line, " not matched by '*/'."));
        if (c == '*') {
            star = true;
        } else if (c == '/') {
            if (star)
                return;
        } else if (char_classes[c] == CharClass::newline) {
            ++m_line;
        } else if (char_classes[c] == CharClass::symbol) {
            star = false;
        }
    }
}

TStream& operator>>(TStream& stream, std::string& value)
{
    stream.take_token(value);
    return stream;
}

TStream& operator>>(TStream& stream, bool& value)
{
    const std::string token = stream.read_token();
    value = token == "true" || token == "1";
    return stream;
}

TStream& operator>>(TStream& stream, float& value)
{
    // Converted before the token is consumed, so a bad number is reported before whatever
    // follows it is scanned.
    const std::string& token = stream.peek_token();
    if (!boost::conversion::try_lexical_convert(token, value))
        stream.error("invalid number '" + token + "'.");
    stream.skip_token();
    return stream;
}

TStream& operator<<(TStream& stream, const char* text)
{
    if (!text)
        stream.error("Unable to store null-string!");
    stream.write(text, static_cast<std::uint32_t>(std::strlen(text)));
    return stream;
}

TStream& operator<<(TStream& stream, bool value)
{
    return stream << (value ? "true" : "false");
}

TStream& operator<<(TStream& stream, float value)
{
    char text[32];
    char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 9).ptr;
    // "1e+09" would scan as "1e", "+", "09": without the "+" the exponent stays in the word.
    char* plus = std::find(text, end, '+');
    if (plus != end)
        end = std::copy(plus + 1, end, plus);
    stream.write(text, static_cast<std::uint32_t>(end - text));
    return stream;
}

TStream& operator<<(TStream& stream, const std::string& text)
{
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    stream.write(quoted.data(), static_cast<std::uint32_t>(quoted.size()));
    return stream;
}

TStream& operator<<(TStream& stream, t_io::Manip manip)
{
    stream.put_manip(manip);
    return stream;
}

TStream& write_integer(TStream& stream, long long value)
{
    char text[24];
    const char* end = std::to_chars(text, text + sizeof text, value).ptr;
    stream.write(text, static_cast<std::uint32_t>(end - text));
    return stream;
}

TStream& write_integer(TStream& stream, unsigned long long value)
{
    char text[24];
    const char* end = std::to_chars(text, text + sizeof text, value).ptr;
    stream.write(text, static_cast<std::uint32_t>(end - text));
    return stream;
}

}
