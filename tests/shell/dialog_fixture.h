#pragma once

// The game's dialogs under test: the data tree, window, renderer and UI on the test's clock
// (the panels' fixture) with the sound and the art services beside them, so that dialogs load
// their fonts and samples as in the game.
#include "engine/art/art_service.h"
#include "engine/platform/audio.h"
#include "tests/shell/panel_fixture.h"

namespace kq::test {

class DialogTest : public PanelTest
{
protected:
    DialogTest()
    {
        start_audio_service();
        start_art_service();
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

    /// The variable as the control (or its ancestors) holds it; empty when none does.
    static std::string variable(const Control& control, const char* name)
    {
        std::string value;
        control.get_variable(name, value);
        return value;
    }
};

}
