#include "engine/host/system/activation_socket.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/base/temp_dir.h"

namespace kq::host {
namespace {

namespace fs = std::filesystem;

class ActivationSocketTest : public testing::Test
{
protected:
    TempDir folder;
    std::string path = folder.file("activation.sock");
    const std::uint32_t own_id = static_cast<std::uint32_t>(::getpid());
};

TEST_F(ActivationSocketTest, RequestsForThisProcessAreHeardOnce)
{
    struct Case
    {
        const char* title;
        std::uint32_t asked_id;
        bool expected;
    };
    const Case cases[] = {
        {"this process", own_id, true},
        {"another process", own_id + 1, false},
        {"an id read from a short lock file", 0, false},
    };
    ActivationSocket socket(path);
    ASSERT_TRUE(socket.listening());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_TRUE(ActivationSocket::request(path, c.asked_id));
        EXPECT_EQ(socket.take_requests(), c.expected);
        EXPECT_FALSE(socket.take_requests());
    }
}

TEST_F(ActivationSocketTest, NobodyListeningIsReported)
{
    EXPECT_FALSE(ActivationSocket::request(path, own_id));
    {
        ActivationSocket socket(path);
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(ActivationSocket::request(path, own_id));
}

TEST_F(ActivationSocketTest, AFileLeftBehindIsReplaced)
{
    std::ofstream(path) << "left";
    ActivationSocket socket(path);
    EXPECT_TRUE(socket.listening());
    EXPECT_TRUE(ActivationSocket::request(path, own_id));
    EXPECT_TRUE(socket.take_requests());
}

TEST_F(ActivationSocketTest, APlaceThatCannotListenSaysWhy)
{
    struct Case
    {
        const char* title;
        std::string path;
        const char* failure;
    };
    fs::create_directories(folder.file("taken/inside"));
    const Case cases[] = {
        {"a path too long", folder.file(std::string(200, 'x')), "path longer than 107 bytes"},
        {"a folder in its place", folder.file("taken"), "Address already in use"},
        {"a missing folder", folder.file("missing/activation.sock"), "No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        ActivationSocket socket(c.path);
        EXPECT_FALSE(socket.listening());
        EXPECT_EQ(socket.failure(), c.failure);
        EXPECT_FALSE(socket.take_requests());
    }
    EXPECT_TRUE(fs::is_directory(folder.file("taken/inside")));
}

}
}
