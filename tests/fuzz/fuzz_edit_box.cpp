// Types, pastes and edits arbitrary bytes in edit boxes of each kind (with and without a
// length limit, single- and multi-line). Whatever arrives, the text holds only characters the
// box allows: none below 32 but the line break of a multi-line box, only characters the
// caption's font draws, never more than the limit; the caret stays inside the text and the
// caption shows the text with the caret mark. Anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/art/art_types.h"
#include "engine/base/base_types.h"
#include "engine/base/code_page.h"
#include "engine/base/string_stream.h"
#include "engine/base/tstream.h"
#include "engine/host/window/clipboard.h"
#include "engine/host/window/input_state.h"
#include "engine/host/window/video.h"
#include "engine/platform/font.h"
#include "engine/platform/platform_types.h"
#include "engine/res/res_types.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/edit_box.h"
#include "engine/ui/ui_types.h"
#include "tests/art/art_res_support.h"
#include "tests/res/test_skin_environment.h"
#include "tests/ui/fake_host.h"

namespace {

const char* const boxes = R"(
    control_keys { x 0 y 0 z 0 sx 200 sy 30 x_snap left y_snap top sx_snap absolute sy_snap absolute
        z_snap normal hidden false disabled false transparency none dblclicks false hw_cursor ""
        sw_cursor "" sprite "" }
    caption_keys { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(1, 1)] rotation 0
        scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
        tex_adress 0 inherit 0 font "some.fnt" text "" valign top halign left brilliance 0 }
    box0 : control_keys { max_chars 0 multiline false permanent_focus false caption : caption_keys {} }
    box1 : control_keys { max_chars 5 multiline false permanent_focus false caption : caption_keys {} }
    box2 : control_keys { max_chars 0 multiline true permanent_focus true caption : caption_keys {} }
    box3 : control_keys { max_chars 7 multiline true permanent_focus false caption : caption_keys {} }
)";

// Glyphs for some letters, the digits, a few signs, two code-page letters and the line break.
kq::SharedPtr<kq::Font> some_font()
{
    std::string text = "HGEFONT Bitmap=f.png";
    for (const char* c : {"a", "b", "c", "x", "Y", "0", "1", "9", "|", "-", "E9", "80", "0D"})
        text += std::string(" Char=") + (c[1] ? c : std::string("\"") + c + "\"") + ",0,0,8,8,0,0";
    kq::SharedPtr<kq::Font> font(new kq::Font);
    kq::StringBuffer buffer(text + "\n");
    kq::TStream stream(buffer);
    font->parse(stream);
    return font;
}

struct World
{
    World()
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        kq::register_ui_types();
        kq::register_base_types();
        kq::register_res_types();
        kq::register_platform_types();
        kq::register_art_types();
        skin = std::make_unique<kq::test::TestSkinEnvironment>(boxes);
        resources = std::make_unique<kq::test::TestResources>();
        font = some_font();
        resources->add<kq::Font>("some.fnt", font);
        video = std::make_unique<kq::host::VideoSystem>();
    }

    std::unique_ptr<kq::test::TestSkinEnvironment> skin;
    std::unique_ptr<kq::test::TestResources> resources;
    kq::SharedPtr<kq::Font> font;
    std::unique_ptr<kq::host::VideoSystem> video;
};

void check(kq::EditBox& box, const kq::Font& font)
{
    const std::string& text = box.text();
    if (box.max_chars() != 0 && text.size() > std::size_t(box.max_chars()))
        __builtin_trap();
    for (const char c : text) {
        const bool line_break = c == '\n' && box.is_multiline();
        if (static_cast<unsigned char>(c) < 32 && !line_break)
            __builtin_trap();
        if (!font.has_glyph(kq::widen_char(nullptr, line_break ? '\r' : c)))
            __builtin_trap();
    }
    if (box.caret() > text.size())
        __builtin_trap();
    std::string shown = text;
    if (box.is_editing())
        shown.insert(box.caret(), 1, '|');
    if (box.caption().text() != shown)
        __builtin_trap();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static World world;
    if (size == 0)
        return 0;
    kq::test::HostedRoot ui;
    kq::EditBox box;
    box.set_up(kq::CIIndependent(kq::SkinPath("box" + std::to_string(data[0] % 4))));
    kq::Control::attach_to_parent(&box, &ui.root);
    box.take_focus();

    // 0xFF: paste the bytes up to the next 0xFE; 0xFD: the key of the next byte; else: type.
    const kq::Key keys[] = {kq::Key(8), kq::key_enter, kq::key_escape, kq::Key(35), kq::Key(36),
                            kq::Key(37), kq::Key(39), kq::Key(45), kq::Key(46)};
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0xFF) {
            std::string pasted;
            while (++i < size && data[i] != 0xFE)
                pasted += char(data[i]);
            kq::host::set_clipboard_text(pasted);
            kq::host::input_state().key_down[16] = true;
            box.on_key(kq::Key(45), kq::state_down);
            kq::host::input_state().key_down[16] = false;
        } else if (data[i] == 0xFD && i + 1 < size) {
            box.on_key(keys[data[++i] % std::size(keys)], kq::state_down);
            if (!box.is_editing())
                box.take_focus();
        } else {
            box.on_char(char(data[i]));
        }
        check(box, *world.font);
    }
    box.detach();
    return 0;
}
