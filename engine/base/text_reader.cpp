#include "engine/base/text_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "engine/base/code_page.h"
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

// Every unit above 0x7F is a word unit, in either width.
inline CharClass class_of(char c)
{
    return char_classes[static_cast<unsigned char>(c)];
}

inline CharClass class_of(char16_t c)
{
    return c < 0x80 ? char_classes[c] : CharClass::word;
}

// A unit as the messages show it: a unit outside the game's code page shows as "?".
std::string unit_text(char c)
{
    return std::string(1, c);
}

std::string unit_text(char16_t unit)
{
    std::string out;
    if (!narrow_string(nullptr, std::u16string(1, unit), out))
        return "?";
    return out;
}

template <class Unit>
std::basic_string<Unit> end_text()
{
    return {Unit('#'), Unit('E'), Unit('O'), Unit('F'), Unit('#')};
}

std::string on_line(const char* before, std::uint32_t line, const char* after)
{
    return before + std::to_string(line) + after;
}

constexpr std::uint32_t block_bytes = 64 * 1024;

// Fast scanning of 8-bit text: where a run of word bytes or blanks ends (the blank run counts
// its line ends).
const char* skip_word_bytes(const char* pos, const char* end)
{
    while (pos != end && class_of(*pos) == CharClass::word)
        ++pos;
    return pos;
}

const char* skip_blank_bytes(const char* pos, const char* end, std::uint32_t& line)
{
    for (; pos != end && static_cast<unsigned char>(*pos) <= 0x20; ++pos)
        line += *pos == '\n';
    return pos;
}

// Eight bytes at a time: the high bit of each byte of a 64-bit word marks whether that byte
// is in a set, so the first member is the lowest mark. Bytes are taken in text order.
using Lanes = std::uint64_t;
constexpr Lanes lane_ones = 0x0101010101010101;
constexpr Lanes lane_highs = lane_ones * 0x80;
constexpr Lanes lane_lows = lane_ones * 0x7F;

inline Lanes load_lanes(const char* pos)
{
    Lanes lanes;
    std::memcpy(&lanes, pos, sizeof lanes);
    if constexpr (std::endian::native == std::endian::big)
        lanes = __builtin_bswap64(lanes);
    return lanes;
}

// Marks the bytes equal to `c`.
inline Lanes lanes_equal(Lanes lanes, char c)
{
    const Lanes diff = lanes ^ (lane_ones * static_cast<unsigned char>(c));
    return ~(((diff & lane_lows) + lane_lows) | diff) & lane_highs;
}

inline unsigned bytes_before(Lanes marks)
{
    return static_cast<unsigned>(std::countr_zero(marks)) / 8;
}

// A set of bytes at which a fast scan stops.
using ByteSet = std::array<bool, 256>;

constexpr ByteSet byte_set(std::initializer_list<char> members)
{
    ByteSet set{};
    for (char c : members)
        set[static_cast<unsigned char>(c)] = true;
    return set;
}

constexpr ByteSet string_stops = byte_set({'"', '\\', '\n'});
constexpr ByteSet block_stops = byte_set({'"', '[', ']', '\n'});

// The first byte of `stops` from `pos`, or `end`.
const char* find_stop(const char* pos, const char* end, const ByteSet& stops)
{
    while (pos != end && !stops[static_cast<unsigned char>(*pos)])
        ++pos;
    return pos;
}

std::uint32_t count_line_ends(const char* pos, const char* end)
{
    std::uint32_t lines = 0;
    while (const auto* line_end = static_cast<const char*>(std::memchr(pos, '\n', end - pos))) {
        ++lines;
        pos = line_end + 1;
    }
    return lines;
}

// The helpers below scan a token's rest to where it ends in the window, adding the line ends
// they pass to `lines`; they return null when the token does not end in the window (or needs
// the full scanner), and `lines` is then of no use.

