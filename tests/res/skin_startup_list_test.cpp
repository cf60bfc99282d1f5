#include "engine/res/skin_startup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/res/res.h"
#include "skin_fixture.h"

namespace kq {
namespace {

namespace fs = std::filesystem;

// The game's own data tree, laid out as the build lays it out beside the executable.
class SkinStartupListTest : public test::SkinTest
{
protected:
    SkinStartupListTest()
    {
        const fs::path data = fs::path(KQ_SOURCE_DIR) / "data";
        fs::copy(data, fs::path(m_dir.str()) / "data", fs::copy_options::recursive);
        fs::copy_file(data / "default.root", fs::path(m_dir.str()) / "default.root");
    }

    static std::vector<SkinStartupTask> startup_list()
    {
        std::vector<SkinStartupTask> saved;
        saved.swap(skin_startup_tasks());
        register_skin_startup_list();
        saved.swap(skin_startup_tasks());
        return saved;
    }
};

TEST_F(SkinStartupListTest, HoldsSeventyTwoRegistrations)
{
    EXPECT_EQ(startup_list().size(), 72u);
}

TEST_F(SkinStartupListTest, AttachesEveryDocumentOfTheDataTreeOnce)
{
    test::SkinLogCapture log;
    start(startup_list());
    EXPECT_EQ(skin().documents().size(), 34u);
    const std::string lines = log.text();
    EXPECT_EQ(lines.find("Attaching \"game/panels.sdt\""), lines.rfind("Attaching \"game/panels.sdt\""));
    EXPECT_NE(lines.find("Attaching \"dxdraw/dxdraw.sdt\""), std::string::npos);
    EXPECT_TRUE(fs::exists(fs::path(m_dir.str()) / "data/skin/ui/ui.sdb"));
}

TEST_F(SkinStartupListTest, DefinesTheConstantsAndFunctions)
{
    start(startup_list());
    struct Case
    {
        const char* name;
        const char* text;
    };
    const Case constants[] = {
        {"VF_NONE", "0"},         {"IF_CONTROL", "104"}, {"IF_ACCEPTOR", "65536"}, {"SP_SEC_TBEGIN", "2110"},
        {"EGVF_ANYKEY", "4096"},  {"VF_CHECKED", "16"},  {"SN_COMMON", "common"},
    };
    for (const Case& c : constants)
        EXPECT_EQ(skin().definition(StrCache(c.name)), c.text) << c.name;
    const Case functions[] = {{"or", "1"}, {"cat", "1"}, {"rand", "0"}, {"repeat", "1"}, {"step", "0"}};
    for (const Case& c : functions)
        EXPECT_EQ(skin().is_constant_function(StrCache(c.name)), c.text[0] == '1') << c.name;
    EXPECT_EQ(skin().call_function(StrCache("or"), {"1", "4", "8"}, SkinPath()), "13");
}

}
}
