#include "game/shell/dialogs/tip_dlg.h"

#include <cmath>
#include <numbers>

#include "engine/art/interpolate_controller.h"
#include "engine/art/time_stamp.h"
#include "engine/base/clock.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "game/shell/app/game.h"

namespace kq {

namespace {

Profile* current_profile()
{
    Game* game = Game::instance();
    return game ? game->m_profile : nullptr;
}

}

TipDlg::TipDlg()
{
    m_ok.set_up(CIChild(this, "ok"));
    m_hide.set_up(CIChild(this, "hide"));
    m_ok.on_click().connect([this] { run_deferred(this, [this] { close(dialog_result_ok()); }); }, this);
}

TipDlg::~TipDlg()
{
    // Detached while the children still exist, so they leave the tree with the dialog.
    detach();
}

void TipDlg::draw_over(Artist& artist)
{
    m_arrow.tick(TimeStamp{TimeStamp::millisecond_clock, static_cast<std::int32_t>(time_ms()), nullptr});
    m_arrow.render(artist);
}

bool TipDlg::on_key(Key key, KeyState state)
{
    if (state == state_down) {
        close(dialog_result_ok());
        return true;
    }
    return Dialog::on_key(key, state);
}

void TipDlg::on_attach()
{
    Dialog::on_attach();
    if (const Profile* profile = current_profile())
        m_hide.set_checked(!profile->tips);
}

void TipDlg::on_attached()
{
    fade_color({1, 1, 1, 0}, {1, 1, 1, 1}, false);
}

void TipDlg::read_skin()
{
    Dialog::read_skin();
    m_arrow.read_skin(path() + "arrow");
}

void TipDlg::on_close(StrCache)
{
    if (Profile* profile = current_profile())
        profile->tips = !m_hide.is_checked();
    fade_color({1, 1, 1, 1}, {1, 1, 1, 0}, false);
}

void TipDlg::set_arrow(int corner)
{
    if (corner < 0 || corner > 3) {
        if (m_arrow.hidden() == 0)
            m_arrow.set_hidden(true);
        return;
    }
    const float a = float(corner) * std::numbers::pi_v<float> / 2.0f + std::numbers::pi_v<float> / 4.0f;
    if (m_arrow.hidden() == 1)
        m_arrow.set_hidden(false);
    const Vector2<int> points[4] = {{size().x, size().y}, {0, size().y}, {0, 0}, {size().x, 0}};
    m_arrow.set_rotation(a);
    m_arrow.set_position(points[corner]);
    if (auto* shift = m_arrow.find_child<ShiftController>()) {
        shift->set_start_value({0.0f, 0.0f});
        shift->set_end_value({arrow_travel * std::cos(a + std::numbers::pi_v<float>),
                              arrow_travel * std::sin(a + std::numbers::pi_v<float>)});
        shift->set_variation(0.0f);
        shift->set_applied_offset({0.0f, 0.0f});
    }
}

}
