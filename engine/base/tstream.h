#pragma once

#include <concepts>
#include <cstdint>
#include <string>

#include "engine/base/text_reader.h"

namespace kq {

namespace t_io {

/// Writer manipulators, by their stored codes.
enum Manip : int
{
    endl = 0,         ///< CR LF, then the indentation unit once per depth
    tab = 1,          ///< the indentation unit once
    untab = 2,        ///< steps the write position back by one unit
    push_tab = 3,     ///< one level deeper, then one unit
    pop_tab = 4,      ///< one level up, then `untab`
    open_brace = 5,   ///< "{"
    close_brace = 6,  ///< "}"
    quote = 7,        ///< a double quote
};

}

/// Reader and writer of the engine's text data format: a one-token look-ahead scanner that
/// counts lines for its errors, and a writer whose output reads back as written.
class TStream : public TextReader<char>
{
public:
    /// The token that stands for the end of input.
    static constexpr const char* eof_token = "#EOF#";

    /// A stream over the buffer; a readable buffer has its first token scanned at once.
    explicit TStream(Buffer& buffer) : TextReader<char>(buffer) {}

    /// Returns the look-ahead token and scans the next.
    std::string read_token();
    /// The look-ahead token, not consumed.
    const std::string& peek_token();
    /// Whether the look-ahead token is `text` (false at the end); consumes nothing.
    bool token_is(const char* text) { return !is_eof() && token_view() == text; }
    /// Whether the look-ahead token is the brace of `open_brace` or `close_brace`.
    bool token_is_bracket(t_io::Manip bracket);
    /// Takes the next token and fails unless it is `text`.
    void expect(const char* text);

    /// Writes one character unchanged.
    void put_char(char c) { write(&c, 1); }
    /// Writes a manipulator's output (unknown codes write nothing).
    void put_manip(t_io::Manip manip);

private:
    std::string m_tab = "  ";
    std::uint32_t m_depth = 0;
};

/// Takes the next token.
TStream& operator>>(TStream& stream, std::string& value);
/// Takes the next token: "true" or "1" is true, anything else false.
TStream& operator>>(TStream& stream, bool& value);
/// Takes the next token as a whole float; a token that is not one is the stream error
/// "invalid number '<token>'.".
TStream& operator>>(TStream& stream, float& value);

/// Writes the characters unquoted; a null pointer fails with "Unable to store null-string!".
TStream& operator<<(TStream& stream, const char* text);
/// Writes "true" or "false".
TStream& operator<<(TStream& stream, bool value);
/// Writes the value with 9 significant digits, as one token that reads back.
TStream& operator<<(TStream& stream, float value);
/// Writes the string in double quotes, with a backslash before each quote and backslash.
TStream& operator<<(TStream& stream, const std::string& text);
/// Writes the manipulator's output.
TStream& operator<<(TStream& stream, t_io::Manip manip);

/// Writes the decimal text of a signed integer ("-" before a negative value).
TStream& write_integer(TStream& stream, long long value);
/// Writes the decimal text of an unsigned integer.
TStream& write_integer(TStream& stream, unsigned long long value);

/// Writes any integer (but bool and char) in decimal.
template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>)
TStream& operator<<(TStream& stream, T value)
{
    if constexpr (std::signed_integral<T>)
        return write_integer(stream, static_cast<long long>(value));
    else
        return write_integer(stream, static_cast<unsigned long long>(value));
}

}
