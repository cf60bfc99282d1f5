// Starts the built program with its data tree and checks the services it brings up and down.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

extern char** environ;

namespace kq {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::Not;

std::string read_text(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Polls until the condition holds; the limit only keeps a broken program from hanging the run.
template <class Condition>
bool eventually(Condition condition)
{
    for (int i = 0; i < 2000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
}

class VimoStartTest : public testing::Test
{
protected:
    VimoStartTest() : scratch(fs::temp_directory_path() / ("kq_vimo_start_" + std::to_string(::getpid())))
    {
        fs::remove_all(scratch);
        fs::create_directories(data_home);
    }
    ~VimoStartTest() override
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        fs::remove_all(scratch);
    }

    // A copy of the program beside a copy of its data tree, which a test may damage.
    fs::path copy_game()
    {
        const fs::path bin(KQ_BIN_DIR);
        const fs::path game = scratch / "game";
        fs::create_directories(game);
        fs::copy_file(bin / "vimo", game / "vimo");
        fs::copy_file(bin / "default.root", game / "default.root");
        fs::copy(bin / "data", game / "data", fs::copy_options::recursive);
        return game / "vimo";
    }

    // Starts the program with its own data folder and its standard error in a file.
    void start(const fs::path& program)
    {
        std::vector<std::string> variables;
        for (char** variable = environ; *variable; ++variable)
            if (std::string(*variable).rfind("XDG_DATA_HOME=", 0) != 0)
                variables.emplace_back(*variable);
        variables.push_back("XDG_DATA_HOME=" + data_home.string());
        std::vector<char*> envp;
        for (std::string& variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        std::string path = program.string();
        char* argv[] = {path.data(), nullptr};

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, error_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        ASSERT_EQ(posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
    }

    // The exit code, or -1 when the program did not end by itself in time.
    int exit_code()
    {
        int status = 0;
        const auto reaped = [&] {
            if (pid > 0 && ::waitpid(pid, &status, WNOHANG) == pid)
                pid = -1;
            return pid < 0;
        };
        return eventually(reaped) && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string log(const std::string& name) { return read_text(app_dir / (name + ".log")); }

    fs::path scratch;
    fs::path data_home = scratch / "data_home";
    fs::path app_dir = data_home / "KQ" / "Vimo";
    fs::path error_file = scratch / "stderr.txt";
    pid_t pid = -1;
};

TEST_F(VimoStartTest, StartsItsServicesFromTheDataTreeAndStopsThemInReverse)
{
    start(fs::path(KQ_BIN_DIR) / "vimo");
    ASSERT_TRUE(eventually([&] { return log("application").find("Running...") != std::string::npos; }))
        << read_text(error_file);
    // Only the running skin service gives res a loader of dictionaries.
    EXPECT_THAT(log("res"), HasSubstr("Loading \"class kq::Dictionary\" \"skin/main/dic.xml\" 0..."));

    ::kill(pid, SIGTERM);
    EXPECT_EQ(exit_code(), 0) << read_text(error_file);
    EXPECT_THAT(log("application"), HasSubstr("Shutdown done."));
    // The skin service unloads the dictionary while res still runs; res stops after it.
    EXPECT_THAT(log("res"), HasSubstr("Resource skin/main/dic.xml 0 dropped."));
    EXPECT_THAT(log("error"), Not(HasSubstr("Not all services unregistered")));
    EXPECT_THAT(log("error"), Not(HasSubstr("failed to shutdown")));
}

TEST_F(VimoStartTest, ABrokenDictionaryEndsTheStartNamingTheFile)
{
    struct Case { const char* title; const char* content; const char* expected; };
    const Case cases[] = {
        {"damaged", "<dictionary>\n<window>\n</dictionary>\n", "/data/skin/main/dic.xml\"] at line 3) malformed XML"},
        {"missing", nullptr, "skin/main/dic.xml"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove_all(scratch / "game");
        const fs::path program = copy_game();
        const fs::path dictionary = program.parent_path() / "data/skin/main/dic.xml";
        if (c.content)
            std::ofstream(dictionary, std::ios::binary | std::ios::trunc) << c.content;
        else
            fs::remove(dictionary);

        start(program);
        EXPECT_EQ(exit_code(), 1);
        const std::string error = read_text(error_file);
        EXPECT_THAT(error, HasSubstr("Application error: "));
        EXPECT_THAT(error, HasSubstr(c.expected));
    }
}

}
}
