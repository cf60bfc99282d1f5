#include "engine/host/window/event_pump.h"

#include <gmock/gmock.h>

#include "engine/host/window/key_codes.h"
#include "engine/host/window/window_records.h"
#include "window_fixture.h"

namespace kq::test {
namespace {

using host::WindowMessage;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

class EventPumpTest : public WindowTest
{
};

TEST_F(EventPumpTest, QueuedEventsBecomeWindowEvents)
{
    const Uint16 alt = KMOD_LALT;
    struct Case { const char* title; std::vector<SDL_Event> events; Messages expected; };
    const std::vector<Case> cases = {
        {"letter", {key(true, SDLK_a, SDL_SCANCODE_A), key(false, SDLK_a, SDL_SCANCODE_A)},
         {{6, 0x41, 0}, {6, 0x41, 1}}},
        {"a key without a name", {key(true, SDLK_F1, SDL_SCANCODE_F1)}, {{6, 0x70, 0}}},
        {"held key repeats", {key(true, SDLK_x, SDL_SCANCODE_X), key(true, SDLK_x, SDL_SCANCODE_X, 0, 1)},
         {{6, 0x58, 0}, {6, 0x58, 0}}},
        {"Enter also types 13", {key(true, SDLK_RETURN, SDL_SCANCODE_RETURN)}, {{6, 13, 0}, {7, 13, 0}}},
        {"Backspace also types 8", {key(true, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE)}, {{6, 8, 0}, {7, 8, 0}}},
        {"Escape also types 27", {key(true, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE)}, {{6, 27, 0}, {7, 27, 0}}},
        {"Shift is a key", {key(true, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT)}, {{6, 0x10, 0}}},
        {"Alt+Enter toggles full screen once",
         {key(true, SDLK_LALT, SDL_SCANCODE_LALT, alt), key(true, SDLK_RETURN, SDL_SCANCODE_RETURN, alt),
          key(true, SDLK_RETURN, SDL_SCANCODE_RETURN, alt, 1), key(false, SDLK_RETURN, SDL_SCANCODE_RETURN, alt),
          key(false, SDLK_LALT, SDL_SCANCODE_LALT)},
         {{5, 2, 0}}},
        {"Alt+F4 closes", {key(true, SDLK_F4, SDL_SCANCODE_F4, alt)}, {{5, 1, 0}}},
        {"AltGr types",
         {key(true, SDLK_RALT, SDL_SCANCODE_RALT, KMOD_RALT), key(true, SDLK_q, SDL_SCANCODE_Q, KMOD_RALT), text("@")},
         {{6, 0x12, 0}, {6, 0x51, 0}, {7, '@', 0}}},
        {"F4 alone is a key", {key(true, SDLK_F4, SDL_SCANCODE_F4)}, {{6, 0x73, 0}}},
        {"Alt chords and their text give nothing",
         {key(true, SDLK_x, SDL_SCANCODE_X, alt), text("x"), key(false, SDLK_x, SDL_SCANCODE_X, alt)}, {}},
        {"F10 gives nothing", {key(true, SDLK_F10, SDL_SCANCODE_F10), key(false, SDLK_F10, SDL_SCANCODE_F10)}, {}},
        {"text after the chord is typed again",
         {key(true, SDLK_x, SDL_SCANCODE_X, alt), key(true, SDLK_y, SDL_SCANCODE_Y), text("y")},
         {{6, 0x59, 0}, {7, 'y', 0}}},
        {"text in the code page, the rest dropped", {text("\xC3\xA9\xE2\x82\xAC\xD0\xB6")}, {{7, 0xE9, 0}, {7, 0x80, 0}}},
        {"wheel away", {wheel(1)}, {{8, 120, 0}}},
        {"wheel toward the user", {wheel(-1)}, {{8, -120, 0}}},
        {"two notches at once", {wheel(2, 2.0f)}, {{8, 240, 0}}},
        {"flipped wheel", {wheel(1, 1.0f, SDL_MOUSEWHEEL_FLIPPED)}, {{8, -120, 0}}},
        {"sideways wheel", {wheel(0)}, {}},
        {"mouse buttons", {button(true, SDL_BUTTON_LEFT), button(false, SDL_BUTTON_RIGHT), button(true, SDL_BUTTON_MIDDLE)},
         {{6, 1, 0}, {6, 2, 1}, {6, 4, 0}}},
        {"double click is another press", {button(true, SDL_BUTTON_LEFT, 5, 6, 2)}, {{6, 1, 0}}},
        {"side buttons give nothing", {button(true, SDL_BUTTON_X1)}, {}},
        {"motion", {motion(15, 20)}, {{9, 15, 20}}},
        {"close button", {window_event(SDL_WINDOWEVENT_CLOSE)}, {{5, 1, 0}}},
        {"resize", {window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480)}, {{4, 640, 480}}},
        {"other window events", {window_event(SDL_WINDOWEVENT_EXPOSED), window_event(SDL_WINDOWEVENT_MOVED, 3, 4)}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        for (const SDL_Event& event : c.events)
            push(event);
        EXPECT_THAT(pump(), ElementsAreArray(c.expected));
        EXPECT_EQ(m_dropped, 0);
    }
}

TEST_F(EventPumpTest, ActivationChangesAreSentOnce)
{
    struct Step { Uint8 event; Messages expected; };
    const Step steps[] = {
        {SDL_WINDOWEVENT_FOCUS_GAINED, {{2, 0, 0}}},
        {SDL_WINDOWEVENT_FOCUS_GAINED, {}},
        {SDL_WINDOWEVENT_MINIMIZED, {{3, 0, 0}}},
        {SDL_WINDOWEVENT_FOCUS_LOST, {}},
        {SDL_WINDOWEVENT_RESTORED, {}},
        {SDL_WINDOWEVENT_FOCUS_GAINED, {{2, 0, 0}}},
        {SDL_WINDOWEVENT_FOCUS_LOST, {{3, 0, 0}}},
    };
    for (const Step& step : steps) {
        push(window_event(step.event));
        EXPECT_THAT(pump(), ElementsAreArray(step.expected)) << int(step.event);
    }
}

TEST_F(EventPumpTest, TheCursorEntersAndLeavesAtTheNextPump)
{
    push(window_event(SDL_WINDOWEVENT_ENTER));
    push(motion(10, 10));
    EXPECT_THAT(pump(), ElementsAre(WindowMessage{9, 10, 10, 0}));
    EXPECT_THAT(pump(), ElementsAre(WindowMessage{10, 0, 0, 0}));
    EXPECT_THAT(pump(), IsEmpty());

    // Over the window but outside its client area counts as outside.
    push(motion(10, 500));
    pump();
    EXPECT_THAT(pump(), ElementsAre(WindowMessage{11, 0, 0, 0}));
    push(motion(10, 10));
    pump();
    EXPECT_THAT(pump(), ElementsAre(WindowMessage{10, 0, 0, 0}));

    // While the window holds the capture, leaving it is not reported.
    host::set_capture(m_window);
    push(window_event(SDL_WINDOWEVENT_LEAVE));
    pump();
    EXPECT_THAT(pump(), IsEmpty());
    host::release_capture();
    EXPECT_THAT(pump(), ElementsAre(WindowMessage{11, 0, 0, 0}));
}

TEST_F(EventPumpTest, KeysAndButtonsAreHeldUntilReleasedOrTheFocusGoes)
{
    push(key(true, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_LCTRL));
    push(button(true, SDL_BUTTON_RIGHT, 30, 40));
    pump();
    EXPECT_TRUE(host::is_key_down(host::vk_control));
    EXPECT_TRUE(host::is_key_down(2));
    EXPECT_FALSE(host::is_key_down(1));
    EXPECT_EQ(host::cursor_position(m_window), (host::Point{30, 40}));
    push(button(false, SDL_BUTTON_RIGHT));
    pump();
    EXPECT_FALSE(host::is_key_down(2));
    push(window_event(SDL_WINDOWEVENT_FOCUS_LOST));
    pump();
    EXPECT_FALSE(host::is_key_down(host::vk_control));
    EXPECT_FALSE(host::is_key_down(-1));
    EXPECT_FALSE(host::is_key_down(256));
}

TEST_F(EventPumpTest, EventsWithoutAWindowOrHandlerAreDroppedNotThrown)
{
    SDL_Event stray = key(true, SDLK_a, SDL_SCANCODE_A);
    stray.key.windowID = id() + 1000;
    push(stray);
    EXPECT_THAT(pump(), IsEmpty());
    EXPECT_EQ(m_dropped, 1);

    host::find_record(m_window)->handler = nullptr;
    push(key(true, SDLK_a, SDL_SCANCODE_A));
    push(window_event(SDL_WINDOWEVENT_FOCUS_GAINED));
    EXPECT_THAT(pump(), IsEmpty());
    EXPECT_EQ(m_dropped, 2);

    // A quit request is no window's event.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    push(quit);
    pump();
    EXPECT_EQ(m_dropped, 0);
}

}
}
