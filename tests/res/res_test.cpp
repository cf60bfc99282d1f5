// The "res" service's start and stop under the Mainframe.
#include "engine/res/res.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "engine/base/exception.h"
#include "engine/base/mainframe.h"
#include "engine/host/system/directories.h"
#include "test_resources.h"

namespace kq {
namespace {

TEST(ResService, NeedsTheMainframe)
{
    ASSERT_EQ(Mainframe::instance(), nullptr);
    try {
        start_res_service();
        ADD_FAILURE();
    } catch (const Exception& error) {
        EXPECT_EQ(std::string(error.what()), "kq.common: Unable to start service [res]. Mainframe not initialized correctly.");
    }
    EXPECT_EQ(Res::instance(), nullptr);
}

TEST(ResService, StartsFromTheCurrentFolderAndWritesItsRegisterAtStop)
{
    test::TempDir dir;
    dir.write("default.root", "SOURCE 5 FILE data LOCALIZED LANGUAGE rus REGISTER list.reg MANAGE");
    dir.write("data/a.txt", "a");
    const std::string previous = host::get_current_dir();
    ASSERT_TRUE(host::set_current_dir(dir.str()));
    Mainframe::create();
    start_res_service();
    ASSERT_NE(Res::instance(), nullptr);
    Res& res = *Res::instance();
    EXPECT_EQ(res.variants(), (std::vector<std::string>{"win", "rus"}));
    EXPECT_EQ(res.sources().size(), 1u);
    res.add_loader(type_name<test::TextResource>(), SharedPtr<ResLoader>(new test::TextLoader<test::TextResource>("txt")));
    ResRequest request{type_name<test::TextResource>(), {"a.txt", 0}};
    res.load(request);
    stop_res_service();
    EXPECT_EQ(Res::instance(), nullptr);
    Mainframe::destroy();
    host::set_current_dir(previous);

    std::ifstream file(dir.str() + "list.reg", std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, "TYPE \"class kq::test::TextResource\"\r\nRES \"a.txt\" 0\r\n\r\n");
}

TEST(ResFiles, CreateFileSkipsReadOnlySources)
{
    test::TempDir dir;
    SharedPtr<Res> res(new Res);
    dir.write("rw/other.txt", "");
    res->read_root_file(dir.write("default.root", "SOURCE 1 FILE ro READ_ONLY SOURCE 2 FILE rw PATH sub"));
    ResStream created = res->create_file("x.txt");
    ASSERT_TRUE(created);
    EXPECT_EQ(created.m_source.get(), std::next(res->sources().begin())->second.get());
    created.m_buffer.reset();
    EXPECT_TRUE(std::filesystem::exists(dir.str() + "rw/x.txt"));
    EXPECT_TRUE(res->open_file("x.txt"));
    EXPECT_FALSE(res->open_file("y.txt"));
}

}
}
