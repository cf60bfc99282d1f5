#pragma once

#include <string>

#include "engine/base/buffer.h"
#include "engine/base/parse_buffer.h"
#include "engine/base/tstream.h"

namespace kq {

/// An open log: its file, framed by a started line when opened and a stopped line when
/// closed, and the text stream that writes into it.
class LogFile
{
public:
    /// Opens (appending) or creates the file and writes "<time> log started" and an empty line.
    explicit LogFile(const std::string& path);
    /// Writes "<time> log stopped" and an empty line, then closes the file.
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    /// The stream that log writers use.
    TStream& stream() { return m_stream; }

private:
    FileBuffer m_file;
    debug::ParseBuffer m_parse;
    TStream m_stream;
};

}
