#include "engine/ui/edit_box.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/base/string_stream.h"
#include "engine/base/tstream.h"
#include "engine/host/window/clipboard.h"
#include "engine/host/window/input_state.h"
#include "engine/host/window/video.h"
#include "engine/platform/font.h"
#include "engine/ui/control_initer.h"
#include "tests/art/art_res_support.h"
#include "widget_fixture.h"

namespace kq::test {
namespace {

using testing::ElementsAre;

constexpr Key vk_backspace = Key(8);
constexpr Key vk_end = Key(35);
constexpr Key vk_home = Key(36);
constexpr Key vk_left = Key(37);
constexpr Key vk_right = Key(39);
constexpr Key vk_insert = Key(45);
constexpr Key vk_delete = Key(46);
constexpr int vk_shift = 16;
constexpr int vk_control = 17;

const char* const edit_nodes = R"(
    look { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(1, 1)] rotation 0
        scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
        tex_adress 0 inherit 0 }
    plain_caption : look { font "plain.fnt" text "" valign top halign left brilliance 0 }
    lines_caption : plain_caption { font "lines.fnt" }
    no_font_caption : plain_caption { font "" }
    box_keys : control_defaults { x 10 y 10 sx 200 sy 30 max_chars 0 multiline false permanent_focus false }
    field : box_keys { caption : plain_caption {} }
    limited : box_keys { max_chars 3 caption : plain_caption {} }
    lines : box_keys { multiline true caption : lines_caption {} }
    lines_without_break : box_keys { multiline true caption : plain_caption {} }
    fontless : box_keys { caption : no_font_caption {} }
    permanent : box_keys { permanent_focus true caption : plain_caption {} }
    elsewhere : control_defaults { x 500 y 500 sx 20 sy 20 }
)";

/// A font of a few glyphs, with the line break (13) or without it.
SharedPtr<Font> font_of(bool line_break)
{
    SharedPtr<Font> font(new Font);
    std::string text = "HGEFONT Bitmap=f.png Char=\"a\",0,0,8,8,0,0 Char=\"b\",0,0,8,8,0,0 Char=\"c\",0,0,8,8,0,0 "
                       "Char=\"x\",0,0,8,8,0,0 Char=\"y\",0,0,8,8,0,0 Char=\"z\",0,0,8,8,0,0 Char=\" \",0,0,0,0,0,4 "
                       "Char=\"|\",0,0,2,8,0,0 Char=E9,0,0,8,8,0,0";
    if (line_break)
        text += " Char=0D,0,0,0,0,0,0";
    StringBuffer buffer(text + "\n");
    TStream stream(buffer);
    EXPECT_TRUE(font->parse(stream));
    return font;
}

/// Holds a modifier key down for its lifetime, as the window's events would.
struct HeldKey
{
    explicit HeldKey(int vk) : m_vk(vk) { host::input_state().key_down[vk] = true; }
    ~HeldKey() { host::input_state().key_down[m_vk] = false; }
    int m_vk;
};

struct PlacedEditBox : EditBox
{
    explicit PlacedEditBox(const char* node) { set_up(CIIndependent(SkinPath(node))); }
    ~PlacedEditBox() override { detach(); }
};

class EditBoxTest : public WidgetTest
{
protected:
    EditBoxTest() : WidgetTest(edit_nodes)
    {
        m_resources.add<Font>("plain.fnt", font_of(false));
        m_resources.add<Font>("lines.fnt", font_of(true));
    }

    /// Attaches the box and gives it the focus by a click, so that it edits.
    void edit(EditBox& box)
    {
        Control::attach_to_parent(&box, &root());
        click_at({20, 20});
        ASSERT_TRUE(box.is_editing());
    }
    void journal(EditBox& box)
    {
        box.on_change().connect([this] { m_journal.push_back("change"); }, this);
        box.on_caret().connect([this] { m_journal.push_back("caret"); }, this);
        box.on_enter().connect([this] { m_journal.push_back("enter"); }, this);
    }
    void type(const std::string& text)
    {
        for (char c : text)
            ui().on_char(c);
    }
    void key(Key key) { ui().on_key(key, state_down); }
    bool on_key_stack(const Control& control)
    {
        for (const UI::StackEntry& entry : ui().key_stack())
            if (entry.control == &control)
                return true;
        return false;
    }

    TestResources m_resources;
    std::vector<std::string> m_journal;
};