// The rest of a block comment after "/*", to just after its closing slash: a slash closes
// it when the last symbol byte before it in the comment is "*" (blanks, line ends, quotes and
// word bytes in between change nothing).
const char* find_block_comment_end(const char* body, const char* end, std::uint32_t& lines)
{
    for (const char* pos = body;;) {
        const auto* slash = static_cast<const char*>(std::memchr(pos, '/', end - pos));
        if (!slash)
            return nullptr;
        const char* before = slash;
        while (before != body && class_of(before[-1]) != CharClass::symbol)
            --before;
        if (before != body && before[-1] == '*') {
            lines += count_line_ends(body, slash);
            return slash + 1;
        }
        pos = slash + 1;
    }
}

// The "]" closing a block whose text starts at `pos`. Brackets nest, and inside double quotes
// they do not count.
const char* find_block_end(const char* pos, const char* end, std::uint32_t& lines)
{
    int depth = 0;
    bool in_quote = false;
    for (;; ++pos) {
        pos = find_stop(pos, end, block_stops);
        if (pos == end)
            return nullptr;
        const char c = *pos;
        if (c == '\n') {
            ++lines;
        } else if (c == '"') {
            in_quote = !in_quote;
        } else if (!in_quote) {
            if (c == ']') {
                if (depth == 0)
                    return pos;
                --depth;
            } else {
                ++depth;
            }
        }
    }
}

// The first double quote or backslash of a string's rest after its opening quote, eight bytes
// at a time while eight are left.
const char* find_string_stop(const char* pos, const char* end, std::uint32_t& lines)
{
    for (;; ++pos) {
        for (; end - pos >= 8; pos += 8) {
            const Lanes lanes = load_lanes(pos);
            const Lanes stops = lanes_equal(lanes, '"') | lanes_equal(lanes, '\\') | lanes_equal(lanes, '\n');
            if (stops) {
                pos += bytes_before(stops);
                break;
            }
        }
        pos = find_stop(pos, end, string_stops);
        if (pos == end)
            return nullptr;
        if (*pos != '\n')
            return pos;
        ++lines;
    }
}

// The rest of a string from its first backslash, its text appended to `token`, to just
// after its closing quote; null also at an escape other than \\, \", \n, \r and \t.
const char* take_escaped_string(const char* pos, const char* end, std::uint32_t& lines, std::string& token)
{
    for (;;) {
        const char* stop = find_stop(pos, end, string_stops);
        if (stop == end)
            return nullptr;
        token.append(pos, static_cast<std::size_t>(stop - pos));
        if (*stop == '"')
            return stop + 1;
        if (*stop == '\n') {
            ++lines;
            token.push_back('\n');
            pos = stop + 1;
            continue;
        }
        if (end - stop < 2)
            return nullptr;
        switch (stop[1]) {
        case '\\':
        case '"':
            token.push_back(stop[1]);
            break;
        case 'n':
            token.push_back('\n');
            break;
        case 'r':
            token.push_back('\r');
            break;
        case 't':
            token.push_back('\t');
            break;
        default:
            return nullptr;
        }
        pos = stop + 2;
    }
}

}

template <class Unit>
TextReader<Unit>::TextReader(Buffer& buffer) : Stream(buffer)
{
    if (buffer.mode() & mode_read)
        scan_token();
}

template <class Unit>
TextReader<Unit>::~TextReader()
{
    put_buffer_back();
}

template <class Unit>
void TextReader<Unit>::error(const std::string& message)
{
    throw IOException("(in stream " + buffer().name() + " at line " + std::to_string(m_line) + ") " + message);
}

template <class Unit>
void TextReader<Unit>::fail_at_end()
{
    error("unexcepted end of file reached.");
}

template <class Unit>
std::uint32_t TextReader<Unit>::write(const void* data, std::uint32_t n)
{
    put_buffer_back();
    return Stream::write(data, n);
}

template <class Unit>
std::uint32_t TextReader<Unit>::read(void* data, std::uint32_t n)
{
    put_buffer_back();
    return Stream::read(data, n);
}

template <class Unit>
std::int64_t TextReader<Unit>::seek(std::int32_t offset, std::uint32_t origin)
{
    put_buffer_back();
    return Stream::seek(offset, origin);
}

