// Starts the built program with its data tree and checks the services it brings up and down.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "vimo_process.h"

namespace kq::test {
namespace {

using testing::HasSubstr;
using testing::Not;

class VimoStartTest : public VimoTest
{
protected:
    // A copy of the program beside a copy of its data tree, which a test may damage. The tree
    // comes from the sources: the built one changes while other tests run the game there.
    fs::path copy_game() const
    {
        const fs::path data = fs::path(KQ_SOURCE_DIR) / "data";
        const fs::path game = scratch / "game";
        fs::create_directories(game);
        fs::copy_file(built_program(), game / "vimo");
        fs::copy_file(data / "default.root", game / "default.root");
        fs::copy(data, game / "data", fs::copy_options::recursive);
        return game / "vimo";
    }
};

TEST_F(VimoStartTest, StartsItsServicesFromTheDataTreeAndStopsThemInReverse)
{
    VimoProcess vimo = start();
    ASSERT_TRUE(eventually([&] { return log("application").find("Running...") != std::string::npos; }))
        << error_text();
    // Only the running skin service gives res a loader of dictionaries.
    EXPECT_THAT(log("res"), HasSubstr("Loading \"class kq::Dictionary\" \"skin/main/dic.xml\" 0..."));
    EXPECT_THAT(log("audio"), HasSubstr("BASS audio system init successful"));

    vimo.signal(SIGTERM);
    EXPECT_EQ(vimo.exit_code(), 0) << error_text();
    EXPECT_THAT(log("application"), HasSubstr("Shutdown done."));
    // The skin service unloads the dictionary while res still runs; res stops after it.
    EXPECT_THAT(log("res"), HasSubstr("Resource skin/main/dic.xml 0 dropped."));
    EXPECT_THAT(log("audio"), HasSubstr("Bass audio system shutdown."));
    EXPECT_THAT(log("error"), Not(HasSubstr("Not all services unregistered")));
    EXPECT_THAT(log("error"), Not(HasSubstr("failed to shutdown")));
}

TEST_F(VimoStartTest, OpensItsWindowAndClosesItWhenAskedToQuit)
{
    VimoProcess vimo = start();
    ASSERT_TRUE(eventually([&] { return log("window").find("- created: ") != std::string::npos; }))
        << error_text() << log("error");
    EXPECT_THAT(log("window"), HasSubstr("- video driver: "));

    vimo.signal(SIGTERM);
    EXPECT_EQ(vimo.exit_code(), 0) << error_text();
    EXPECT_THAT(log("window"), HasSubstr("- destroyed."));
    EXPECT_THAT(log("error"), Not(HasSubstr("failed to shutdown")));
}

// Two games starting at once on one data tree (two users, or a quick double start) both
// write the binary copies of the skin documents: neither may read a half-written copy, and
// what they leave is whole.
TEST_F(VimoStartTest, TwoGamesStartingOnOneDataTreeLeaveWholeBinaryCopies)
{
    const fs::path program = copy_game();
    const fs::path data = program.parent_path() / "data";
    const auto app_log = [this](const char* user, const char* name) {
        return read_text(scratch / user / "KQ" / "Vimo" / (std::string(name) + ".log"));
    };
    const auto running = [&](const char* user) { return app_log(user, "application").find("Running...") != std::string::npos; };
    {
        VimoProcess first(program, scratch / "first", scratch / "first_stderr.txt");
        VimoProcess second(program, scratch / "second", scratch / "second_stderr.txt");
        ASSERT_TRUE(eventually([&] { return running("first") && running("second"); }))
            << read_text(scratch / "first_stderr.txt") << read_text(scratch / "second_stderr.txt");
        first.signal(SIGTERM);
        second.signal(SIGTERM);
        EXPECT_EQ(first.exit_code(), 0);
        EXPECT_EQ(second.exit_code(), 0);
    }
    int copies = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(data)) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
        copies += entry.path().extension() == ".sdb";
    }
    EXPECT_GT(copies, 30);

    // A later start reads every copy whole.
    VimoProcess third(program, scratch / "third", scratch / "third_stderr.txt");
    ASSERT_TRUE(eventually([&] { return running("third"); })) << read_text(scratch / "third_stderr.txt");
    third.signal(SIGTERM);
    EXPECT_EQ(third.exit_code(), 0);
    EXPECT_THAT(app_log("third", "skin"), HasSubstr("Attaching"));
    EXPECT_THAT(app_log("third", "skin"), Not(HasSubstr("damaged binary copy")));
}

// What earlier runs may leave: a managed register file whose folder is gone, a binary copy of
// another document in place of a copy, the temporary file of a writer killed mid-write. None of
// them stops the game, and the temporary file does not outlive the next start.
TEST_F(VimoStartTest, LeftoversOfEarlierRunsDoNotStopTheGame)
{
    const fs::path program = copy_game();
    const fs::path game = program.parent_path();
    const fs::path ui = game / "data/skin/ui";
    std::ofstream(game / "default.root", std::ios::app) << "\nREGISTER \"gone/files.reg\" MANAGE\n";
    const auto running = [this] { return log("application").find("Running...") != std::string::npos; };
    {
        VimoProcess vimo = start(program);
        ASSERT_TRUE(eventually(running)) << error_text();
        vimo.signal(SIGTERM);
        EXPECT_EQ(vimo.exit_code(), 0) << error_text();
        EXPECT_THAT(log("error"), HasSubstr("Register file " + (game / "gone/files.reg").string() + " not written: "));
        EXPECT_THAT(log("application"), HasSubstr("Shutdown done."));
    }
    fs::remove_all(app_dir);
    fs::copy_file(game / "data/skin/window/window.sdb", ui / "ui.sdb", fs::copy_options::overwrite_existing);
    const pid_t ended = fork();
    if (ended == 0)
        _exit(0);
    ASSERT_GT(ended, 0);
    waitpid(ended, nullptr, 0);
    const fs::path stale = ui / ("ui.sdb." + std::to_string(ended) + ".0.tmp");
    std::ofstream(stale) << "a copy cut short";

    VimoProcess vimo = start(program, "second_stderr.txt");
    ASSERT_TRUE(eventually(running)) << error_text("second_stderr.txt") << log("error");
    EXPECT_FALSE(fs::exists(stale));
    vimo.signal(SIGTERM);
    EXPECT_EQ(vimo.exit_code(), 0) << error_text("second_stderr.txt");
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

        VimoProcess vimo = start(program);
        EXPECT_EQ(vimo.exit_code(), 1);
        const std::string error = error_text();
        EXPECT_THAT(error, HasSubstr("Application error: "));
        EXPECT_THAT(error, HasSubstr(c.expected));
    }
}

}
}
