#include "engine/ui/console_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/base/debug_output.h"
#include "engine/base/exception.h"
#include "engine/ui/control_initer.h"
#include "widget_fixture.h"

namespace kq::test {
namespace {

using testing::ElementsAre;

const char* const console_nodes = R"(
    look { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(1, 1)] rotation 0
        scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
        tex_adress 0 inherit 0 }
    text_look : look { font "" text "" valign top halign left brilliance 0 }
    bar : control_defaults { min_value 0 max_value 100 direction horizontal border 0
        pin : control_defaults { sx 4 sy 4 } }
    console : control_defaults { sx 400 sy 300 exclusive false
        message "class kq::TextSprite" : text_look { size [(300, 10)] }
        messages : control_defaults { sx 400 sy 280 ub 0 bb 0 lb 0 rb 0 stretch true
            fragment "class kq::Sprite" : look {}
            hor_scroll : bar { sx 400 sy 4 }
            vert_scroll : bar { sx 4 sy 280 direction vertical } }
        input : control_defaults { y 280 sx 400 sy 20 max_chars 0 multiline false permanent_focus true
            caption : text_look {} }
    }
)";

const std::string out = "out";
const std::string command = "command";

struct PlacedConsole : ConsoleDialog
{
    PlacedConsole() { set_up(CIIndependent(SkinPath("console"))); }
    ~PlacedConsole() override { detach(); }
};

class ConsoleDialogTest : public WidgetTest
{
protected:
    ConsoleDialogTest() : WidgetTest(console_nodes) {}

    /// The texts of the console's messages, top to bottom.
    static std::vector<std::string> shown(ConsoleDialog& console)
    {
        std::vector<std::string> lines;
        for (int i = 0; i < console.messages().count(); ++i)
            lines.push_back(static_cast<TextSprite&>(*console.messages().item(i)).text());
        return lines;
    }
};

TEST_F(ConsoleDialogTest, TheListKeepsTheNewest64LinesOfOut)
{
    PlacedConsole console;
    Control::attach_to_parent(&console, &root());
    ASSERT_GE(console.listener_id(), 0);
    for (int i = 0; i < 70; ++i) {
        debug_broadcast("line " + std::to_string(i), &out);
        debug_broadcast("hidden " + std::to_string(i), &command);
    }
    const std::vector<std::string> lines = shown(console);
    ASSERT_EQ(lines.size(), 64u);
    EXPECT_EQ(lines.front(), "line 6");
    EXPECT_EQ(lines.back(), "line 69");
    EXPECT_EQ(console.messages().scroll().y, 64 * 10 - 280) << "the newest line is in view";

    console.detach();
    EXPECT_EQ(console.listener_id(), -1);
    debug_broadcast("after", &out);
    EXPECT_EQ(shown(console).back(), "line 69") << "a detached console hears nothing";
}

TEST_F(ConsoleDialogTest, EnterEchoesTheCommandAndSendsItToTheListeners)
{
    struct Case
    {
        const char* what;
        std::string typed;
        std::function<void()> listener;
        std::vector<std::string> echoed;
        std::vector<std::string> heard;
    };
    const Case cases[] = {
        {"an empty line is only echoed", "", [] {}, {"> "}, {}},
        {"a command", "go north", [] {}, {"> go north"}, {"go north"}},
        {"an engine error", "boom", [] { throw CoreException("no such command"); },
         {"> boom", "> error: no such command"}, {"boom"}},
        {"any other failure", "crash", [] { throw std::runtime_error("x"); }, {"> crash", "> error: unknown"},
         {"crash"}},
    };
    for (const Case& c : cases) {
        PlacedConsole console;
        Control::attach_to_parent(&console, &root());
        std::vector<std::string> heard;
        const std::int32_t id = add_debug_listener([&](const std::string& line, const std::string* channel) {
            if (channel && *channel == command) {
                heard.push_back(line);
                c.listener();
            }
        });
        console.input().set_text(c.typed);
        ui().on_key(key_enter, state_down);
        EXPECT_FALSE(console.input().is_editing()) << c.what;
        EXPECT_TRUE(shown(console).empty()) << c.what << ": the command runs in the next step";
        run_deferred_handlers();
        EXPECT_EQ(shown(console), c.echoed) << c.what;
        EXPECT_EQ(heard, c.heard) << c.what;
        EXPECT_EQ(console.input().text(), "") << c.what;
        EXPECT_EQ(ui().focused(), &console.input()) << c.what;
        EXPECT_TRUE(console.input().is_editing()) << c.what;
        remove_debug_listener(id);
    }
}

}
}
