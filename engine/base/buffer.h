#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kq {

/// Open-mode bits of a buffer.
inline constexpr std::uint32_t mode_create = 0x01;      ///< create when missing, truncate when present
inline constexpr std::uint32_t mode_append = 0x02;      ///< every write goes to the end
inline constexpr std::uint32_t mode_read = 0x04;        ///< readable; a text reader scans at once
inline constexpr std::uint32_t mode_write = 0x08;       ///< writable
inline constexpr std::uint32_t mode_deny_write = 0x10;  ///< others may not write while open
inline constexpr std::uint32_t mode_deny_read = 0x20;   ///< others may not read while open
inline constexpr std::uint32_t mode_temporary = 0x40;   ///< with create: removed when closed

/// Origin bits of `Buffer::seek`.
inline constexpr std::uint32_t seek_begin = 1;
inline constexpr std::uint32_t seek_current = 2;
inline constexpr std::uint32_t seek_end = 4;

/// A byte store with an open mode and a name for error texts.
class Buffer
{
public:
    /// A buffer with these open-mode bits.
    explicit Buffer(std::uint32_t mode) : m_mode(mode) {}
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    virtual ~Buffer() = default;

    /// Writes up to n bytes; returns the count written.
    virtual std::uint32_t write(const void* data, std::uint32_t n) = 0;
    /// Reads up to n bytes; returns the count read, 0 at the end.
    virtual std::uint32_t read(void* data, std::uint32_t n) = 0;
    /// Moves the position by offset from the origin bits; returns the new position.
    virtual std::int64_t seek(std::int32_t offset, std::uint32_t origin) = 0;
    /// Whether the position is at the end of the content.
    virtual bool is_eof() = 0;
    /// The name that error texts show for this buffer.
    virtual std::string name() const = 0;
    /// The length of the content in bytes.
    virtual std::uint64_t size() = 0;

    /// The open-mode bits.
    std::uint32_t mode() const { return m_mode; }

private:
    std::uint32_t m_mode;
};

/// A file opened by path; throws `IOException` when it cannot be opened.
class FileBuffer : public Buffer
{
public:
    /// Opens the file with the mode bits (deny bits lock it against other denying openers).
    FileBuffer(const std::string& path, std::uint32_t mode);
    ~FileBuffer() override;

    /// Writes to the file (at its end with `mode_append`).
    std::uint32_t write(const void* data, std::uint32_t n) override;
    /// Reads from the position; throws `IOException` when the system fails to read.
    std::uint32_t read(void* data, std::uint32_t n) override;
    /// Seeks from the first set origin bit of begin, current, end (none: begin).
    std::int64_t seek(std::int32_t offset, std::uint32_t origin) override;
    /// Whether the position is at the file's end.
    bool is_eof() override;
    /// "[file " + the path in double quotes + "]".
    std::string name() const override;
    /// The file's length; the position is kept.
    std::uint64_t size() override;

    /// The path as passed to open.
    const std::string& path() const { return m_path; }

private:
    std::uint32_t read_checked(char* out, std::uint32_t n);
    std::uint32_t take_read_ahead(char* out, std::uint32_t n);
    void fill_read_ahead();
    void drop_read_ahead();

    int m_fd = -1;
    std::string m_path;
    // The text scanners read one byte at a time and step back by seeking; a block read ahead
    // serves them without a system call per byte. The descriptor stands at the block's end.
    std::vector<char> m_ahead;
    std::int64_t m_ahead_start = 0;  // file position of the block's first byte
    std::size_t m_ahead_pos = 0;     // next byte to hand out
    std::size_t m_ahead_end = 0;     // bytes in the block
};

/// An in-memory text: written at its end, read from a position.
class StringBuffer : public Buffer
{
public:
    /// An empty writable buffer (`mode_create` and `mode_write`).
    StringBuffer();
    /// A readable buffer over a copy of the text.
    explicit StringBuffer(std::string text);
    /// A readable buffer over a copy of the text (which must not be null).
    explicit StringBuffer(const char* text) : StringBuffer(std::string(text)) {}

    /// Appends at the end whatever the position, and moves the position by n.
    std::uint32_t write(const void* data, std::uint32_t n) override;
    /// Copies what is left, up to n bytes, from the position.
    std::uint32_t read(void* data, std::uint32_t n) override;
    /// Applies the origin bits in the order begin, end (counting back), current; kept within
    /// the content.
    std::int64_t seek(std::int32_t offset, std::uint32_t origin) override;
    /// Whether the position is at the end of the content.
    bool is_eof() override { return m_position >= m_content.size(); }
    /// "[" + the whole content + "]".
    std::string name() const override { return "[" + m_content + "]"; }
    /// The content's length.
    std::uint64_t size() override { return m_content.size(); }

    /// The whole content.
    const std::string& str() const { return m_content; }

private:
    std::string m_content;
    std::size_t m_position = 0;
};

/// The whole content of a buffer from its position to its end, however large; a failing read
/// throws as the buffer does.
std::string read_all(Buffer& buffer);

/// A sink that drops everything written and reads nothing.
class NullBuffer : public Buffer
{
public:
    /// A buffer with `mode_create` and `mode_write`.
    NullBuffer() : Buffer(mode_create | mode_write) {}

    /// Accepts and drops the bytes; returns n.
    std::uint32_t write(const void*, std::uint32_t n) override { return n; }
    /// Returns 0.
    std::uint32_t read(void*, std::uint32_t) override { return 0; }
    /// Returns 0.
    std::int64_t seek(std::int32_t, std::uint32_t) override { return 0; }
    /// Always true.
    bool is_eof() override { return true; }
    /// "[null buffer]".
    std::string name() const override { return "[null buffer]"; }
    /// Always 0.
    std::uint64_t size() override { return 0; }
};

}
