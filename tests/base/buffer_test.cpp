#include "engine/base/buffer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "engine/base/exception.h"
#include "engine/base/stream.h"
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

// Reads are served from a block read ahead; position, end test, seeks and writes must behave
// as if every read went to the file.
TEST(FileBuffer, ReadAheadKeepsPositionSeeksAndWrites)
{
    TempDir dir;
    const std::string path = dir.file("big.bin");
    std::string content(40000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>('a' + i % 26);
    std::ofstream(path, std::ios::binary) << content;

    FileBuffer file(path, mode_read | mode_write);
    EXPECT_EQ(read_some(file, 3), content.substr(0, 3));
    EXPECT_EQ(file.seek(0, seek_current), 3);
    EXPECT_EQ(file.seek(-2, seek_current), 1);
    EXPECT_EQ(read_some(file, 30000), content.substr(1, 30000)) << "a read across blocks is whole";
    EXPECT_EQ(file.seek(-30000, seek_current), 1) << "back before the block read ahead";
    EXPECT_EQ(read_some(file, 1), content.substr(1, 1));
    EXPECT_EQ(file.seek(-3, seek_end), 39997);
    EXPECT_EQ(read_some(file, 10), content.substr(39997));
    EXPECT_TRUE(file.is_eof());
    EXPECT_EQ(file.seek(-1, seek_current), 39999);
    EXPECT_FALSE(file.is_eof());

    file.seek(10, seek_begin);
    read_some(file, 2);
    EXPECT_EQ(file.write("XY", 2), 2u);
    EXPECT_EQ(file.seek(0, seek_current), 14) << "the write went where the reader stood";
    EXPECT_EQ(read_some(file, 2), content.substr(14, 2));
    file.seek(10, seek_begin);
    EXPECT_EQ(read_some(file, 6), content.substr(10, 2) + "XY" + content.substr(14, 2));
    EXPECT_EQ(file.size(), 40000u);
}

TEST(FileBuffer, TextReadFromAFileMatchesTheSameTextInMemory)
{
    TempDir dir;
    const std::string path = dir.file("doc.sdt");
    std::string text;
    for (int i = 0; text.size() < 50000; ++i)
        text += "node_" + std::to_string(i) + " /* c */ { a \"q\\\"\" [b] /x } // e\r\n";
    std::ofstream(path, std::ios::binary) << text;

    const auto scan = [](TStream& stream) {
        std::vector<std::string> tokens;
        while (!stream.is_eof())
            tokens.push_back(stream.read_token());
        return std::pair(tokens, stream.line());
    };
    FileBuffer file(path, mode_read);
    TStream from_file(file);
    StringStream from_memory(text);
    EXPECT_EQ(scan(from_file), scan(from_memory));
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

// A failing read must not look like the end of the file: the reader would take a part of the
// file for all of it.
TEST(FileBuffer, AReadErrorIsAnErrorNotTheEnd)
{
    TempDir dir;
    FileBuffer folder(dir.path(), mode_read);  // opens, but every read fails
    for (std::uint32_t n : {1u, 64u * 1024})
        try {
            char bytes[64 * 1024];
            folder.read(bytes, n);
            ADD_FAILURE() << "read " << n;
        } catch (const IOException& error) {
            EXPECT_EQ(std::string(error.what()),
                      "kq.io: file [" + dir.path() + "] can not be read: Is a directory");
        }
    EXPECT_THROW(read_all(folder), IOException);
}

TEST(FileBuffer, SizesAndWholeReadsAreNotCutAtFourGigabytes)
{
    TempDir dir;
    const std::string path = dir.file("big.bin");
    {
        std::ofstream(path) << "x";
    }
    // Sparse: takes no room on the disk.
    const std::uint64_t length = (std::uint64_t(1) << 32) + 3;
    std::filesystem::resize_file(path, length);
    FileBuffer file(path, mode_read);
    EXPECT_EQ(file.size(), length);
    Stream stream(file);
    EXPECT_EQ(stream.size(), length);

    std::filesystem::resize_file(path, 200 * 1024 + 5);
    FileBuffer smaller(path, mode_read);
    const std::string content = read_all(smaller);
    EXPECT_EQ(content.size(), 200u * 1024 + 5);
    EXPECT_EQ(content.substr(0, 2), std::string("x\0", 2));
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

// In a file the closing brace takes back the indentation unit that the line end wrote; a
// string buffer only appends, so there the unit stays.
TEST(TStreamOverBuffer, PopTabStepsBackInAFile)
{
    const auto write_nested = [](TStream& out) {
        out << "a" << t_io::endl << t_io::open_brace << t_io::endl << t_io::push_tab;
        out << "b" << t_io::endl << t_io::pop_tab << t_io::close_brace << t_io::endl;
    };
    TempDir dir;
    const std::string path = dir.file("nested.sdt");
    {
        FileBuffer file(path, mode_create | mode_write);
        TStream out(file);
        write_nested(out);
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "a\r\n{\r\n  b\r\n}\r\n");

    StringStream memory;
    write_nested(memory);
    EXPECT_EQ(memory.str(), "a\r\n{\r\n  b\r\n  }\r\n");
}

}
}
