#include "engine/ui/debug_dialog.h"

#include <cmath>
#include <cstdlib>

#include "engine/base/mainframe.h"
#include "engine/platform/artist.h"

namespace kq {

namespace {

/// One screen of 1024 x 768 pixels.
constexpr double screen_area = 786432.0;

}

DebugDialog::DebugDialog(const DebugDialog& other)
    : Dialog(other),
      m_fps_text(other.m_fps_text),
      m_stats_text(other.m_stats_text),
      m_load_text(other.m_load_text),
      m_pos_text(other.m_pos_text)
{
}

std::string DebugDialog::format_area(float area)
{
    const auto hundredths = static_cast<std::int64_t>(std::llround(double(area) * 100.0 / screen_area));
    const std::int64_t size = std::abs(hundredths);
    std::string text = (hundredths < 0 ? "-" : "") + std::to_string(size / 100);
    const std::int64_t fraction = size % 100;
    if (fraction != 0) {
        text += '.';
        text += char('0' + fraction / 10);
        if (fraction % 10 != 0)
            text += char('0' + fraction % 10);
    }
    return text;
}

void DebugDialog::draw(Artist& artist)
{
    Control::draw(artist);
    m_fps_text.set_text("FPS: " + std::to_string(artist.fps()));
    m_fps_text.render(artist);
    m_load_text.render(artist);
    m_stats_text.set_text("DIPS: " + std::to_string(artist.last_draw_calls() / 2) + "\nQUADS: " +
                          std::to_string(artist.last_quads()) + "\nAREA: " + format_area(artist.last_area()));
    m_stats_text.render(artist);
    std::string position = "P: -, -";
    if (Control* hovered = host() ? host()->hovered() : nullptr) {
        const Vector2<int> mouse = hovered->mouse_position();
        position = "P: " + std::to_string(mouse.x) + ", " + std::to_string(mouse.y);
    }
    m_pos_text.set_text(position);
    m_pos_text.render(artist);
}

void DebugDialog::on_attach()
{
    Dialog::on_attach();
    add_timer([this](int elapsed) { return update_load(elapsed); }, 1000);
    m_last_time = 0;
    m_last_idle = Mainframe::slept_total();
}

bool DebugDialog::update_load(int elapsed_ms)
{
    const std::int64_t idle = Mainframe::slept_total();
    const std::int64_t span = std::int64_t(elapsed_ms) - m_last_time;
    // No time has passed since the last sample: nothing to measure yet.
    if (span <= 0)
        return true;
    const std::int64_t load = 100 - (idle - m_last_idle) * 100 / span;
    m_last_idle = idle;
    m_last_time = elapsed_ms;
    m_load_text.set_text("LOAD: " + std::to_string(load) + "%");
    return true;
}

void DebugDialog::read_skin()
{
    Dialog::read_skin();
    m_fps_text.read_skin(path() + "fps");
    m_load_text.read_skin(path() + "load");
    m_stats_text.read_skin(path() + "dips");
    m_pos_text.read_skin(path() + "pos");
}

}
