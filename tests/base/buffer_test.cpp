#include "engine/base/buffer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"
#include "tests/base/temp_dir.h"

namespace kq {
namespace {

std::string read_some(Buffer& buffer, std::uint32_t n)
{
    std::string text(n, '\0');
    text.resize(buffer.read(text.data(), n));
    return text;
}

TEST(StringBuffer, ReadSeekAndWrite)
{
    StringBuffer buffer("abc");
    EXPECT_EQ(buffer.mode(), mode_read);
    EXPECT_EQ(read_some(buffer, 5), "abc");
    EXPECT_TRUE(buffer.is_eof());
    EXPECT_EQ(buffer.seek(-1, seek_current), 2);
    EXPECT_EQ(read_some(buffer, 5), "c");

    EXPECT_EQ(buffer.seek(1, seek_end), 2);
    EXPECT_EQ(buffer.seek(10, seek_begin), 3) << "kept within the content";
    EXPECT_EQ(buffer.seek(-10, seek_current), 0);
    EXPECT_EQ(buffer.seek(1, seek_begin | seek_current), 2) << "begin, then current";

    buffer.seek(1, seek_begin);
    EXPECT_EQ(buffer.write("xy", 2), 2u);
    EXPECT_EQ(buffer.str(), "abcxy") << "writes append at the end";
    EXPECT_EQ(read_some(buffer, 5), "xy") << "the position moved by the count written";
    EXPECT_EQ(buffer.name(), "[abcxy]");
    EXPECT_EQ(buffer.size(), 5u);
    EXPECT_EQ(StringBuffer().mode(), mode_create | mode_write);
}

TEST(NullBuffer, DropsEverything)
{
    NullBuffer buffer;
    char byte = 0;
    EXPECT_EQ(buffer.mode(), 0x09u);
    EXPECT_EQ(buffer.write("abc", 3), 3u);
    EXPECT_EQ(buffer.read(&byte, 1), 0u);
    EXPECT_EQ(buffer.seek(5, seek_begin), 0);
    EXPECT_TRUE(buffer.is_eof());
    EXPECT_EQ(buffer.size(), 0u);
    EXPECT_EQ(buffer.name(), "[null buffer]");
}

TEST(FileBuffer, WriteAppendAndRead)
{
    TempDir dir;
    const std::string path = dir.file("a.txt");
    {
        FileBuffer file(path, mode_create | mode_write);
        EXPECT_EQ(file.write("hello", 5), 5u);
        EXPECT_EQ(file.name(), "[file \"" + path + "\"]");
    }
    {
        FileBuffer file(path, mode_append | mode_write);
        file.seek(0, seek_begin);
        file.write("!", 1);
    }
    FileBuffer file(path, mode_read);
    EXPECT_EQ(file.size(), 6u);
    EXPECT_FALSE(file.is_eof());
    EXPECT_EQ(file.seek(-1, seek_end), 5);
    EXPECT_EQ(read_some(file, 4), "!");
    EXPECT_TRUE(file.is_eof());
    EXPECT_EQ(file.seek(1, seek_begin | seek_end), 1) << "the first origin bit wins";
    EXPECT_EQ(read_some(file, 3), "ell");
}

TEST(FileBuffer, CreateTruncatesAndTemporaryIsRemoved)
{
    TempDir dir;
    const std::string path = dir.file("t.bin");
    std::ofstream(path) << "old content";
    {
        FileBuffer file(path, mode_create | mode_read | mode_write | mode_temporary);
        EXPECT_EQ(file.size(), 0u);
        file.write("ab", 2);
        file.seek(0, seek_begin);
        EXPECT_EQ(read_some(file, 2), "ab");
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(FileBuffer, DenyBitsKeepOtherDenyingOpenersOut)
{
    TempDir dir;
    const std::string path = dir.file("locker.tmp");
    FileBuffer holder(path, mode_create | mode_write | mode_deny_write);
    holder.write("1234", 4);
    EXPECT_THROW(FileBuffer(path, mode_create | mode_write | mode_deny_write), IOException);
    FileBuffer reader(path, mode_read);
    EXPECT_EQ(read_some(reader, 4), "1234") << "the refused opener did not truncate";
}

TEST(FileBuffer, MissingFileNamesPathAndCurrentDir)
{
    const std::string path = "no/such/file.txt";
    try {
        FileBuffer file(path, mode_read);
        ADD_FAILURE() << "opened";
    } catch (const IOException& error) {
        StringStream current;
        current << std::filesystem::current_path().string() + "/";
        const std::string text = error.what();
        EXPECT_EQ(text, "kq.io: file [" + path + "] can not be opened (current directory is " + current.str() + ")");
    }
}

TEST(TStreamOverBuffer, ErrorNamesTheBuffer)
{
    TempDir dir;
    const std::string path = dir.file("doc.sdt");
    std::ofstream(path) << "a\n\nb ]";
    FileBuffer file(path, mode_read);
    try {
        TStream stream(file);
        stream.skip_token();
        stream.skip_token();
        ADD_FAILURE() << "no error";
    } catch (const IOException& error) {
        EXPECT_EQ(std::string(error.what()),
                  "kq.io: (in stream [file \"" + path + "\"] at line 3) mismatched closing bracked ']'.");
    }
}

}
}
