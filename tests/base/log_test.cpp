#include "engine/base/log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/base/debug_output.h"
#include "engine/base/exception.h"
#include "engine/base/log_file.h"
#include "engine/base/parse_buffer.h"
#include "engine/base/tstream.h"
#include "tests/base/temp_dir.h"

namespace kq {
namespace {

std::string file_text(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The CR LF lines of the text, a time of day ("hh:mm:ss") at the start of a line shown as
// "<time>".
std::vector<std::string> lines_with_times_hidden(const std::string& text)
{
    const auto is_time = [](const std::string& line) {
        const std::string shape = "00:00:00";
        return line.size() >= shape.size() && std::equal(shape.begin(), shape.end(), line.begin(), [](char s, char c) {
                   return s == ':' ? c == ':' : std::isdigit(static_cast<unsigned char>(c)) != 0;
               });
    };
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::string line = text.substr(start, end - start);
        if (is_time(line))
            line.replace(0, 8, "<time>");
        lines.push_back(line);
    }
    return lines;
}

// Collects the broadcast lines for as long as it lives.
class Listener
{
public:
    Listener()
        : m_id(add_debug_listener([this](const std::string& line, const std::string* log) {
              m_lines.emplace_back(log ? *log : "", line);
          }))
    {
    }
    ~Listener() { remove_debug_listener(m_id); }

    const std::vector<std::pair<std::string, std::string>>& lines() const { return m_lines; }

private:
    std::int32_t m_id;
    std::vector<std::pair<std::string, std::string>> m_lines;
};

// Points the logs at a folder for one test; logs opened meanwhile stay open after it.
class ScopedLogDir
{
public:
    explicit ScopedLogDir(const std::string& dir) : m_old(get_log_dir()) { set_log_dir(dir); }
    ~ScopedLogDir() { set_log_dir(m_old); }

private:
    std::string m_old;
};

TEST(Log, WithoutFolderEveryLogIsTheNullLog)
{
    ScopedLogDir off("");
    TStream& log = get_log("log_test_null");
    EXPECT_EQ(&log, &get_log("log_test_other"));
    EXPECT_EQ(log.buffer().name(), "[null buffer]");
    log << "Starting" << t_io::endl;
}

TEST(Log, OpenedOnceInTheFolder)
{
    TempDir dir;
    ScopedLogDir on(dir.path());
    TStream& log = get_log("Log_Test_File");
    EXPECT_EQ(&log, &get_log("Log_Test_File"));
    log << "line" << t_io::endl;
    EXPECT_NE(file_text(dir.file("log_test_file.log")).find(" log started\r\n\r\nline\r\n"), std::string::npos);
}

// Writing to a log never fails for the writer, but a log that cannot be written must not be
// lost unseen: it is told once on standard error, however often it is written to.
TEST(Log, ALogThatCannotBeWrittenIsReportedOnce)
{
    TempDir dir;
    ScopedLogDir on(dir.path());
    std::filesystem::create_directories(dir.file("log_test_folder.log"));
    std::filesystem::create_symlink("/dev/full", dir.file("log_test_full.log"));
    struct Case
    {
        const char* name;
        const char* reason;
    };
    const Case cases[] = {
        {"log_test_folder", "can not be opened"},
        {"log_test_full", "No space left on device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::internal::CaptureStderr();
        for (int i = 0; i < 3; ++i)
            get_log(c.name) << "line " << i << t_io::endl;
        const std::string reported = testing::internal::GetCapturedStderr();
        const std::string expected = "log " + dir.file(std::string(c.name) + ".log") + " is not written: ";
        EXPECT_EQ(reported.find(expected), 0u) << reported;
        EXPECT_NE(reported.find(c.reason), std::string::npos) << reported;
        EXPECT_EQ(reported.find('\n'), reported.size() - 1) << "once: " << reported;
    }
}

// A log that failed in one folder is the null log only while that folder stays: pointing the
// logs elsewhere tries it again.
TEST(Log, ANewFolderRetriesALogThatFailed)
{
    TempDir bad;
    TempDir good;
    std::filesystem::create_directories(bad.file("log_test_retry.log"));
    {
        ScopedLogDir on(bad.path());
        testing::internal::CaptureStderr();
        EXPECT_EQ(get_log("log_test_retry").buffer().name(), "[null buffer]");
        testing::internal::GetCapturedStderr();
    }
    ScopedLogDir on(good.path());
    get_log("log_test_retry") << "retried" << t_io::endl;
    EXPECT_NE(file_text(good.file("log_test_retry.log")).find("retried\r\n"), std::string::npos);
}

TEST(LogFile, FramesEachRunAndAppends)
{
    TempDir dir;
    const std::string path = dir.file("application.log");
    {
        LogFile log(path);
        log.stream() << "first run" << t_io::endl;
    }
    {
        LogFile log(path);
        log.stream() << "second run" << t_io::endl;
    }
    const std::vector<std::string> expected = {
        "<time> log started", "", "first run", "", "<time> log stopped", "",
        "<time> log started", "", "second run", "", "<time> log stopped", "",
    };
    EXPECT_EQ(lines_with_times_hidden(file_text(path)), expected) << file_text(path);
}

TEST(LogFile, BroadcastsFinishedLines)
{
    TempDir dir;
    const std::string path = dir.file("game.log");
    Listener listener;
    {
        LogFile log(path);
        const std::size_t framing = listener.lines().size();
        EXPECT_EQ(framing, 2u) << "the started line and the empty line after it";
        log.stream() << "a\r\nb";
        ASSERT_EQ(listener.lines().size(), framing + 1);
        EXPECT_EQ(listener.lines().back(), std::make_pair(std::string("game"), std::string("a")));
        log.stream() << t_io::endl;
        EXPECT_EQ(listener.lines().back().second, "b");
        log.stream() << "c\r\nd\r\ne\r";
        EXPECT_EQ(listener.lines().size(), framing + 4);
        EXPECT_EQ(listener.lines()[framing + 2].second, "c");
        EXPECT_EQ(listener.lines()[framing + 3].second, "d");
    }
    EXPECT_NE(file_text(path).find("a\r\nb\r\nc\r\nd\r\ne\r"), std::string::npos);
}

TEST(DebugOutput, RemovedOrUnknownListeners)
{
    int calls = 0;
    const std::int32_t id = add_debug_listener([&](const std::string&, const std::string* log) {
        EXPECT_EQ(log, nullptr);
        ++calls;
    });
    EXPECT_GE(id, 0);
    debug_broadcast("x", nullptr);
    remove_debug_listener(id);
    remove_debug_listener(123456);
    debug_broadcast("y", nullptr);
    EXPECT_EQ(calls, 1);
}

TEST(Log, ErrorLayoutInTheErrorLog)
{
    TempDir dir;
    ScopedLogDir on(dir.path());
    Listener listener;
    log_error("x", "a", 7);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"error", "x"},
        {"error", "  File a, line 7."},
    };
    ASSERT_GE(listener.lines().size(), 2u);
    EXPECT_EQ(std::vector(listener.lines().end() - 2, listener.lines().end()), expected);
    EXPECT_THROW(log_error(nullptr, "a", 7), IOException);
}

}
}
