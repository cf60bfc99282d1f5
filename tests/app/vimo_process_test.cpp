// Starts the built program as users do and watches it from outside.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/host/system/instance_lock.h"

extern char** environ;

namespace kq {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;

std::string read_text(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Polls until the condition holds; the limit only keeps a broken program from hanging the run.
template <class Condition>
bool eventually(Condition condition)
{
    for (int i = 0; i < 2000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

// One started program, with its standard error in a file; killed if the test leaves it running.
class VimoProcess
{
public:
    VimoProcess(const fs::path& program, const std::string& data_home, const fs::path& error_file)
    {
        std::vector<std::string> variables;
        for (char** variable = environ; *variable; ++variable)
            if (std::string(*variable).rfind("XDG_DATA_HOME=", 0) != 0)
                variables.emplace_back(*variable);
        variables.push_back("XDG_DATA_HOME=" + data_home);
        std::vector<char*> envp;
        for (std::string& variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        std::string path = program.string();
        char* argv[] = {path.data(), nullptr};

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, error_file.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (posix_spawn(&m_pid, path.c_str(), &actions, nullptr, argv, envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~VimoProcess()
    {
        if (m_pid > 0 && !m_status) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    pid_t pid() const { return m_pid; }
    void signal(int number) { ::kill(m_pid, number); }

    /// The exit code once the program ended by itself; nothing if it did not end in time or
    /// was killed by a signal.
    std::optional<int> exit_code()
    {
        eventually([this] { return ended(); });
        if (!m_status || !WIFEXITED(*m_status))
            return std::nullopt;
        return WEXITSTATUS(*m_status);
    }

private:
    bool ended()
    {
        int status = 0;
        if (!m_status && ::waitpid(m_pid, &status, WNOHANG) == m_pid)
            m_status = status;
        return m_status.has_value();
    }

    pid_t m_pid = -1;
    std::optional<int> m_status;
};

class VimoProcessTest : public testing::Test
{
protected:
    VimoProcessTest()
        : scratch(fs::temp_directory_path() / ("kq_vimo_test_" + std::to_string(::getpid())))
    {
        fs::remove_all(scratch);
        fs::create_directories(data_home);
    }
    ~VimoProcessTest() override { fs::remove_all(scratch); }

    VimoProcess start(const std::string& error_name = "stderr.txt")
    {
        return VimoProcess(program, data_home.string(), scratch / error_name);
    }

    bool logged(const std::string& text)
    {
        return read_text(app_dir / "application.log").find(text) != std::string::npos;
    }

    const fs::path program = fs::path(KQ_BIN_DIR) / "vimo";
    fs::path scratch;
    fs::path data_home = scratch / "data_home";
    fs::path app_dir = data_home / "KQ" / "Vimo";
    fs::path lock_file = app_dir / "locker.tmp";
};

TEST_F(VimoProcessTest, RunsUntilAskedToQuitAndRemovesItsLock)
{
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        VimoProcess vimo = start();
        ASSERT_GT(vimo.pid(), 0);
        ASSERT_TRUE(eventually([&] { return logged("Running..."); }));
        EXPECT_EQ(host::InstanceLock::read_holder(lock_file.string()), std::uint32_t(vimo.pid()));
        vimo.signal(signal);
        EXPECT_EQ(vimo.exit_code(), 0);
        EXPECT_FALSE(fs::exists(lock_file));
        EXPECT_TRUE(logged("Shutdown done."));
        fs::remove(app_dir / "application.log");
    }
}

TEST_F(VimoProcessTest, ASecondInstanceAsksTheFirstToComeForwardAndLeaves)
{
    VimoProcess first = start();
    ASSERT_TRUE(eventually([&] { return logged("Running..."); }));
    const std::string lock_before = read_text(lock_file);

    VimoProcess second = start("second_stderr.txt");
    EXPECT_EQ(second.exit_code(), 0);
    EXPECT_EQ(read_text(lock_file), lock_before);
    EXPECT_EQ(host::InstanceLock::read_holder(lock_file.string()), std::uint32_t(first.pid()));
    EXPECT_TRUE(eventually([&] { return logged("Activation requested by another instance"); }));

    first.signal(SIGTERM);
    EXPECT_EQ(first.exit_code(), 0);
    EXPECT_FALSE(fs::exists(lock_file));
}

TEST_F(VimoProcessTest, AStaleLockFileDoesNotStopTheStart)
{
    fs::create_directories(app_dir);
    std::ofstream(lock_file, std::ios::binary) << "\xff\xff\xff\x7f left by a killed process";
    VimoProcess vimo = start();
    ASSERT_TRUE(eventually([&] { return logged("Running..."); }));
    EXPECT_EQ(read_text(lock_file).size(), 4u);
    EXPECT_EQ(host::InstanceLock::read_holder(lock_file.string()), std::uint32_t(vimo.pid()));
    vimo.signal(SIGTERM);
    EXPECT_EQ(vimo.exit_code(), 0);
    EXPECT_FALSE(fs::exists(lock_file));
}

TEST_F(VimoProcessTest, AFailingStartEndsInAnEmergencyShutdown)
{
    // Alone in its folder, the program finds no data: its first service fails to start.
    const fs::path lonely = scratch / "lonely" / "vimo";
    fs::create_directories(lonely.parent_path());
    fs::copy_file(program, lonely);
    VimoProcess vimo(lonely, data_home.string(), scratch / "stderr.txt");
    EXPECT_EQ(vimo.exit_code(), 1);
    EXPECT_TRUE(logged("\nEmergency shutdown completed."));
    EXPECT_FALSE(logged("Running..."));
    EXPECT_FALSE(fs::exists(lock_file));
    const std::string error = read_text(scratch / "stderr.txt");
    EXPECT_THAT(error, HasSubstr("KQ debug message\nApplication error: "));
    EXPECT_THAT(error, HasSubstr("\nPlease contact support.\n"));
}

TEST_F(VimoProcessTest, AFolderThatCannotBeUsedEndsWithAnError)
{
    struct Case
    {
        const char* title;
        fs::path blocking_file;  // a file where the program needs a folder
        const char* expected_error;
    };
    const Case cases[] = {
        {"no data folder", data_home, "Application error: kq.io: failed to get personal dir\n"},
        {"no application folder", data_home / "KQ", "locker.tmp] can not be opened\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove_all(data_home);
        fs::create_directories(c.blocking_file.parent_path());
        std::ofstream(c.blocking_file) << "not a folder";
        VimoProcess vimo = start();
        EXPECT_EQ(vimo.exit_code(), 1);
        const std::string error = read_text(scratch / "stderr.txt");
        EXPECT_THAT(error, HasSubstr("KQ debug message\n"));
        EXPECT_THAT(error, HasSubstr(c.expected_error));
        EXPECT_THAT(error, HasSubstr("Please contact support.\n"));
    }
}

}
}
