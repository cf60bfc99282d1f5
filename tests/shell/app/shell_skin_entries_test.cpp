#include "game/shell/app/shell_skin_entries.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <set>
#include <string>

#include <unistd.h>

#include "engine/base/exception.h"
#include "engine/base/mainframe.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "engine/res/skin_startup.h"

namespace kq {
namespace {

namespace fs = std::filesystem;

// The "res" and "skin" services over a copy of the game's own data tree, laid out as the build
// lays it out beside the executable, started with a start-up list of the test's choosing.
class ShellSkinEntriesTest : public testing::Test
{
protected:
    ShellSkinEntriesTest()
        : m_dir(fs::temp_directory_path() / ("kq_shell_test_" + std::to_string(::getpid())))
    {
        const fs::path data = fs::path(KQ_SOURCE_DIR) / "data";
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::copy(data, m_dir / "data", fs::copy_options::recursive);
        fs::copy_file(data / "default.root", m_dir / "default.root");
    }
    ~ShellSkinEntriesTest() override
    {
        if (Skin::instance())
            stop_skin_service();
        if (Res::instance())
            stop_res_service();
        Mainframe::destroy();
        skin_startup_tasks().swap(m_registered);
        fs::remove_all(m_dir);
    }

    /// The list as the program's start registered it.
    const std::vector<SkinStartupTask>& startup_list() const { return skin_startup_tasks(); }

    /// Starts the services over the tree with `tasks` as the start-up list.
    void start(std::vector<SkinStartupTask> tasks)
    {
        Mainframe::create();
        start_res_service();
        Res::instance()->read_root_file((m_dir / "default.root").string());
        skin_startup_tasks() = std::move(tasks);
        start_skin_service();
    }
    Skin& skin() { return *Skin::instance(); }

