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
    // The log's file: its writes always succeed for the writer; the first one the system
    // refuses (a full disk) is reported on standard error, the later ones are dropped.
    class Sink : public Buffer
    {
    public:
        explicit Sink(const std::string& path);

        std::uint32_t write(const void* data, std::uint32_t n) override;
        std::uint32_t read(void* data, std::uint32_t n) override { return m_file.read(data, n); }
        std::int64_t seek(std::int32_t offset, std::uint32_t origin) override { return m_file.seek(offset, origin); }
        bool is_eof() override { return m_file.is_eof(); }
        std::string name() const override { return m_file.name(); }
        std::uint64_t size() override { return m_file.size(); }

    private:
        FileBuffer m_file;
        bool m_reported = false;
    };

    Sink m_file;
    debug::ParseBuffer m_parse;
    TStream m_stream;
};

}
