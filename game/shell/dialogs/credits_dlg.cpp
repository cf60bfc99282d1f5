#include "game/shell/dialogs/credits_dlg.h"

#include "engine/art/time_stamp.h"
#include "engine/base/application.h"
#include "engine/base/clock.h"
#include "engine/platform/artist.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"

namespace kq {

CreditsDlg::CreditsDlg()
{
    m_cancel.set_up(CIChild(this, "cancel"));
    m_cancel.on_click().connect([this] { run_deferred(this, [this] { close(dialog_result_cancel()); }); }, this);
}

CreditsDlg::~CreditsDlg()
{
    // Detached while the button still exists, so it leaves the tree with the dialog.
    detach();
}

void CreditsDlg::read_skin()
{
    Dialog::read_skin();
    m_text.read_skin(path() + "text");
    m_text.set_data_provider([this](const std::string& name, std::string& value) { return get_variable(name, value); });
}

void CreditsDlg::on_attach()
{
    Dialog::on_attach();
    if (const Application* application = Application::instance())
        set_variable("version", application->version());
    m_text.on_data_changed();
    const Vector2<float> pivot = m_text.pivot();
    const Vector2<float> position = m_text.position();
    const Vector2<float> size = m_text.size();
    m_clip = {int(-pivot.x) + int(position.x), int(-pivot.y) + int(position.y), int(size.x), int(size.y)};
    add_timer(
        [this](int) {
            const Vector2<float> at = m_text.position();
            m_text.set_position(Vector2<float>{float(int(at.x)), float(int(at.y) - 1)});
            return true;
        },
        scroll_period_ms);
}

void CreditsDlg::draw(Artist& artist)
{
    Control::draw(artist);
    artist.push_scissor(Rect{float(m_clip.x), float(m_clip.y), float(m_clip.w), float(m_clip.h)});
    m_text.tick(TimeStamp{TimeStamp::millisecond_clock, static_cast<std::int32_t>(time_ms()), nullptr});
    m_text.render(artist);
    artist.pop_scissor();
}

}