TEST_F(EditBoxTest, TypedCharactersPassTheLimitTheControlAndTheFontTests)
{
    struct Case
    {
        const char* what;
        const char* node;
        std::string typed;
        std::string text;
    };
    const Case cases[] = {
        {"plain letters", "field", "abc", "abc"},
        {"the limit", "limited", "abcx", "abc"},
        {"control characters", "field", "a\x01\tb\x1F", "ab"},
        {"letters the font lacks", "field", "adbq", "ab"},
        {"a code-page letter the font has", "field", "a\xE9", "a\xE9"},
        {"a return in a multi-line box is a line break", "lines", "a\rb", "a\nb"},
        {"a return in a single-line box", "field", "a\rb", "ab"},
        {"a return the font lacks", "lines_without_break", "a\rb", "ab"},
        {"a line feed is a control character", "lines", "a\nb", "ab"},
        {"no font, no text", "fontless", "abc", ""},
    };
    for (const Case& c : cases) {
        PlacedEditBox box(c.node);
        edit(box);
        m_journal.clear();
        journal(box);
        type(c.typed);
        EXPECT_EQ(box.text(), c.text) << c.what;
        EXPECT_EQ(m_journal, std::vector<std::string>(c.text.size(), "change")) << c.what << ": one change a character";
        EXPECT_EQ(box.caret(), c.text.size()) << c.what;
    }
}

TEST_F(EditBoxTest, EditingKeysMoveTheCaretAndEraseWithTheirSignals)
{
    struct Case
    {
        const char* what;
        std::vector<Key> keys;
        std::string text;
        unsigned caret;
        std::string caption;
        std::vector<std::string> signals;
    };
    const Case cases[] = {
        {"home, then right", {vk_home, vk_right}, "abc", 1, "a|bc", {"caret", "caret"}},
        {"left at the start does nothing", {vk_home, vk_left}, "abc", 0, "|abc", {"caret"}},
        {"right at the end does nothing", {vk_right}, "abc", 3, "abc|", {}},
        {"backspace at the start does nothing", {vk_home, vk_backspace}, "abc", 0, "|abc", {"caret"}},
        {"backspace: caret, then change", {vk_backspace}, "ab", 2, "ab|", {"caret", "change"}},
        {"delete at the end does nothing", {vk_delete}, "abc", 3, "abc|", {}},
        {"delete keeps the caret", {vk_home, vk_delete}, "bc", 0, "|bc", {"caret", "change"}},
        {"end", {vk_home, vk_end}, "abc", 3, "abc|", {"caret", "caret"}},
        {"insert alone does nothing", {vk_insert}, "abc", 3, "abc|", {}},
        {"other keys do nothing", {key_a, key_space}, "abc", 3, "abc|", {}},
    };
    for (const Case& c : cases) {
        PlacedEditBox box("field");
        box.set_text("abc");
        edit(box);
        m_journal.clear();
        journal(box);
        for (Key k : c.keys)
            key(k);
        EXPECT_EQ(box.text(), c.text) << c.what;
        EXPECT_EQ(box.caret(), c.caret) << c.what;
        EXPECT_EQ(box.caption().text(), c.caption) << c.what;
        EXPECT_EQ(m_journal, c.signals) << c.what;
    }
}

TEST_F(EditBoxTest, EnterReportsWhileEditingThenEndsIt)
{
    PlacedEditBox box("field");
    edit(box);
    journal(box);
    bool editing_in_handler = false;
    box.on_enter().connect(
        [&] {
            editing_in_handler = box.is_editing();
            box.set_text("ab");
        },
        &editing_in_handler);
    key(key_enter);
    EXPECT_TRUE(editing_in_handler);
    EXPECT_FALSE(box.is_editing());
    EXPECT_EQ(box.caption().text(), "ab");
    EXPECT_EQ(ui().focused(), nullptr);
    EXPECT_FALSE(on_key_stack(box));
    EXPECT_THAT(m_journal, ElementsAre("enter", "change"));
    box.on_enter().disconnect(&editing_in_handler);
}

TEST_F(EditBoxTest, EscapeEndsEditingSilentlyAndMultiLineEnterDoesNothing)
{
    PlacedEditBox box("field");
    box.set_text("abc");
    edit(box);
    box.set_caret(1);
    EXPECT_EQ(box.caption().text(), "a|bc");
    journal(box);
    key(key_escape);
    EXPECT_EQ(box.caption().text(), "abc");
    EXPECT_FALSE(box.is_editing());
    EXPECT_EQ(ui().focused(), nullptr);
    EXPECT_TRUE(m_journal.empty());
    box.detach();

    PlacedEditBox lines("lines");
    edit(lines);
    journal(lines);
    key(key_enter);
    EXPECT_TRUE(lines.is_editing());
    EXPECT_EQ(lines.text(), "");
    EXPECT_TRUE(m_journal.empty());
}

