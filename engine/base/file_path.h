#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace kq {

class Stream;
class TStream;

/// A file path in canonical form: "\" turned into "/" (a leading "\\" of a network path
/// kept) and lower case, so that two spellings of one resource compare equal. A path rooted
/// at "/" comes from the host (personal, current or executable folder) and keeps its case:
/// Linux file names are case-sensitive.
class FilePath
{
public:
    /// The empty path.
    FilePath() = default;
    /// The canonical form of the text.
    FilePath(const std::string& text) { assign(text); }
    /// The canonical form of the text.
    FilePath(const char* text) : FilePath(std::string(text)) {}

    /// Replaces the path by the canonical form of the text.
    void assign(const std::string& text);

    /// The path text.
    const std::string& str() const { return m_text; }
    /// Whether the path is empty.
    bool empty() const { return m_text.empty(); }
    /// Whether the path has a root.
    bool is_absolute() const { return root_length() > 0; }
    /// "/", a network root "\\host/" or a drive "c:/"; empty for a relative path.
    std::string root() const { return m_text.substr(0, root_length()); }
    /// Everything up to and including the last "/".
    std::string directory() const { return m_text.substr(0, filename_start()); }
    /// Everything after the last "/".
    std::string filename() const { return m_text.substr(filename_start()); }
    /// The file name without its last "." and extension.
    std::string stem() const;
    /// The text after the last "." of the file name; empty when it has none.
    std::string extension() const;
    /// Replaces the stem, keeping directory and extension.
    void set_stem(const std::string& stem);
    /// Replaces (or adds) the extension; an empty one removes it with its ".".
    void set_extension(const std::string& extension);
    /// The number of folders between the root and the file name.
    std::uint32_t directory_count() const;
    /// The folder of this index after the root, with its "/"; throws `IOException`
    /// "subdirectory index is out of range" or, without folders, "path is non-canonical".
    std::string subdirectory(std::uint32_t index) const;

    friend bool operator==(const FilePath&, const FilePath&) = default;
    friend std::strong_ordering operator<=>(const FilePath&, const FilePath&) = default;
    friend Stream& read_binary(Stream& stream, FilePath& path);

private:
    std::size_t root_length() const;
    std::size_t filename_start() const;
    std::size_t extension_dot() const;

    std::string m_text;
};

/// The folder joined with a relative path ("/" put between when missing); the folder is kept
/// as it is, the relative part made canonical. An absolute `rest` is returned alone.
FilePath join_path(const FilePath& folder, const std::string& rest);

/// Writes the path text as a quoted string.
TStream& operator<<(TStream& stream, const FilePath& path);
/// Takes the next token as a path (made canonical).
TStream& operator>>(TStream& stream, FilePath& path);
/// Writes the path text in the binary string form.
Stream& write_binary(Stream& stream, const FilePath& path);
/// Reads the path text in the binary string form, as it stands.
Stream& read_binary(Stream& stream, FilePath& path);

}
