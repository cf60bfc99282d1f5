#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include <sys/types.h>

#include <gtest/gtest.h>

namespace kq::test {

namespace fs = std::filesystem;

/// The whole content of the file; empty when it cannot be read.
std::string read_text(const fs::path& path);

/// Polls until the condition holds; the limit only keeps a broken program from hanging the run.
template <class Condition>
bool eventually(Condition condition)
{
    for (int i = 0; i < 2000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
}

/// One started program with its own user data folder and its standard error in a file;
/// killed if the test leaves it running.
class VimoProcess
{
public:
    /// Starts the program; `pid` is -1 when it could not be started.
    VimoProcess(const fs::path& program, const fs::path& data_home, const fs::path& error_file);
    ~VimoProcess();
    VimoProcess(const VimoProcess&) = delete;
    VimoProcess& operator=(const VimoProcess&) = delete;

    /// The process id.
    pid_t pid() const { return m_pid; }
    /// Sends the signal to the process.
    void signal(int number) const;
    /// The exit code once the program ended by itself; nothing if it did not end in time or
    /// was killed by a signal.
    std::optional<int> exit_code();

private:
    bool ended();

    pid_t m_pid = -1;
    std::optional<int> m_status;
};

/// A scratch folder for one test, holding the user data folder of the programs it starts.
class VimoTest : public testing::Test
{
protected:
    VimoTest();
    ~VimoTest() override;

    /// Starts the program with standard error in the scratch file of that name.
    VimoProcess start(const fs::path& program = built_program(),
                      const std::string& error_name = "stderr.txt") const;
    /// What the program wrote to standard error into the scratch file of that name.
    std::string error_text(const std::string& error_name = "stderr.txt") const;
    /// The content of the log of that name in the game's own data folder.
    std::string log(const std::string& name) const;

    /// The program the build made.
    static fs::path built_program();

    const fs::path scratch;
    const fs::path data_home = scratch / "data_home";
    const fs::path app_dir = data_home / "KQ" / "Vimo";
};

}
