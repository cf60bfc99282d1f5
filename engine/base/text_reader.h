#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/base/stream.h"

namespace kq {

/// The scanner of the engine's text data format, for 8-bit text (`char`) and for 16-bit
/// little-endian units (`char16_t`): words, quoted strings, "[...]" blocks and one-character
/// symbols, with "//" and "/*" comments skipped, one token looked ahead, lines counted for
/// the errors.
///
/// It walks a pointer over the text: a `StringBuffer` of 8-bit text is scanned where it lies,
/// any other buffer is read in blocks. The buffer's position is put back where the scanned
/// text ends (after the look-ahead token) before any other use of the stream and when the
/// reader is destroyed, so the buffer stands where reading one unit at a time would leave it.
template <class Unit>
class TextReader : public Stream
{
public:
    using Text = std::basic_string<Unit>;

    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;
    ~TextReader() override;

    /// Whether the look-ahead token is the end ("#EOF#"; a string or block of that text too).
    bool is_eof() override { return m_at_eof; }
    /// Throws `IOException` "(in stream <name> at line <n>) " + message.
    [[noreturn]] void error(const std::string& message) override;

    /// Scans the next token, without an end check.
    void advance() { scan_token(); }
    /// Fails with "unexcepted end of file reached." at the end.
    void check_not_eof()
    {
        if (m_at_eof)
            fail_at_end();
    }
    /// Drops the look-ahead token (after the end check) and scans the next.
    void skip_token()
    {
        check_not_eof();
        scan_token();
    }
    /// Moves the look-ahead token into `token` (after the end check) and scans the next.
    void take_token(Text& token)
    {
        check_not_eof();
        if (m_token_at)
            token.assign(m_token_at, m_token_size);
        else
            token.swap(m_token);
        scan_token();
    }

    /// The reader's current line, from 1.
    std::uint32_t line() const { return m_line; }

    /// The buffer's operations, with the buffer first put where the scanned text ends.
    std::uint32_t write(const void* data, std::uint32_t n) override;
    std::uint32_t read(void* data, std::uint32_t n) override;
    std::int64_t seek(std::int32_t offset, std::uint32_t origin) override;
    std::int64_t tell() override;

protected:
    /// A reader over the buffer; a readable buffer has its first token scanned at once.
    explicit TextReader(Buffer& buffer);

    /// The look-ahead token, valid until the next token is scanned.
    std::basic_string_view<Unit> token_view() const
    {
        if (m_token_at)
            return {m_token_at, m_token_size};
        return m_token;
    }
    /// The look-ahead token as a string.
    const Text& token()
    {
        own_token();
        return m_token;
    }

private:
    void scan_token();
    bool scan_plain_token();
    void scan_other_token();
    bool scan_block_at(const Unit* pos);
    bool scan_string_at(const Unit* pos);
    void scan_full_token();
    void read_word();
    void read_string();
    void read_escape();
    void continue_line();
    void read_block();
    void skip_line_comment();
    void skip_block_comment();
    void set_token_at(const Unit* begin, const Unit* end);
    void own_token();
    void set_end();
    void set_end_if_end_text();
    [[noreturn]] void fail_at_end();

    bool more() { return m_pos != m_end || fill(); }
    bool fill();
    void open_text();
    void read_block_of_units();
    void put_buffer_back();

    // The look-ahead token: where it lies in the window when it was taken from there as it
    // stands (copied only when asked for as a string), else null and the token is m_token.
    const Unit* m_token_at = nullptr;
    std::size_t m_token_size = 0;
    Text m_token;
    std::uint32_t m_line = 1;
    bool m_at_eof = false;

    // The text being scanned: [m_pos, m_end) is what is left of the window. While a token's
    // units are taken as one piece, m_span is where that piece began.
    const Unit* m_pos = nullptr;
    const Unit* m_end = nullptr;
    const Unit* m_span = nullptr;
    const Unit* m_window_begin = nullptr;
    bool m_open = false;          ///< a window is set up
    bool m_last_window = false;   ///< nothing follows the window
    bool m_in_place = false;      ///< the window lies in the buffer's own text
    std::int64_t m_window_start = 0;  ///< the buffer position of an in-place window
    Text m_block;                     ///< a window read from the buffer
    std::string m_bytes;              ///< raw bytes of a block of 16-bit units
    std::uint32_t m_odd_byte = 0;     ///< a unit's first byte read at a block's end (0 or 1)
};

extern template class TextReader<char>;
extern template class TextReader<char16_t>;

}
