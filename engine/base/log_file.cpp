#include "engine/base/log_file.h"

#include <cstdio>
#include <ctime>

#include "engine/base/file_path.h"
#include "engine/host/system/file.h"

namespace kq {

namespace {

std::uint32_t log_mode(const std::string& path)
{
    return mode_write | (host::file_exists(path.c_str()) ? mode_append : mode_create);
}

std::string time_of_day()
{
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    std::strftime(text, sizeof text, "%X", std::localtime(&now));
    return text;
}

}

LogFile::Sink::Sink(const std::string& path) : Buffer(log_mode(path)), m_file(path, log_mode(path)) {}

std::uint32_t LogFile::Sink::write(const void* data, std::uint32_t n)
{
    if (m_file.write(data, n) != n && !m_reported) {
        m_reported = true;
        std::fprintf(stderr, "log %s is not written: %s\n", m_file.path().c_str(), host::last_error_text().c_str());
    }
    return n;
}

LogFile::LogFile(const std::string& path)
    : m_file(path), m_parse(m_file, FilePath(path).stem()), m_stream(m_parse)
{
    m_stream << time_of_day().c_str() << " log started" << t_io::endl << t_io::endl;
}

LogFile::~LogFile()
{
    m_stream << t_io::endl << time_of_day().c_str() << " log stopped" << t_io::endl << t_io::endl;
}

}