TEST_F(EditBoxTest, PermanentFocusEditsFromAttachmentAndThroughAnotherFocus)
{
    Control elsewhere;
    elsewhere.set_up(CIIndependent(SkinPath("elsewhere")));
    Control::attach_to_parent(&elsewhere, &root());
    struct Case
    {
        const char* node;
        bool editing_when_attached;
        bool editing_after_focus_moves;
    };
    const Case cases[] = {{"field", false, false}, {"permanent", true, true}};
    for (const Case& c : cases) {
        PlacedEditBox box(c.node);
        box.set_text("ab");
        Control::attach_to_parent(&box, &root());
        EXPECT_EQ(box.is_editing(), c.editing_when_attached) << c.node;
        click_at({20, 20});
        EXPECT_TRUE(box.is_editing()) << c.node;
        click_at({505, 505});
        EXPECT_EQ(ui().focused(), &elsewhere);
        EXPECT_EQ(box.is_editing(), c.editing_after_focus_moves) << c.node;
        EXPECT_EQ(box.caption().text(), c.editing_after_focus_moves ? "ab|" : "ab") << c.node;
        EXPECT_EQ(on_key_stack(box), c.editing_after_focus_moves) << c.node;
        box.detach();
        EXPECT_FALSE(box.is_editing()) << c.node;
        EXPECT_FALSE(on_key_stack(box)) << c.node;
    }
    elsewhere.detach();
}

TEST_F(EditBoxTest, SetTextAndSetCaret)
{
    PlacedEditBox box("field");
    journal(box);
    box.set_text("abc");
    box.set_text("abc");
    EXPECT_EQ(box.caret(), 3u);
    box.set_caret(1);
    box.set_caret(1);
    EXPECT_EQ(box.caption().text(), "abc") << "no caret mark outside editing";
    box.set_caret(40);
    EXPECT_EQ(box.caret(), 3u) << "the caret stays within the text";
    EXPECT_THAT(m_journal, ElementsAre("change", "caret", "caret"));
}

class EditBoxClipboardTest : public EditBoxTest
{
protected:
    host::VideoSystem m_video;
};

TEST_F(EditBoxClipboardTest, ShiftInsertPastesAtTheCaretAsIfTyped)
{
    ASSERT_TRUE(m_video.ready());
    struct Case
    {
        const char* what;
        const char* node;
        std::string text;
        unsigned caret;
        std::string clipboard;
        std::string result;
        unsigned result_caret;
        int changes;
    };
    const Case cases[] = {
        {"at the caret", "field", "ab", 1, "xyz", "axyzb", 4, 1},
        {"up to the limit", "limited", "ab", 1, "xyz", "axb", 2, 1},
        {"nothing past the limit", "limited", "abc", 3, "x", "abc", 3, 0},
        {"control characters and letters the font lacks", "field", "", 0, "x\x01q\ty", "xy", 2, 1},
        {"an empty clipboard", "field", "ab", 2, "", "ab", 2, 0},
        {"nothing drawable", "field", "ab", 2, "qqq", "ab", 2, 0},
        {"lines into a multi-line box", "lines", "", 0, "a\r\nb\nc", "a\nb\nc", 5, 1},
        {"lines into a single-line box", "field", "", 0, "a\r\nb\nc", "abc", 3, 1},
    };
    HeldKey shift(vk_shift);
    for (const Case& c : cases) {
        PlacedEditBox box(c.node);
        box.set_text(c.text);
        edit(box);
        box.set_caret(c.caret);
        host::set_clipboard_text(c.clipboard);
        int changes = 0;
        box.on_change().connect([&changes] { ++changes; }, &changes);
        key(vk_insert);
        EXPECT_EQ(box.text(), c.result) << c.what;
        EXPECT_EQ(box.caret(), c.result_caret) << c.what;
        EXPECT_EQ(changes, c.changes) << c.what;
        box.on_change().disconnect(&changes);
    }
}

TEST_F(EditBoxClipboardTest, CtrlInsertCopiesTheWholeTextEvenWithShift)
{
    ASSERT_TRUE(m_video.ready());
    PlacedEditBox box("field");
    box.set_text("abc");
    edit(box);
    box.set_caret(1);
    host::set_clipboard_text("x");
    {
        HeldKey control(vk_control);
        HeldKey shift(vk_shift);
        key(vk_insert);
    }
    EXPECT_EQ(host::get_clipboard_text(), "abc");
    EXPECT_EQ(box.text(), "abc");
}

}
}
