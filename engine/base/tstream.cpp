#include "engine/base/tstream.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include <boost/lexical_cast.hpp>

#include "engine/base/exception.h"

namespace kq {

std::string TStream::read_token()
{
    std::string token;
    take_token(token);
    return token;
}

const std::string& TStream::peek_token()
{
    check_not_eof();
    return token();
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
