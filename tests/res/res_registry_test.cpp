// The resource registry file "default.root" and the register file.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include <gtest/gtest.h>

#include "engine/host/system/directories.h"
#include "engine/res/file_res_source.h"
#include "engine/res/res.h"
#include "engine/res/res_exception.h"
#include "test_resources.h"

namespace kq {
namespace {

using test::TempDir;

// The sources as "priority root flags", roots under `dir` shown relative to it.
std::vector<std::string> describe_sources(const Res& res, const std::string& dir)
{
    std::vector<std::string> described;
    for (const auto& [priority, source] : res.sources()) {
        auto* file_source = dynamic_cast<FileResSource*>(source.get());
        std::string root = file_source->root();
        if (root.compare(0, dir.size(), dir) == 0)
            root = "~/" + root.substr(dir.size());
        described.push_back(std::to_string(priority) + " " + root + (file_source->is_read_only() ? " ro" : "") +
                            (file_source->is_localized() ? " loc" : ""));
    }
    return described;
}

std::vector<std::string> search_paths(const Res& res)
{
    return {res.search_paths().begin(), res.search_paths().end()};
}

TEST(ResRootFile, StatementsSetSourcesPathsAndLanguage)
{
    struct Case {
        const char* text;
        std::vector<std::string> sources;
        std::vector<std::string> paths;
        std::string language;
    };
    const Case cases[] = {
        {"SOURCE 10 FILE data READ_ONLY LOCALIZED LOCALIZED\r\nPATH x", {"10 ~/data/ ro loc"}, {"", "x"}, "def"},
        {"SOURCE 0ah FILE a SOURCE 5 FILE B SOURCE 5 FILE c LOCALIZED",
         {"5 ~/b/", "5 ~/c/ loc", "10 ~/a/"}, {""}, "def"},
        {"SOURCE 1 FILE \"/abs/Path\" // absolute folders keep their case\n", {"1 /abs/Path/"}, {""}, "def"},
        {"SOURCE 100 FILE \"\" PATH \"Data\\\\Skin\" PATH y", {"100 ~/"}, {"", "data/skin", "y"}, "def"},
        {"LANGUAGE ger", {}, {""}, "ger"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        SharedPtr<Res> res(new Res);
        res->set_platform("win");
        res->read_root_file(dir.write("default.root", c.text));
        EXPECT_EQ(describe_sources(*res, dir.str()), c.sources) << c.text;
        EXPECT_EQ(search_paths(*res), c.paths) << c.text;
        EXPECT_EQ(res->language(), c.language) << c.text;
    }
}

TEST(ResRootFile, MissingFileGivesOneSourceOverItsFolder)
{
    TempDir dir;
    SharedPtr<Res> res(new Res);
    res->read_root_file(dir.str() + "default.root");
    EXPECT_EQ(describe_sources(*res, dir.str()), std::vector<std::string>{"100 ~/"});
    EXPECT_EQ(search_paths(*res), std::vector<std::string>{""});
}

TEST(ResRootFile, InitializeReadsTheCurrentFolder)
{
    TempDir dir;
    const std::string previous = host::get_current_dir();
    ASSERT_TRUE(host::set_current_dir(dir.str()));
    SharedPtr<Res> res(new Res);
    res->initialize();
    const std::string current = host::get_current_dir();
    host::set_current_dir(previous);
    EXPECT_EQ(res->platform(), "win");
    EXPECT_EQ(res->variants(), (std::vector<std::string>{"win", "def"}));
    EXPECT_EQ(describe_sources(*res, current), std::vector<std::string>{"100 ~/"});
}

// Each error names the file and the line of the statement, then the word read.
TEST(ResRootFile, ErrorsNameTheFileTheLineAndTheWordRead)
{
    struct Case {
        const char* text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"LANGUAGE AUTO ( )", 1, "empty languages"},
        {"PATH a\r\n\r\nLANGUAGE AUTO\r\n(\r\n)", 3, "empty languages"},
        {"SOURCE 5 ZIP a", 1, "ZIP unknown source type."},
        {"PATH a\nSOURCE 5\nZIP a", 2, "ZIP unknown source type."},
        {"PATH a FOO", 1, "FOO unknown operand."},
        {"PATH a\n// a comment\n\n  path a", 4, "path unknown operand."},
        {"", 1, "no statement in resource registry file."},
        {"// only a comment\n\n", 3, "no statement in resource registry file."},
    };
    for (const Case& c : cases) {
        TempDir dir;
        SharedPtr<Res> res(new Res);
        const std::string path = dir.write("default.root", c.text);
        try {
            res->read_root_file(path);
            ADD_FAILURE() << c.text;
        } catch (const ResException& error) {
            EXPECT_EQ(std::string(error.what()), "kq.res: (in stream [file \"" + path + "\"] at line " +
                                                     std::to_string(c.line) + ") " + c.message);
        }
    }
}

TEST(ResRootFile, AnUnreadableFileIsNamed)
{
    TempDir dir;
    SharedPtr<Res> res(new Res);
    std::filesystem::create_directories(dir.str() + "default.root");
    try {
        res->read_root_file(dir.str() + "default.root");
        ADD_FAILURE() << "read";
    } catch (const IOException& error) {
        EXPECT_EQ(std::string(error.what()), "kq.io: file [" + dir.str() + "default.root] can not be read: Is a directory");
    }
}

TEST(ResRootFile, TextFormatErrorsPassThrough)
{
    TempDir dir;
    SharedPtr<Res> res(new Res);
    EXPECT_THROW(res->read_root_file(dir.write("default.root", "LANGUAGE AUTO ( eng")), IOException);
}

// Sets LC_ALL, which decides the user's language, for one scope.
class ScopedLocale
{
public:
    explicit ScopedLocale(const char* locale)
    {
        if (const char* old = std::getenv("LC_ALL"))
            m_old = old;
        setenv("LC_ALL", locale, 1);
    }
    ~ScopedLocale()
    {
        if (m_old)
            setenv("LC_ALL", m_old->c_str(), 1);
        else
            unsetenv("LC_ALL");
    }

private:
    std::optional<std::string> m_old;
};

TEST(ResRootFile, AutoLanguageTakesTheUsersWhenOffered)
{
    struct Case {
        const char* locale;
        const char* language;
    };
    const Case cases[] = {{"en_GB.UTF-8", "eng"}, {"pl_PL", "ger"}, {"de_AT", "ger"}, {"C", "ger"}};
    for (const Case& c : cases) {
        ScopedLocale locale(c.locale);
        TempDir dir;
        SharedPtr<Res> res(new Res);
        res->set_platform("win");
        res->read_root_file(dir.write("default.root", "LANGUAGE AUTO ( ger eng )"));
        EXPECT_EQ(res->language(), c.language) << c.locale;
        EXPECT_EQ(res->variants(), (std::vector<std::string>{"win", c.language}));
    }
}

TEST(ResRootFile, SamePathAgainChangesNothing)
{
    TempDir dir;
    const std::string root = dir.write("default.root", "SOURCE 10 FILE data");
    SharedPtr<Res> res(new Res);
    res->read_root_file(root);
    res->add_source(1, SharedPtr<ResSource>(new FileResSource("other", false, false)));
    res->read_root_file(root);
    EXPECT_EQ(res->sources().size(), 2u);
    res->read_root_file(dir.write("other.root", "SOURCE 10 FILE data"));
    EXPECT_EQ(res->sources().size(), 1u);
}

TEST(ResRootFile, LastRegisterStatementDecidesManagement)
{
    struct Case {
        const char* text;
        bool managed;
    };
    const Case cases[] = {
        {"REGISTER a MANAGE", true},
        {"REGISTER a MANAGE REGISTER b", false},
        {"REGISTER a REGISTER b MANAGE", true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        SharedPtr<Res> res(new Res);
        res->read_root_file(dir.write("default.root", c.text));
        EXPECT_EQ(res->is_managed(), c.managed) << c.text;
    }
}

TEST(ResRegisterFile, ReadsKeysByType)
{
    TempDir dir;
    dir.write("list.reg",
              "RES \"lost.png\" 0\n"
              "TYPE \"class kq::Texture\"\n"
              "RES \"UI/A.png\" 0 RES \"b.png\" 1h\n"
              "OTHER words\n"
              "TYPE \"class kq::Sample\" RES \"s.ogg\" 1\n");
    SharedPtr<Res> res(new Res);
    res->read_root_file(dir.write("default.root", "REGISTER list.reg"));
    const Res::Register expected = {
        {StrCache("class kq::Texture"), {{"ui/a.png", 0}, {"b.png", 1}}},
        {StrCache("class kq::Sample"), {{"s.ogg", 1}}},
    };
    EXPECT_EQ(res->registered(), expected);
}

TEST(ResRegisterFile, ManagedFileListsLoadedFilesAndReadsBack)
{
    TempDir dir;
    dir.write("data/a.txt", "a");
    dir.write("data/b b.txt", "uses a.txt");
    const std::string root = dir.write("default.root", "SOURCE 1 FILE data REGISTER files.reg MANAGE");
    Res::Register loaded;
    {
        SharedPtr<Res> res(new Res);
        res->read_root_file(root);
        res->add_loader(type_name<test::TextResource>(), SharedPtr<ResLoader>(new test::TextLoader<test::TextResource>("txt")));
        ResRequest request{type_name<test::TextResource>(), {"b b.txt", 0}};
        res->load(request);
        loaded = res->registered();
        res->shutdown();
    }
    // Only the outermost load is listed: the file it uses comes with it.
    const Res::Register expected = {{type_name<test::TextResource>(), {{"b b.txt", 0}}}};
    EXPECT_EQ(loaded, expected);
    EXPECT_FALSE(test::has_temporary_file(dir.str()));
    SharedPtr<Res> again(new Res);
    again->read_root_file(root);
    EXPECT_EQ(again->registered(), expected);
}

// The list only saves work at the next start: a rewrite that fails is logged, and the
// shutdown goes on with the old place left as it was.
TEST(ResRegisterFile, FailedRewriteIsLoggedAndLeavesNoTemporaryFile)
{
    TempDir dir;
    const std::string root = dir.write("default.root", "REGISTER files.reg MANAGE");
    SharedPtr<Res> res(new Res);
    res->read_root_file(root);
    // A folder in the place of the list: it is neither read nor replaced.
    dir.write("files.reg/inside", "a folder where the list should be");
    test::LogCapture log;
    EXPECT_NO_THROW(res->shutdown());
    EXPECT_NE(log.text().find("Register file " + dir.str() + "files.reg not written: "), std::string::npos)
        << log.text();
    EXPECT_FALSE(test::has_temporary_file(dir.str()));
    EXPECT_TRUE(std::filesystem::exists(dir.str() + "files.reg/inside"));
}

// The list only saves work: a damaged one must neither stop the start nor be lost unseen.
TEST(ResRegisterFile, DamagedFileIsSetAsideAndRebuilt)
{
    using namespace std::string_literals;
    const std::string damaged[] = {
        "TYPE \"class kq::Texture\" RES \"a.png",  // cut off inside a name
        "TYPE \"class kq::Texture\" RES",  // cut off before a key
        "TYPE \"\0\xff\x01 binary\0"s,
        // Whole tokens, but no entry: a lone symbol for a path, a word for the number.
        "TYPE \"class kq::Texture\" RES ( 0",
        "TYPE \"class kq::Texture\" RES \"a.png\" (",
        "TYPE \"class kq::Texture\" RES \"a.png\" 1x",
        "TYPE \"class kq::Texture\" RES \"a\x01\xff.png\" 0",
    };
    for (const std::string& text : damaged) {
        TempDir dir;
        const std::string list = dir.write("files.reg", text);
        const std::string root = dir.write("default.root", "SOURCE 1 FILE \"\" REGISTER files.reg MANAGE");
        {
            test::LogCapture log;
            SharedPtr<Res> res(new Res);
            res->read_root_file(root);
            EXPECT_TRUE(res->registered().empty()) << text;
            EXPECT_NE(log.text().find("Damaged register file: " + list), std::string::npos) << log.text();
            res->add_loader(type_name<test::TextResource>(), SharedPtr<ResLoader>(new test::TextLoader<test::TextResource>("txt")));
            dir.write("a.txt", "a");
            ResRequest request{type_name<test::TextResource>(), {"a.txt", 0}};
            res->load(request);
            res->shutdown();
        }
        std::ifstream aside(list + ".damaged", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}), text);
        SharedPtr<Res> again(new Res);
        again->read_root_file(root);
        EXPECT_EQ(again->registered().size(), 1u) << text;
    }
}

TEST(ResPaths, PushAndPopStandBeforeTheBaseEntry)
{
    TempDir dir;
    SharedPtr<Res> res(new Res);
    res->read_root_file(dir.write("default.root", "PATH x"));
    res->push_path("a");
    EXPECT_EQ(search_paths(*res), (std::vector<std::string>{"a", "", "x"}));
    res->push_path("b");
    EXPECT_EQ(search_paths(*res), (std::vector<std::string>{"b", "", "x"}));
    res->pop_path();
    EXPECT_EQ(search_paths(*res), (std::vector<std::string>{"a", "", "x"}));
    res->pop_path();
    res->pop_path();  // underflow: logged, ignored
    EXPECT_EQ(search_paths(*res), (std::vector<std::string>{"", "x"}));
}

}
}