template <class Unit>
std::int64_t TextReader<Unit>::tell()
{
    put_buffer_back();
    return Stream::tell();
}

// --- the window over the text ---

// Makes more text available at m_pos; false at the end of input. A piece being taken is
// kept in the token before its window is replaced.
template <class Unit>
bool TextReader<Unit>::fill()
{
    if (!m_open) {
        open_text();
        return m_pos != m_end;
    }
    if (m_last_window)
        return false;
    if (m_span)
        m_token.append(m_span, static_cast<std::size_t>(m_pos - m_span));
    // A read may bring half a unit only.
    do
        read_block_of_units();
    while (m_pos == m_end && !m_last_window);
    if (m_span)
        m_span = m_pos;
    return m_pos != m_end;
}

template <class Unit>
void TextReader<Unit>::open_text()
{
    m_open = true;
    if constexpr (sizeof(Unit) == 1) {
        if (auto* text = dynamic_cast<StringBuffer*>(&buffer())) {
            const std::string& content = text->str();
            m_window_start = Stream::tell();
            m_in_place = true;
            m_last_window = true;
            m_window_begin = content.data() + m_window_start;
            m_pos = m_window_begin;
            m_end = content.data() + content.size();
            return;
        }
    }
    m_in_place = false;
    m_last_window = false;
    m_odd_byte = 0;
    do
        read_block_of_units();
    while (m_pos == m_end && !m_last_window);
}

template <class Unit>
void TextReader<Unit>::read_block_of_units()
{
    if constexpr (sizeof(Unit) == 1) {
        m_block.resize(block_bytes);
        const std::uint32_t n = Stream::read(m_block.data(), block_bytes);
        m_block.resize(n);
        m_last_window = n == 0;
    } else {
        // Units are two bytes, low byte first; a unit cut by the block's end waits for the next.
        m_bytes.resize(m_odd_byte + block_bytes);
        const std::uint32_t n = Stream::read(m_bytes.data() + m_odd_byte, block_bytes);
        const std::size_t bytes = m_odd_byte + n;
        m_block.resize(bytes / 2);
        for (std::size_t i = 0; i < m_block.size(); ++i) {
            m_block[i] = static_cast<Unit>(static_cast<unsigned char>(m_bytes[2 * i]) |
                                           (static_cast<unsigned char>(m_bytes[2 * i + 1]) << 8));
        }
        m_odd_byte = bytes % 2;
        if (m_odd_byte)
            m_bytes[0] = m_bytes[bytes - 1];
        // A lone trailing byte counts as the end of input.
        m_last_window = n == 0;
    }
    m_window_begin = m_block.data();
    m_pos = m_window_begin;
    m_end = m_window_begin + m_block.size();
}

// Puts the buffer where the scanned text ends and forgets the window.
template <class Unit>
void TextReader<Unit>::put_buffer_back()
{
    if (!m_open)
        return;
    own_token();
    m_open = false;
    if (m_in_place) {
        Stream::seek(static_cast<std::int32_t>(m_window_start + (m_pos - m_window_begin)), seek_begin);
    } else {
        const std::int64_t unread = static_cast<std::int64_t>(m_end - m_pos) * sizeof(Unit) + m_odd_byte;
        if (unread > 0)
            Stream::seek(-static_cast<std::int32_t>(unread), seek_current);
    }
    m_pos = m_end = m_span = m_window_begin = nullptr;
    m_block.clear();
}

// --- the scanner ---

// The common tokens of 8-bit text take a fast path: words, slash words, one-byte symbols, blocks
// and strings with the one-character escapes, after blanks, line comments and block comments,
// when they end inside the window. Anything else is left to the full scanner, from the start
// of the token the fast path stopped at: the two apply the same rules. A token taken as it
// stands is left where it lies in the window. For 16-bit units the fast path is never
// instantiated.
template <class Unit>
void TextReader<Unit>::scan_token()
{
    m_at_eof = false;
    if (!scan_plain_token())
        scan_other_token();
}

