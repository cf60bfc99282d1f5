#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kq::host {

/// How a file is opened; the engine's buffer mode bits map onto these one by one.
struct FileOpenMode
{
    bool create = false;     ///< create when missing, truncate when present
    bool append = false;     ///< every write goes to the end
    bool read = false;
    bool write = false;
    bool exclusive = false;  ///< other exclusive openers fail while this one is open
    bool temporary = false;  ///< the file is removed when closed (with `create`)
};

/// Opens a file in binary mode (a created file takes the user's umask); -1 on failure, also
/// when `exclusive` is asked and another exclusive opener holds it.
int open_file(const char* path, const FileOpenMode& mode);

/// Closes a descriptor from `open_file`.
void close_file(int fd);

/// Reads up to n bytes; the count read, 0 at the end, -1 on failure (see `last_error_text`).
std::int64_t read_file(int fd, void* data, std::uint32_t n);

/// Writes up to n bytes; the count written, -1 on failure (see `last_error_text`).
std::int64_t write_file(int fd, const void* data, std::uint32_t n);

/// The system's reason for the last failed call of this thread ("No space left on device").
std::string last_error_text();

/// Moves the position (whence as lseek: 0 begin, 1 current, 2 end); the new position or -1.
std::int64_t seek_file(int fd, std::int64_t offset, int whence);

/// The length of the open file, -1 on failure; the position is kept.
std::int64_t file_length(int fd);

/// Whether the position of the open file is at (or beyond) its end.
bool is_file_at_end(int fd);

/// Whether a file or folder exists at the path.
bool file_exists(const char* path);

/// The last modification time of a file in nanoseconds since the epoch (as fine as the file
/// system keeps it, so that two writes within one second tell apart); nothing when missing.
std::optional<std::int64_t> file_modified_time(const char* path);

/// Removes a file; false when it could not be removed.
bool remove_file(const char* path);

}
