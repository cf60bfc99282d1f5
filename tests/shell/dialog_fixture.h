#pragma once

// The game's dialogs under test: the data tree, window, renderer and UI on the test's clock
// (the panels' fixture) with the sound and the art services beside them, so that dialogs load
// their fonts and samples as in the game.
#include "engine/art/art_service.h"
#include "engine/art/text_sprite.h"
#include "engine/platform/audio.h"
#include "engine/res/dictionary.h"
#include "tests/shell/panel_fixture.h"

namespace kq::test {

class DialogTest : public PanelTest
{
protected:
    DialogTest()
    {
        start_audio_service();
        start_art_service();
        // The game's words, as its start publishes them.
        ResHandle<Dictionary> dictionary(ResKey{"skin/main/dic.xml", 0});
        dictionary.get()->publish_words();
    }
    ~DialogTest() override
    {
        stop_art_service();
        stop_audio_service();
    }

    /// The root drawn on black, read back.
    SharedPtr<Texture> shot()
    {
        EXPECT_TRUE(screen->begin_scene());
        screen->clear({0, 0, 0, 1});
        root().draw_tree(*screen);
        SharedPtr<Texture> capture = screen->capture_screen();
        screen->end_scene();
        return capture;
    }

    /// The text a text sprite of the control's look shows now.
    static std::string shown_text(const Control& control, const char* sprite)
    {
        auto* text = dynamic_cast<TextSprite*>(control.sprite()->find(StrCache(sprite), false));
        if (!text)
            return "(no text sprite " + std::string(sprite) + ")";
        const std::u16string& shown = text->display_text();
        return std::string(shown.begin(), shown.end());
    }

    /// Runs the action `ms` milliseconds from now, from the scheduler: dialogs run modally
    /// and wait inside their own tasks, so a test acts from tasks of the same loop.
    void act_at(std::int64_t ms, std::function<void()> action)
    {
        Mainframe::add_task(std::move(action), reinterpret_cast<Mainframe::TaskId>(&m_actions), ms,
                            Mainframe::run_once);
    }

    /// The variable as the control (or its ancestors) holds it; empty when none does.
    static std::string variable(const Control& control, const char* name)
    {
        std::string value;
        control.get_variable(name, value);
        return value;
    }

private:
    int m_actions = 0;
};

}