// Words and one-byte symbols after blanks, the most common tokens, taken without a call;
// false for anything else, with the blanks before it passed.
template <class Unit>
inline bool TextReader<Unit>::scan_plain_token()
{
    if constexpr (sizeof(Unit) == 1) {
        const char* pos = m_pos;
        const char* const end = m_end;
        std::uint32_t line = m_line;
        pos = skip_blank_bytes(pos, end, line);
        m_line = line;
        m_pos = pos;
        if (pos == end)
            return false;
        const char first = *pos;
        const CharClass kind = class_of(first);
        const char* word = pos;
        if (kind == CharClass::symbol) {
            if (first == '/') {
                // A slash word; comments are left to the rest of the fast path.
                if (end - pos < 2 || class_of(pos[1]) != CharClass::word)
                    return false;
                ++word;
            } else {
                if (first == '[')
                    return scan_block_at(pos);
                if (first == ']')
                    return false;
                set_token_at(pos, pos + 1);
                m_pos = pos + 1;
                return true;
            }
        } else if (kind == CharClass::quote) {
            return scan_string_at(pos);
        }
        const char* word_end = skip_word_bytes(word, end);
        if (word_end == end)
            return false;
        set_token_at(pos, word_end);
        const unsigned char after = *word_end;
        if (after <= 0x20) {
            m_line += after == '\n';
            m_pos = word_end + 1;
        } else {
            m_pos = word_end;
        }
        return true;
    }
    return false;
}

// The rest of the fast path, then the full scanner.
template <class Unit>
void TextReader<Unit>::scan_other_token()
{
    if constexpr (sizeof(Unit) == 1) {
        const char* pos = m_pos;
        const char* const end = m_end;
        std::uint32_t line = m_line;
        for (;;) {
            pos = skip_blank_bytes(pos, end, line);
            if (pos == end)
                break;
            const char first = *pos;
            const CharClass kind = class_of(first);
            const char* word = pos;
            if (kind == CharClass::symbol) {
                if (first == '[') {
                    m_pos = pos;
                    m_line = line;
                    if (scan_block_at(pos))
                        return;
                    break;
                }
                if (first != '/') {
                    if (first == ']')
                        break;
                    set_token_at(pos, pos + 1);
                    m_pos = pos + 1;
                    m_line = line;
                    return;
                }
                if (end - pos < 2)
                    break;
                if (pos[1] == '/') {
                    const auto* line_end = static_cast<const char*>(std::memchr(pos + 2, '\n', end - pos - 2));
                    if (!line_end)
                        break;
                    pos = line_end + 1;
                    ++line;
                    continue;
                }
                if (pos[1] == '*') {
                    std::uint32_t lines = 0;
                    const char* after = find_block_comment_end(pos + 2, end, lines);
                    if (!after)
                        break;
                    pos = after;
                    line += lines;
                    continue;
                }
                if (class_of(pos[1]) != CharClass::word)
                    break;
                ++word;
            } else if (kind == CharClass::quote) {
                m_pos = pos;
                m_line = line;
                if (scan_string_at(pos))
                    return;
                break;            } else if (kind != CharClass::word) {
                break;
            }
            const char* word_end = skip_word_bytes(word, end);
            if (word_end == end)
                break;
            set_token_at(pos, word_end);
            const unsigned char after = *word_end;
            if (after <= 0x20) {
                m_line = line + (after == '\n');
                m_pos = word_end + 1;
            } else {
                m_line = line;
                m_pos = word_end;
            }
            return;
        }
        m_pos = pos;
        m_line = line;
    }
    m_token_at = nullptr;
    m_token.clear();
    scan_full_token();
}

// A block from its "[" at `pos`, where the scan stands; false when it does not close in the
// window.
template <class Unit>
bool TextReader<Unit>::scan_block_at(const Unit* pos)
{
    if constexpr (sizeof(Unit) == 1) {
        std::uint32_t lines = 0;
        const char* close = find_block_end(pos + 1, m_end, lines);
        if (!close)
            return false;
        set_token_at(pos + 1, close);
        m_pos = close + 1;
        m_line += lines;
        set_end_if_end_text();
        return true;
    }
    return false;
}

