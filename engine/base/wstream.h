#pragma once

#include <cstdint>
#include <string>

#include "engine/base/stream.h"

namespace kq {

/// Reads the engine's text data format from 16-bit little-endian units: words, quoted strings,
/// "[...]" blocks and one-character symbols, with "//" and "/*" comments skipped. Reader only.
class WStream : public Stream
{
public:
    /// A reader over the buffer; a readable buffer has its first token scanned at once.
    explicit WStream(Buffer& buffer);

    /// True when the look-ahead token is the end token "#EOF#".
    bool is_eof() override;
    /// Throws `IOException` "(in stream " + buffer name + " at line " + line + ") " + message.
    [[noreturn]] void error(const std::string& message) override;

    /// Fails with "unexcepted end of file reached." at the end.
    void check_not_eof();
    /// Discards the look-ahead token (after the end check) and scans the next.
    void skip_token();
    /// Moves the look-ahead token into `token` (after the end check) and scans the next.
    void next_token(std::u16string& token);
    /// Whether the look-ahead token equals `text`; false at the end; consumes nothing.
    bool token_is(const std::u16string& text);

    /// The line the scanner stands on, counting LF units from 1.
    std::uint32_t line() const { return m_line; }

private:
    void scan_token();
    bool read_unit(char16_t& unit);
    void push_back();
    void read_string();
    void read_escape();
    void read_block();
    void skip_line_comment();
    void skip_block_comment();

    std::uint32_t m_line = 1;
    std::u16string m_token;
};

}
