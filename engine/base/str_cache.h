#pragma once

#include <cstddef>
#include <cstdint>

namespace kq {

class TStream;

/// An interned string: one word that refers to the one stored copy of its text, so equal
/// texts compare equal by the word alone. The word may instead hold a unique id, which has no
/// text and equals no interned text and no other id.
class StrCache {
public:
    /// The empty text.
    StrCache();
    /// The interned `text` (`get`).
    explicit StrCache(const char* text);

    /// The interned value of the zero-terminated `text`; stored copies live until process exit.
    static StrCache get(const char* text);
    /// A new unique id; throws `CoreException` "Unique adress buffer overflow" when none is left.
    static StrCache make_unique();
    /// The value of a word taken from `word` in this process.
    static StrCache from_word(std::uintptr_t word) { return StrCache(word); }
    /// How many distinct non-empty texts are stored.
    static std::size_t cached_count();

    /// True for the empty text only (a unique id is not empty).
    bool empty() const;
    /// True for a unique id.
    bool is_unique() const;
    /// The text: "" for the empty text and for a unique id.
    const char* c_str() const;
    /// The word itself: an address of stored text or a unique id.
    std::uintptr_t word() const { return m_word; }

    /// Order of the texts, byte by byte as unsigned bytes.
    static bool less_by_text(StrCache a, StrCache b);

    /// Identity of the words: equal texts, or the same unique id.
    friend bool operator==(StrCache a, StrCache b) { return a.m_word == b.m_word; }
    /// Order of the words (not of the texts).
    friend bool operator<(StrCache a, StrCache b) { return a.m_word < b.m_word; }

private:
    explicit StrCache(std::uintptr_t word) : m_word(word) {}

    std::uintptr_t m_word;
};

/// Writes the text as one quoted token (a unique id writes "").
TStream& operator<<(TStream& stream, StrCache value);
/// Takes the next token and interns it.
TStream& operator>>(TStream& stream, StrCache& value);

}