// A string from its opening quote at `pos`, where the scan stands; false when it does not end
// in the window or holds an escape other than the one-character ones.
template <class Unit>
bool TextReader<Unit>::scan_string_at(const Unit* pos)
{
    if constexpr (sizeof(Unit) == 1) {
        const char* const end = m_end;
        std::uint32_t lines = 0;
        const char* stop = find_string_stop(pos + 1, end, lines);
        if (!stop)
            return false;
        if (*stop == '"') {
            set_token_at(pos + 1, stop);
            m_pos = stop + 1;
        } else {
            m_token.assign(pos + 1, stop);
            const char* after = take_escaped_string(stop, end, lines, m_token);
            if (!after)
                return false;
            m_token_at = nullptr;
            m_pos = after;
        }
        m_line += lines;
        set_end_if_end_text();
        return true;
    }
    return false;
}

template <class Unit>
void TextReader<Unit>::set_token_at(const Unit* begin, const Unit* end)
{
    m_token_at = begin;
    m_token_size = static_cast<std::size_t>(end - begin);
}

// Copies a token that lies in the window into the reader's own string.
template <class Unit>
void TextReader<Unit>::own_token()
{
    if (m_token_at) {
        m_token.assign(m_token_at, m_token_size);
        m_token_at = nullptr;
    }
}

template <class Unit>
void TextReader<Unit>::scan_full_token()
{
    for (;;) {
        // Blanks and line ends before the token.
        for (;;) {
            if (m_pos == m_end && !fill()) {
                set_end();
                return;
            }
            const CharClass kind = class_of(*m_pos);
            if (kind == CharClass::newline)
                ++m_line;
            else if (kind != CharClass::blank)
                break;
            ++m_pos;
        }
        const Unit c = *m_pos;
        switch (class_of(c)) {
        case CharClass::word:
            read_word();
            return;
        case CharClass::quote:
            ++m_pos;
            read_string();
            set_end_if_end_text();
            return;
        default:
            break;
        }
        ++m_pos;
        if (c == Unit('[')) {
            read_block();
            set_end_if_end_text();
            return;
        }
        if (c == Unit(']'))
            error("mismatched closing bracked ']'.");
        if (c != Unit('/')) {
            m_token.assign(1, c);
            return;
        }
        if (!more()) {
            m_token.assign(1, c);
            return;
        }
        if (*m_pos == Unit('/')) {
            ++m_pos;
            skip_line_comment();
        } else if (*m_pos == Unit('*')) {
            ++m_pos;
            skip_block_comment();
        } else {
            // A slash not opening a comment starts a word-like token ("/b").
            m_token.assign(1, c);
            read_word();
            return;
        }
    }
}

// Appends the run of word units at m_pos; a blank or line end after it is consumed, a quote
// or symbol is left for the next token.
template <class Unit>
void TextReader<Unit>::read_word()
{
    m_span = m_pos;
    for (;;) {
        while (m_pos != m_end && class_of(*m_pos) == CharClass::word)
            ++m_pos;
        if (m_pos != m_end || !fill())
            break;
    }
    m_token.append(m_span, static_cast<std::size_t>(m_pos - m_span));
    m_span = nullptr;
    if (m_pos == m_end)
        return;
    const CharClass kind = class_of(*m_pos);
    if (kind == CharClass::newline) {
        ++m_line;
        ++m_pos;
    } else if (kind == CharClass::blank) {
        ++m_pos;
    }
}

template <class Unit>
void TextReader<Unit>::read_string()
{
    const std::uint32_t open_line = m_line;
    m_span = m_pos;
    for (;;) {
        if (m_pos == m_end && !fill()) {
            m_span = nullptr;
            error(on_line("quote opened on line ", open_line, " not matched."));
        }
        const Unit c = *m_pos;
        if (c == Unit('"') || c == Unit('\\')) {
            m_token.append(m_span, static_cast<std::size_t>(m_pos - m_span));
            m_span = nullptr;
            ++m_pos;
            if (c == Unit('"'))
                return;
            read_escape();
            m_span = m_pos;
            continue;
        }
        if (c == Unit('\n'))
            ++m_line;
        ++m_pos;
    }
}

