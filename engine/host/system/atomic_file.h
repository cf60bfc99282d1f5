#pragma once

#include <string>
#include <string_view>

namespace kq::host {

/// Replaces the file at `path` by `content`, so that no reader ever meets a part of it: the
/// bytes go to a temporary file created under a name of its own in the same folder, are
/// flushed to the disk and renamed over the path, and the folder is flushed. On failure the
/// old file is untouched, the temporary file is gone, and the system's reason is returned
/// ("<path>: <reason>"); empty on success. The file takes the user's umask.
std::string write_file_atomically(const std::string& path, std::string_view content);

/// Removes from the folder the temporary files that `write_file_atomically` left when its
/// process was killed: files named "<name>.<pid>.<n>.tmp" whose process no longer runs. Those
/// of running processes (this one included) are left alone. Returns how many were removed.
int remove_stale_temporaries(const std::string& folder);

}
