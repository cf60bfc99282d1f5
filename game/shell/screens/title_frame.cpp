#include "game/shell/screens/title_frame.h"

#include <vector>

#include "engine/art/image_sprite.h"
#include "engine/art/time_stamp.h"
#include "engine/base/clock.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "engine/ui/frame_manager.h"
#include "game/shell/app/game.h"
#include "game/shell/dialogs/main_dlg.h"
#include "game/shell/dialogs/select_profile_dlg.h"

namespace kq {

namespace {

// The name of the player made when there is none.
constexpr const char* first_player = "Player";

}

TitleFrame::TitleFrame()
{
    m_clock.set_default_max_step();
    m_clock.reset(static_cast<int>(time_ms()));
}

void TitleFrame::read_skin()
{
    Frame::read_skin();
    m_name.read_skin(path() + "name");
    m_effect.read_skin(path() + "effect");
}

bool TitleFrame::get_variable(const std::string& name, std::string& value) const
{
    if (name == "profile_name") {
        const Game* game = Game::instance();
        value = game ? game->m_profile_name : std::string();
        return true;
    }
    return Frame::get_variable(name, value);
}

void TitleFrame::on_attach()
{
    Frame::on_attach();
    if (Game* game = Game::instance())
        game->m_profile_changed.connect([this] { run_deferred(this, [this] { refresh_name(); }); }, this);
    m_name.set_data_provider([this](const std::string& name, std::string& value) { return get_variable(name, value); });
    refresh_name();
    m_menu_task = Mainframe::add_task([this] { run_menu(); }, 0, 0, Mainframe::run_once);
}

void TitleFrame::on_detach()
{
    Mainframe::remove_task(m_menu_task);
    m_menu_task = 0;
    if (Game* game = Game::instance())
        game->m_profile_changed.disconnect(this);
    Frame::on_detach();
}

void TitleFrame::refresh_name()
{
    m_name.on_data_changed();
}

void TitleFrame::on_resumed()
{
    std::vector<Sprite*> particles;
    m_effect.for_each_child(
        [&particles](Sprite* child) {
            if (dynamic_cast<ImageSprite*>(child))
                particles.push_back(child);
        },
        false);
    for (Sprite* particle : particles)
        m_effect.remove_child(particle);
}

void TitleFrame::draw(Artist& artist)
{
    Frame::draw(artist);
    m_clock.update(static_cast<int>(time_ms()));
    m_effect.tick(TimeStamp{TimeStamp::millisecond_clock, m_clock.time(), nullptr});
    m_effect.render(artist);
    const Game* game = Game::instance();
    if (game && game->m_profile)
        m_name.render(artist);
}

void TitleFrame::ensure_profile()
{
    Game& game = *Game::instance();
    if (game.m_profile)
        return;
    if (game.m_profiles.empty()) {
        game.select_profile(first_player);
        return;
    }
    SelectProfileDlg chooser(true);
    chooser.set_up(CIIndependent(SkinPath("dialogs.select_profile")));
    chooser.run_modal(*this);
}

void TitleFrame::run_menu()
{
    m_menu_task = 0;
    if (!is_attached() || !Game::instance())
        return;
    ensure_profile();
    {
        MainDlg menu;
        menu.set_up(CIIndependent(SkinPath("dialogs.main")));
        menu.run_modal(*this);
    }
    if (manager())
        manager()->pop_frame(nullptr, Fade::standard());
}

}
