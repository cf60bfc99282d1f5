#pragma once

#include <string>

namespace kq {

class TStream;

/// The text stream of the log of this name; the null log (which drops everything) unless a
/// log folder is set and the file "<folder>/<name>.log" opens. Never fails.
TStream& get_log(const std::string& name);

/// Sets the folder where logs are written; empty (the start value) keeps every log null.
/// A new folder lets logs that could not be opened before be tried again there.
void set_log_dir(const std::string& dir);

/// The folder where logs are written; empty when every new log is the null log.
const std::string& get_log_dir();

/// Writes the message, then "  File <file>, line <line>." to the "error" log. Never throws
/// by itself; a null message or file name is the stream's null-string error.
void log_error(const char* message, const char* file, int line);

}