template <class Unit>
void TextReader<Unit>::read_escape()
{
    if (!more()) {
        // Kept so that the string then fails as unterminated.
        m_token += Unit('\\');
        return;
    }
    Unit c = *m_pos++;
    switch (c) {
    case Unit('\\'):
    case Unit('"'):
        m_token += c;
        return;
    case Unit('n'):
        m_token += Unit('\n');
        return;
    case Unit('r'):
        m_token += Unit('\r');
        return;
    case Unit('t'):
        m_token += Unit('\t');
        return;
    case Unit('\r'):
        continue_line();
        return;
    case Unit(' '):
    case Unit('\t'):
        // Blanks may stand between the backslash and the line end it continues.
        do {
            if (!more())
                return;
            c = *m_pos++;
        } while (c == Unit(' ') || c == Unit('\t'));
        if (c != Unit('\r'))
            error("spare symbols between backslash and enter");
        continue_line();
        return;
    default:
        error("unknown backslash sequence \"\\" + unit_text(c) + "\"");
    }
}

// A line continuation: CR, then LF when it follows; nothing is kept.
template <class Unit>
void TextReader<Unit>::continue_line()
{
    if (more() && *m_pos == Unit('\n'))
        ++m_pos;
    ++m_line;
}

template <class Unit>
void TextReader<Unit>::read_block()
{
    const std::uint32_t open_line = m_line;
    int depth = 0;
    bool in_quote = false;
    m_span = m_pos;
    for (;; ++m_pos) {
        if (m_pos == m_end && !fill()) {
            m_span = nullptr;
            error(on_line("square bracket '[' opened on line ", open_line, " not matched."));
        }
        const Unit c = *m_pos;
        if (c == Unit('\n')) {
            ++m_line;
        } else if (c == Unit('"')) {
            in_quote = !in_quote;
        } else if (c == Unit('[') && !in_quote) {
            ++depth;
        } else if (c == Unit(']') && !in_quote) {
            if (depth == 0)
                break;
            --depth;
        }
    }
    m_token.append(m_span, static_cast<std::size_t>(m_pos - m_span));
    m_span = nullptr;
    ++m_pos;
}

template <class Unit>
void TextReader<Unit>::skip_line_comment()
{
    while (more()) {
        const Unit* line_end = std::find(m_pos, m_end, Unit('\n'));
        if (line_end != m_end) {
            m_pos = line_end + 1;
            ++m_line;
            return;
        }
        m_pos = m_end;
    }
}

template <class Unit>
void TextReader<Unit>::skip_block_comment()
{
    const std::uint32_t open_line = m_line;
    // "*" arms the end; only another symbol unit disarms it, so "* x /" also ends the comment.
    bool star = false;
    for (;;) {
        if (!more())
            error(on_line("comment '/*' opened on line ", open_line, " not matched by '*/'."));
        const Unit c = *m_pos++;
        if (c == Unit('*')) {
            star = true;
        } else if (c == Unit('/')) {
            if (star)
                return;
        } else {
            const CharClass kind = class_of(c);
            if (kind == CharClass::newline)
                ++m_line;
            else if (kind == CharClass::symbol)
                star = false;
        }
    }
}

template <class Unit>
void TextReader<Unit>::set_end()
{
    m_token_at = nullptr;
    m_token = end_text<Unit>();
    m_at_eof = true;
}

// A string or block whose text is the end token stands for the end as well.
template <class Unit>
void TextReader<Unit>::set_end_if_end_text()
{
    static constexpr Unit end_units[] = {Unit('#'), Unit('E'), Unit('O'), Unit('F'), Unit('#')};
    if (token_view() == std::basic_string_view<Unit>(end_units, 5))
        m_at_eof = true;
}

template class TextReader<char>;
template class TextReader<char16_t>;

}
