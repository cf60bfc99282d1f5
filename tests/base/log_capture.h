#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <system_error>

#include <unistd.h>

#include "engine/base/debug_output.h"
#include "engine/base/log.h"

namespace kq::test {

/// Collects the lines written to every log while it lives. Logs only reach listeners once
/// they are files, so the first capture points the log folder at a scratch folder.
class LogCapture
{
public:
    LogCapture()
    {
        // The run's own folder: a shared fixed one may belong to another user. The logs stay
        // open to the end of the run; the folder goes with the last static.
        static const struct Folder
        {
            Folder() : path(std::filesystem::temp_directory_path() / ("kq_test_logs_" + std::to_string(::getpid())))
            {
                std::filesystem::create_directories(path);
                set_log_dir(path.string() + "/");
            }
            ~Folder()
            {
                std::error_code ignored;
                std::filesystem::remove_all(path, ignored);
            }
            std::filesystem::path path;
        } folder;
        m_id = add_debug_listener([this](const std::string& line, const std::string* log) {
            if (log)
                m_text[*log] += line + "\n";
        });
    }
    ~LogCapture() { remove_debug_listener(m_id); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    /// Every line the named log received, each ended by "\n", after a "\n" of its own (so
    /// that "\n" + line + "\n" finds any whole line).
    std::string text(const std::string& log) const
    {
        const auto found = m_text.find(log);
        return "\n" + (found == m_text.end() ? std::string() : found->second);
    }

private:
    std::map<std::string, std::string> m_text;
    std::int32_t m_id = -1;
};

}
