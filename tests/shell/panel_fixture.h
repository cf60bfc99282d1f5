#pragma once

// The game's own data tree with its window and renderer on the offscreen driver and a UI over
// them, on a clock the test drives: the panels are built from their real skin nodes and draw
// their real images. A field of the first mission is at hand, and an artist that records
// what a panel draws when handed to it directly.
#include <memory>

#include <gtest/gtest.h>

#include "engine/art/art_service.h"
#include "engine/base/mainframe.h"
#include "engine/platform/api_window.h"
#include "engine/platform/audio.h"
#include "engine/platform/dx_artist.h"
#include "engine/platform/dx_draw.h"
#include "engine/ui/control.h"
#include "engine/ui/ui.h"
#include "game/field/field.h"
#include "tests/base/manual_clock.h"
#include "tests/field/item_fixture.h"
#include "tests/platform/recording_artist.h"
#include "tests/shell/data_tree.h"

namespace kq::test {

class PanelTest : public testing::Test
{
protected:
    PanelTest()
    {
        m_window = start_api_window_service(SkinPath("vimo.window"));
        start_dxdraw_service(SkinPath("dxdraw"), SharedPtr<Window>(m_window));
        start_art_service();  // the panels' texts load their fonts
        start_audio_service();  // the field's sounds load through it
        screen = DXDraw::instance()->artist_for(SharedPtr<Window>(m_window));
        m_ui = SharedPtr<UI>(new UI(SkinPath("vimo.ui"), SharedPtr<Window>(m_window), screen));
        Mainframe::register_service(SharedPtr<Service>(m_ui));
        m_clock.time = 1000;
        ui().update_timers();  // the timers count from now
    }
    ~PanelTest() override
    {
        Mainframe::unregister_service(SharedPtr<Service>(m_ui));
        m_ui = SharedPtr<UI>();
        stop_audio_service();
        stop_art_service();
        stop_dxdraw_service();
        stop_api_window_service(m_window);
    }

    UI& ui() { return *m_ui; }
    Control& root() { return *m_ui->root(); }

    /// A field of the game's first mission, its pieces pushed apart as the game does.
    std::unique_ptr<Field> first_mission()
    {
        auto field = std::make_unique<Field>(FieldSettings{}, game);
        field->read_skin(SkinPath("missions.chapter1.mission1"));
        return field;
    }

    /// Moves the clock on and draws a frame of the whole tree.
    void draw_frame(int after_ms = 10)
    {
        m_clock.time += after_ms;
        ui().update_timers();
        ui().draw_frame();
    }

    /// Runs the handlers deferred so far.
    void run_deferred_handlers(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            Mainframe::step();
    }

    /// A left click at a point of the root.
    void click_at(Vector2<int> point)
    {
        ui().on_mouse_move(point);
        ui().on_key(key_mouse_left, state_down);
        ui().on_key(key_mouse_left, state_up);
        m_clock.time += 1000;  // no double click with the next press
    }

    /// Vertices the control's own `draw` hands to the recording artist.
    std::size_t vertices_drawn(Control& control)
    {
        recorder.batches.clear();
        recorder.begin_scene();
        control.draw(recorder);
        recorder.end_scene();
        std::size_t count = 0;
        for (const RecordedBatch& batch : recorder.batches)
            count += batch.vertices.size();
        return count;
    }

    FakeGame game;
    RecordingArtist recorder;
    DXArtist* screen = nullptr;

private:
    DataTree m_data{"kq_panels_"};
    ManualClock m_clock;
    APIWindow* m_window = nullptr;
    SharedPtr<UI> m_ui;

protected:
    ManualClock& clock() { return m_clock; }
};

}
