#include "engine/base/file_path.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"

namespace kq {
namespace {

TEST(FilePath, Parts)
{
    struct Case
    {
        std::string input;
        std::string text, root, directory, filename, stem, extension;
        std::uint32_t directory_count;
    };
    const Case cases[] = {
        {"Data\\Skin\\UI.SDT", "data/skin/ui.sdt", "", "data/skin/", "ui.sdt", "ui", "sdt", 2},
        {"\\\\Server\\Share\\A.b", "\\\\server/share/a.b", "\\\\server/", "\\\\server/share/", "a.b", "a", "b", 1},
        {"C:\\Games\\x.png", "c:/games/x.png", "c:/", "c:/games/", "x.png", "x", "png", 1},
        {"/a/b/c.d", "/a/b/c.d", "/", "/a/b/", "c.d", "c", "d", 2},
        {"/Home/User/Save.DAT", "/Home/User/Save.DAT", "/", "/Home/User/", "Save.DAT", "Save", "DAT", 2},
        {"name", "name", "", "", "name", "name", "", 0},
        {"dir.v2/file", "dir.v2/file", "", "dir.v2/", "file", "file", "", 1},
        {"a/b.tar.gz", "a/b.tar.gz", "", "a/", "b.tar.gz", "b.tar", "gz", 1},
        {"", "", "", "", "", "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const FilePath path(c.input);
        EXPECT_EQ(path.str(), c.text);
        EXPECT_EQ(path.root(), c.root);
        EXPECT_EQ(path.is_absolute(), !c.root.empty());
        EXPECT_EQ(path.directory(), c.directory);
        EXPECT_EQ(path.filename(), c.filename);
        EXPECT_EQ(path.stem(), c.stem);
        EXPECT_EQ(path.extension(), c.extension);
        EXPECT_EQ(path.directory_count(), c.directory_count);
    }
}

TEST(FilePath, Subdirectories)
{
    const FilePath path("/a/b/c.d");
    EXPECT_EQ(path.subdirectory(0), "a/");
    EXPECT_EQ(path.subdirectory(1), "b/");
    try {
        path.subdirectory(2);
        ADD_FAILURE() << "no error";
    } catch (const IOException& error) {
        EXPECT_STREQ(error.what(), "kq.io: file [/a/b/c.d] subdirectory index is out of range");
    }
    try {
        FilePath("name").subdirectory(0);
        ADD_FAILURE() << "no error";
    } catch (const IOException& error) {
        EXPECT_STREQ(error.what(), "kq.io: file [name] path is non-canonical");
    }
}

TEST(FilePath, SetStemAndExtension)
{
    struct Case
    {
        std::string path;
        std::string extension;
        std::string result;
    };
    const Case cases[] = {
        {"a/tex", "png", "a/tex.png"},
        {"a/tex.jpg", "png", "a/tex.png"},
        {"a/tex.jpg", "", "a/tex"},
        {"v.1/doc.sdt", "sdb", "v.1/doc.sdb"},
        {"v.1/doc", "sdb", "v.1/doc.sdb"},
    };
    for (const Case& c : cases) {
        FilePath path(c.path);
        path.set_extension(c.extension);
        EXPECT_EQ(path.str(), c.result);
    }
    FilePath path("a/old.png");
    path.set_stem("new");
    EXPECT_EQ(path.str(), "a/new.png");
}

TEST(FilePath, Join)
{
    struct Case
    {
        FilePath folder;
        std::string rest;
        std::string result;
    };
    const Case cases[] = {
        {FilePath("/Home/Me/.local/share/"), "Company/Product/", "/Home/Me/.local/share/company/product/"},
        {FilePath("/Logs"), "Error.log", "/Logs/error.log"},
        {FilePath("data/skin/"), "ui/UI.sdt", "data/skin/ui/ui.sdt"},
        {FilePath(""), "A.txt", "a.txt"},
        {FilePath("data"), "/Abs/x", "/Abs/x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(join_path(c.folder, c.rest).str(), c.result);
}

TEST(FilePath, TextAndBinaryForms)
{
    StringStream text;
    text << FilePath("Dir\\A.txt");
    EXPECT_EQ(text.str(), "\"dir/a.txt\"");

    StringStream reader("\"UI\\\\Main.SDT\"");
    FilePath read;
    reader >> read;
    EXPECT_EQ(read.str(), "ui/main.sdt");

    StringBuffer buffer(std::string("\x05\0\0\0A\\B.c", 9));
    Stream stream(buffer);
    FilePath raw;
    read_binary(stream, raw);
    EXPECT_EQ(raw.str(), "A\\B.c") << "binary read takes the text as it stands";

    StringBuffer out;
    Stream writer(out);
    write_binary(writer, FilePath("x"));
    EXPECT_EQ(out.str(), std::string("\x01\0\0\0x", 5));
}

}
}
