#include "engine/ui/hardware_cursor.h"

#include <fstream>

#include <gtest/gtest.h>

#include "engine/res/res.h"
#include "tests/base/log_capture.h"
#include "tests/base/temp_dir.h"
#include "tests/host/window/cursor_fixtures.h"

namespace kq {
namespace {

// A skin may name a cursor file the data tree lacks: the pointer must not vanish unseen, nor
// the log fill up at every move of the mouse.
TEST(HardwareCursor, ACursorThatCannotBeLoadedIsLoggedOnce)
{
    TempDir dir;
    SharedPtr<Res> res(new Res);
    res->read_root_file(dir.path() + "default.root");
    res->add_loader(type_name<Cursor>(), SharedPtr<ResLoader>(new CursorLoader));
    std::ofstream(dir.file("hand.cur"), std::ios::binary) << test::plain_cursor(32, 32, 5, 6);
    std::ofstream(dir.file("broken.cur"), std::ios::binary) << "not a cursor";

    struct Case
    {
        const char* name;
        bool loads;
    };
    const Case cases[] = {{"hand.cur", true}, {"hardware_cursor_test_missing.cur", false}, {"broken.cur", false}, {"", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::LogCapture log;
        for (int i = 0; i < 3; ++i) {
            ResHandle<Cursor> handle(ResKey{c.name, 0});
            EXPECT_EQ(load_hardware_cursor(handle) != nullptr, c.loads);
        }
        const std::string logged = log.text("ui");
        const std::string line = "! cursor " + std::string(c.name) + " not loaded: ";
        const bool reported = c.name[0] != '\0' && !c.loads;
        EXPECT_EQ(logged.find(line) != std::string::npos, reported) << logged;
        EXPECT_EQ(logged.find(line), logged.rfind(line)) << "once: " << logged;
    }
}

}
}
