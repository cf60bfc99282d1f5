#include "engine/base/wstream.h"

#include "engine/base/code_page.h"
#include "engine/base/exception.h"

namespace kq {
namespace {

constexpr char16_t newline = u'\n';
constexpr char16_t quote = u'"';
constexpr char16_t backslash = u'\\';
const std::u16string end_token = u"#EOF#";

bool is_blank(char16_t c)
{
    return c <= 0x20 && c != newline;
}

bool is_word(char16_t c)
{
    return c > 0x7F || c == u'-' || c == u'.' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z')
        || (c >= 0x5F && c <= 0x7A);
}

bool is_symbol(char16_t c)
{
    return c > 0x20 && c != quote && !is_word(c);
}

// Messages are narrow: a unit outside the game's code page shows as "?".
std::string narrow_unit(char16_t unit)
{
    std::string out;
    if (!narrow_string(nullptr, std::u16string(1, unit), out))
        return "?";
    return out;
}

std::string not_matched(const char* opening, std::uint32_t line, const char* closing = "")
{
    return std::string(opening) + " opened on line " + std::to_string(line) + " not matched" + closing + ".";
}

}

WStream::WStream(Buffer& buffer) : Stream(buffer)
{
    if (buffer.mode() & mode_read)
        scan_token();
}

bool WStream::is_eof()
{
    return m_token == end_token;
}

void WStream::error(const std::string& message)
{
    throw IOException("(in stream " + buffer().name() + " at line " + std::to_string(m_line) + ") "
                      + message);
}

void WStream::check_not_eof()
{
    if (is_eof())
        error("unexcepted end of file reached.");
}

void WStream::skip_token()
{
    check_not_eof();
    scan_token();
}

void WStream::next_token(std::u16string& token)
{
    check_not_eof();
    token = std::move(m_token);
    scan_token();
}

bool WStream::token_is(const std::u16string& text)
{
    return !is_eof() && m_token == text;
}

// A unit is two bytes, low byte first; a lone trailing byte counts as the end of input.
bool WStream::read_unit(char16_t& unit)
{
    unsigned char bytes[2];
    if (read(bytes, 2) != 2)
        return false;
    unit = static_cast<char16_t>(bytes[0] | (bytes[1] << 8));
    return true;
}

void WStream::push_back()
{
    seek(-2, seek_current);
}

void WStream::scan_token()
{
    m_token.clear();
    char16_t c;
    while (read_unit(c)) {
        if (c == newline)
            ++m_line;
        if (c == newline || is_blank(c)) {
            if (!m_token.empty())
                return;
        } else if (is_word(c)) {
            m_token += c;
        } else if (!m_token.empty()) {
            push_back();
            return;
        } else if (c == quote) {
            read_string();
            return;
        } else if (c == u'[') {
            read_block();
            return;
        } else if (c == u']') {
            error("mismatched closing bracked ']'.");
        } else if (c != u'/') {
            m_token = c;
            return;
        } else if (!read_unit(c)) {
            m_token = u"/";
            return;
        } else if (c == u'/') {
            skip_line_comment();
        } else if (c == u'*') {
            skip_block_comment();
        } else {
            // A slash that opens no comment starts a word: "/7" is one token.
            push_back();
            m_token = u"/";
        }
    }
    if (m_token.empty())
        m_token = end_token;
}

void WStream::read_string()
{
    const std::uint32_t start = m_line;
    char16_t c;
    while (read_unit(c)) {
        if (c == quote)
            return;
        if (c == newline)
            ++m_line;
        if (c == backslash)
            read_escape();
        else
            m_token += c;
    }
    error(not_matched("quote", start));
}

void WStream::read_escape()
{
    char16_t c;
    if (!read_unit(c)) {
        m_token += backslash;
        return;
    }
    switch (c) {
    case backslash: m_token += backslash; return;
    case quote: m_token += quote; return;
    case u'n': m_token += u'\n'; return;
    case u'r': m_token += u'\r'; return;
    case u't': m_token += u'\t'; return;
    case u' ':
    case u'\t':
        // Blanks may stand between the backslash and the line end it continues.
        do {
            if (!read_unit(c))
                return;
        } while (c == u' ' || c == u'\t');
        if (c != u'\r')
            error("spare symbols between backslash and enter");
        break;
    case u'\r':
        break;
    default:
        error("unknown backslash sequence \"\\" + narrow_unit(c) + "\"");
    }
    // A line continuation: CR, then LF when it follows; nothing is kept.
    if (read_unit(c) && c != newline)
        push_back();
    ++m_line;
}

void WStream::read_block()
{
    const std::uint32_t start = m_line;
    int depth = 0;
    bool in_quote = false;
    char16_t c;
    while (read_unit(c)) {
        if (c == newline)
            ++m_line;
        else if (c == quote)
            in_quote = !in_quote;
        else if (c == u'[' && !in_quote)
            ++depth;
        else if (c == u']' && !in_quote && depth-- == 0)
            return;
        m_token += c;
    }
    error(not_matched("square bracket '['", start));
}

void WStream::skip_line_comment()
{
    char16_t c;
    while (read_unit(c)) {
        if (c == newline) {
            ++m_line;
            return;
        }
    }
}

void WStream::skip_block_comment()
{
    const std::uint32_t start = m_line;
    bool star = false;
    char16_t c;
    while (read_unit(c)) {
        if (c == newline)
            ++m_line;
        else if (c == u'*')
            star = true;
        else if (c == u'/' && star)
            return;
        else if (is_symbol(c))
            star = false;
    }
    error(not_matched("comment '/*'", start, " by '*/'"));
}


}
