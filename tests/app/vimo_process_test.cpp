// Starts the built program as users do and watches it from outside.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/host/system/instance_lock.h"
#include "vimo_process.h"

namespace kq::test {
namespace {

using testing::HasSubstr;

class VimoProcessTest : public VimoTest
{
protected:
    bool logged(const std::string& text) const { return log("application").find(text) != std::string::npos; }

    std::uint32_t lock_holder() const { return host::InstanceLock::read_holder(lock_file.string()); }

    const fs::path lock_file = app_dir / "locker.tmp";
};

TEST_F(VimoProcessTest, RunsUntilAskedToQuitAndRemovesItsLock)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(signal);
        VimoProcess vimo = start();
        ASSERT_GT(vimo.pid(), 0);
        ASSERT_TRUE(eventually([&] { return logged("Running..."); }));
        // The user's data folder, not the game's folder inside it.
        EXPECT_TRUE(logged("\nPersonal dir \"" + data_home.string() + "/\"\r\n"));
        EXPECT_EQ(lock_holder(), std::uint32_t(vimo.pid()));
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

    VimoProcess second = start(built_program(), "second_stderr.txt");
    EXPECT_EQ(second.exit_code(), 0);
    EXPECT_EQ(read_text(lock_file), lock_before);
    EXPECT_EQ(lock_holder(), std::uint32_t(first.pid()));
    EXPECT_TRUE(eventually([&] { return logged("Activation requested by another instance"); }));
    // The second instance leaves the logs to the first.
    const std::string log_text = log("application");
    EXPECT_EQ(log_text.find("Starting Vimo..."), log_text.rfind("Starting Vimo..."));

    first.signal(SIGTERM);
    EXPECT_EQ(first.exit_code(), 0);
    EXPECT_FALSE(fs::exists(lock_file));
}

// A killed run leaves its lock file, and the temporary file of a save it was writing.
TEST_F(VimoProcessTest, LeftoversOfAKilledRunDoNotStopTheStartNorStay)
{
    fs::create_directories(app_dir);
    std::ofstream(lock_file, std::ios::binary) << "\xff\xff\xff\x7f left by a killed process";
    const pid_t ended = fork();
    if (ended == 0)
        _exit(0);
    ASSERT_GT(ended, 0);
    waitpid(ended, nullptr, 0);
    const fs::path save_part = app_dir / ("game.cfg." + std::to_string(ended) + ".0.tmp");
    std::ofstream(save_part) << "a save cut short";
    VimoProcess vimo = start();
    ASSERT_TRUE(eventually([&] { return logged("Running..."); }));
    EXPECT_FALSE(fs::exists(save_part));
    EXPECT_EQ(read_text(lock_file).size(), 4u);
    EXPECT_EQ(lock_holder(), std::uint32_t(vimo.pid()));
    vimo.signal(SIGTERM);
    EXPECT_EQ(vimo.exit_code(), 0);
    EXPECT_FALSE(fs::exists(lock_file));
}

TEST_F(VimoProcessTest, AFailingStartEndsInAnEmergencyShutdown)
{
    // Alone in its folder, the program finds no data: its first service fails to start.
    const fs::path lonely = scratch / "lonely" / "vimo";
    fs::create_directories(lonely.parent_path());
    fs::copy_file(built_program(), lonely);
    VimoProcess vimo = start(lonely);
    EXPECT_EQ(vimo.exit_code(), 1);
    EXPECT_TRUE(logged("\nEmergency shutdown completed."));
    EXPECT_FALSE(logged("Running..."));
    EXPECT_FALSE(fs::exists(lock_file));
    const std::string error = error_text();
    EXPECT_THAT(error, HasSubstr("KQ debug message\nApplication error: "));
    EXPECT_THAT(error, HasSubstr("\nPlease contact support.\n"));
    // What it looked for names the file that says where data lies.
    EXPECT_THAT(error, HasSubstr("\r\nSearched " + lonely.parent_path().string() + "/, "));
    EXPECT_THAT(error, HasSubstr("; no resource registry file " + lonely.parent_path().string() + "/default.root."));
}

TEST_F(VimoProcessTest, AnActivationSocketThatCannotListenIsLoggedAndTheGameRuns)
{
    fs::create_directories(app_dir / "activation.sock" / "inside");
    VimoProcess vimo = start();
    ASSERT_TRUE(eventually([&] { return logged("Running..."); }));
    EXPECT_TRUE(logged("Activation socket " + (app_dir / "activation.sock").string() +
                       " not opened: Address already in use"));
    vimo.signal(SIGTERM);
    EXPECT_EQ(vimo.exit_code(), 0);
}

TEST_F(VimoProcessTest, AFolderThatCannotBeUsedEndsWithAnError)
{
    struct Case
    {
        const char* title;
        fs::path blocking_file;  // a file where the program needs a folder, or inside the one it needs as a file
        std::string expected_error;
    };
    const Case cases[] = {
        {"no data folder", data_home,
         "Application error: kq.io: folder [" + data_home.string() + "/] can not be made: Not a directory\n"},
        {"no application folder", data_home / "KQ",
         "Application error: kq.io: folder [" + (data_home / "KQ").string() + "/] can not be made: Not a directory\n"},
        {"no lock file", lock_file / "inside",
         "Application error: kq.io: file [" + lock_file.string() + "] can not be opened: Is a directory; the personal folder " +
             app_dir.string() + "/ must be writable\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove_all(data_home);
        fs::create_directories(c.blocking_file.parent_path());
        std::ofstream(c.blocking_file) << "not where the program needs it";
        VimoProcess vimo = start();
        EXPECT_EQ(vimo.exit_code(), 1);
        const std::string error = error_text();
        EXPECT_THAT(error, HasSubstr("KQ debug message\n"));
        EXPECT_THAT(error, HasSubstr(c.expected_error));
        EXPECT_THAT(error, HasSubstr("Please contact support.\n"));
    }
}

}
}