    fs::path m_dir;

private:
    std::vector<SkinStartupTask> m_registered = skin_startup_tasks();
};

TEST_F(ShellSkinEntriesTest, HoldsSeventyThreeRegistrations)
{
    EXPECT_EQ(startup_list().size(), 73u);
}

TEST_F(ShellSkinEntriesTest, AttachesEveryDocumentOfTheDataTreeOnce)
{
    start(startup_list());
    std::set<std::string> paths;
    for (const ResHandle<SkinDocument>& document : skin().documents())
        EXPECT_TRUE(paths.insert(document.path()).second) << document.path();
    EXPECT_EQ(paths.size(), 35u);
    EXPECT_EQ(paths.count("game/panels.sdt"), 1u);
    EXPECT_EQ(paths.count("dxdraw/dxdraw.sdt"), 1u);
    EXPECT_TRUE(fs::exists(m_dir / "data/skin/ui/ui.sdb"));
}

// Each registration, in order, with its exact name and value: run one at a time, each must
// attach, define or register exactly what the list promises.
TEST_F(ShellSkinEntriesTest, RegistersEachEntryInItsOrder)
{
    enum Kind { document, constant, function };
    struct Entry
    {
        Kind kind;
        const char* name;
        const char* value;  // a constant's text; "1" for a constant function
    };
    const Entry entries[] = {
        {document, "ui/ui.sdt", ""},
        {document, "ui/controls.sdt", ""},
        {constant, "VF_NONE", "0"},
        {constant, "VF_DISABLED", "1"},
        {constant, "VF_POINTED", "2"},
        {constant, "VF_PRESSED", "4"},
        {constant, "VF_FOCUSED", "8"},
        {constant, "IF_CONTROL", "104"},
        {document, "window/window.sdt", ""},
        {document, "skin/skin.sdt", ""},
        {function, "or", "1"},
        {function, "cat", "1"},
        {function, "rand", "0"},
        {function, "repeat", "1"},
        {function, "step", "0"},
        {document, "art/art.sdt", ""},
        {document, "art/sprites.sdt", ""},
        {constant, "IF_NONE", "0"},
        {constant, "IF_TRANSFORMATION", "1"},
        {constant, "IF_RECT", "8"},
        {constant, "IF_STATE", "32"},
        {constant, "IF_DATA", "64"},
        {constant, "IF_COLOR", "16"},
        {constant, "IF_GLOBALCOLOR", "256"},
        {constant, "IF_DEFAULT", "96"},
        {constant, "IF_ACCEPTOR", "65536"},
        {constant, "IF_ALL", "255"},
        {constant, "SP_POSITION", "1000"},
        {constant, "SP_ROTATION", "1001"},
        {constant, "SP_SCALE", "1002"},
        {constant, "SP_SIZE", "1010"},
        {constant, "SP_PIVOT", "1011"},
        {constant, "SP_COLOR", "1020"},
        {constant, "SP_ALPHA", "1021"},
        {constant, "SP_VISIBLE", "1030"},
        {constant, "SP_TEXTURE", "2000"},
        {constant, "SP_TBEGIN", "2010"},
        {constant, "SP_SEC_TBEGIN", "2110"},
        {document, "audio/audio.sdt", ""},
        {document, "game/vimocontrols.sdt", ""},
        {document, "game/game.sdt", ""},
        {document, "game/dialogs.sdt", ""},
        {document, "game/items.sdt", ""},
        {document, "game/vimoes.sdt", ""},
        {document, "game/field_borders.sdt", ""},
        {document, "game/stuff.sdt", ""},
        {document, "game/treasures.sdt", ""},
        {document, "game/holes.sdt", ""},
        {document, "game/spirits.sdt", ""},
        {document, "game/obstacles.sdt", ""},
        {document, "game/effects.sdt", ""},
        {document, "game/efpowerup.sdt", ""},
        {document, "game/efbonus.sdt", ""},
        {document, "game/chapter1.sdt", ""},
        {document, "game/chapter2.sdt", ""},
        {document, "game/chapter3.sdt", ""},
        {document, "game/chapter4.sdt", ""},
        {document, "game/chapter5.sdt", ""},
        {document, "game/chapter6.sdt", ""},
        {document, "game/chapter7.sdt", ""},
        {document, "game/chapter8.sdt", ""},
        {document, "game/titleframe.sdt", ""},
        {document, "game/field.sdt", ""},
        {document, "game/panels.sdt", ""},
        {document, "game/panels.sdt", ""},
        {document, "game/progressframe.sdt", ""},
        {document, "game/gameframe.sdt", ""},
        {document, "game/panels.sdt", ""},
        {document, "game/panels.sdt", ""},
        {constant, "EGVF_ANYKEY", "4096"},
        {document, "dxdraw/dxdraw.sdt", ""},
        {constant, "VF_CHECKED", "16"},
        {constant, "SN_COMMON", "common"},
    };
    const std::vector<SkinStartupTask> tasks = startup_list();
    ASSERT_EQ(tasks.size(), std::size(entries));
    start({});
    std::set<std::string> attached;
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        const Entry& e = entries[i];
        const StrCache name(e.name);
        const std::size_t documents = skin().documents().size();
        if (e.kind == constant) {
            EXPECT_THROW(skin().definition(name), ServiceException) << i;
        } else if (e.kind == function) {
            EXPECT_THROW(skin().is_constant_function(name), ServiceException) << i;
        }
        tasks[i]();
        switch (e.kind) {
        case document:
            if (attached.insert(e.name).second) {
                ASSERT_EQ(skin().documents().size(), documents + 1) << i << " " << e.name;
                EXPECT_EQ(skin().documents().back().path(), e.name) << i;
            } else {
                EXPECT_EQ(skin().documents().size(), documents) << i << " " << e.name;
            }
            break;
        case constant:
            EXPECT_EQ(skin().definition(name), e.value) << i << " " << e.name;
            break;
        case function:
            EXPECT_EQ(skin().is_constant_function(name), e.value[0] == '1') << i << " " << e.name;
            break;
        }
    }
    EXPECT_EQ(skin().call_function(StrCache("or"), {"1", "4", "8"}, SkinPath()), "13");
}

}
}
