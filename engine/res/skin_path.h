#pragma once

#include <cstddef>
#include <string>

#include "engine/base/str_cache.h"

namespace kq {

class BStream;
class TStream;

/// The path of a skin node: the interned names from a starting node down to it, written
/// dialogs.tip. A path whose first name is the empty name is relative; the empty path names
/// the base itself. Up to 32 names live inside the object, longer paths on the heap.
class SkinPath
{
public:
    /// Names held without heap storage.
    static constexpr std::size_t inline_capacity = 32;

    /// The empty path.
    SkinPath() = default;
    /// The path parsed from the text; throws `CoreException` "invalid path [<text>] format".
    SkinPath(const char* text);
    /// The path parsed from the text, as above.
    explicit SkinPath(const std::string& text);
    /// A copy of `base` followed by `name`.
    SkinPath(const SkinPath& base, StrCache name);
    /// A copy; a heap path gets an array of exactly its size.
    SkinPath(const SkinPath& other);
    /// Replaces the names by those of `other`.
    SkinPath& operator=(const SkinPath& other);
    ~SkinPath();

    /// Fills `path` from the text (empty text: the empty path); throws `CoreException`
    /// "invalid path [<text>] format" for a character outside 0-9, A-Z and '_' to 'z'.
    static void parse(SkinPath& path, const char* text);

    /// The number of names.
    std::size_t size() const { return m_size; }
    /// Whether the path holds no name.
    bool empty() const { return m_size == 0; }
    /// The name at an index below `size`.
    StrCache operator[](std::size_t index) const { return m_data[index]; }
    StrCache& operator[](std::size_t index) { return m_data[index]; }
    /// The names in order.
    const StrCache* begin() const { return m_data; }
    const StrCache* end() const { return m_data + m_size; }
    /// Whether the names are held on the heap.
    bool on_heap() const { return m_data != m_inline; }

    /// Sets the number of names; new ones are the empty name; 0 frees heap storage.
    void resize(std::size_t size);
    /// Inserts a name before `position` (at most `size`), shifting the tail up.
    void insert(std::size_t position, StrCache name);
    /// Removes the name at `position`, shifting the tail down.
    void erase(std::size_t position);

    /// Whether the first name is the empty name.
    bool is_relative() const { return m_size > 0 && m_data[0].empty(); }
    /// Whether `prefix` is not longer than this path and equals its first names.
    bool starts_with(const SkinPath& prefix) const;
    /// This path resolved against `base`: empty gives the base, a relative path the base
    /// followed by the names after the first, an absolute path itself.
    SkinPath resolve(const SkinPath& base) const;
    /// The names joined by "." (an anonymous name gives no characters).
    std::string text() const;

    /// Same names in the same order.
    friend bool operator==(const SkinPath& a, const SkinPath& b);
    /// Order of the name sequences by interned identity (not alphabetical; a proper prefix
    /// comes first), for maps keyed by paths.
    friend bool operator<(const SkinPath& a, const SkinPath& b);

private:
    void set_size(std::size_t size);

    StrCache m_inline[inline_capacity];
    StrCache* m_data = m_inline;
    std::size_t m_size = 0;
};

/// The names of `a` followed by those of `b`.
SkinPath operator+(const SkinPath& a, const SkinPath& b);
/// A copy of `base` followed by the names parsed from the text.
SkinPath operator+(const SkinPath& base, const char* text);
/// `count` names of `path` from index `start` (both within the path).
SkinPath sub_path(const SkinPath& path, std::size_t start, std::size_t count);
/// Replaces `base` by `path` resolved against it.
void resolve_in_place(const SkinPath& path, SkinPath& base);

/// Writes the names joined by "."; a null name fails with "Unable to store null-string!".
TStream& operator<<(TStream& stream, const SkinPath& path);
/// Writes the path as one token that parses back to the same names: the empty path as "",
/// and a path ending in an empty name with one more "." (the parser drops a trailing ".").
void write_path_token(TStream& stream, const SkinPath& path);
/// Takes one token and parses it; a bad path is a stream error with the parser's message.
TStream& operator>>(TStream& stream, SkinPath& path);

/// Writes the name count (u32) and each name as an interned string.
void write_binary(BStream& stream, const SkinPath& path);
/// Reads what `write_binary` wrote; "unexpected end of buffer." when it runs short.
void read_binary(BStream& stream, SkinPath& path);

}
