#include "game/shell/app/shell.h"

#include "engine/base/directories.h"
#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/log.h"
#include "engine/base/mainframe.h"
#include "engine/base/string_stream.h"
#include "engine/base/tstream.h"
#include "engine/platform/audio.h"
#include "engine/res/res.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "engine/ui/ui.h"
#include "game/shell/screens/intro_frame.h"

namespace kq {

namespace {

// Where the volume groups start until a player's settings apply.
constexpr float initial_effect_volume = 0.75f;
constexpr float initial_music_volume = 0.4f;

// An intro frame that gets no input closes itself after 2500 ms; its fade out takes 1500 ms.
constexpr int logo_fade_out_ms = 1500;
constexpr std::int64_t black_frame_ms = 200;

void log_unbalanced(const char* what)
{
    log_error(what, source_file_name(__FILE__), __LINE__);
}

}

Shell::Shell(const SkinPath& node, SharedPtr<UI> ui) : Service("shell"), m_ui(std::move(ui))
{
    m_debug_dialog.set_up(CIIndependent(SkinPath("sui.debug_dialog")));
    m_console_dialog.set_up(CIIndependent(SkinPath("sui.console_dialog")));
    m_title_music.set_key(ResKey{"", 1});
    m_hider.set_up(CIIndependent(SkinPath("controls.hider")));
    m_title_music.read_name_from_skin(node + "title_music");
}

Shell::~Shell() = default;

Window& Shell::window() const
{
    return *m_ui->window();
}

void Shell::initialize()
{
    apply_wait_mode();
    // The cursor stays hidden until the game shows it after its intro.
    m_ui->set_hw_cursor(true);
    m_ui->show_cursor(false);
    set_effect_volume(initial_effect_volume);
    if (Audio* audio = Audio::instance())
        audio->set_group_volume(initial_music_volume, group_music);
    create_directories(get_app_dir());

    Control* root = m_ui->root();
    m_frame_manager.set_skin_path(SkinPath("ui.frame_manager"));
    Control::attach_to_parent(&m_frame_manager, root);
    // The window's own activation is the one source of the hider and its idle hold.
    window().on_activate().connect([this](bool active) { on_activate(active); }, this);
    window().on_command().connect(
        [this](WindowCommand command) { run_deferred(this, [this, command] { on_window_command(command); }); },
        this);
    Control::attach_to_parent(&m_debug_dialog, root);
    Control::attach_to_parent(&m_console_dialog, root);
    if (!window().is_active())
        show_hider();

    Mainframe::add_task([this] { run_game(); }, 0, 0, Mainframe::run_once_or_on_removal);
    window().on_destroy().connect([] { Mainframe::quit(); }, this);
}

void Shell::run_game()
{
    run();
    Mainframe::quit();
}

void Shell::shutdown()
{
    cancel_deferred(this);
    if (m_hider.is_attached())
        m_hider.detach();
    m_console_dialog.detach();
    m_debug_dialog.detach();
    window().on_command().disconnect(this);
    window().on_activate().disconnect(this);
    window().on_destroy().disconnect(this);
    m_frame_manager.detach();
}

void Shell::run()
{
    if (Audio* audio = Audio::instance())
        audio->play_music_path(m_title_music, MusicFade{});
}

void Shell::on_window_command(WindowCommand command)
{
    switch (command) {
    case window_toggle_fullscreen:
        window().set_fullscreen(!window().is_fullscreen());
        break;
    case window_close:
        on_close();
        break;
    default:
        break;
    }
}

void Shell::on_close()
{
    Mainframe::quit();
}

void Shell::on_activate(bool active)
{
    if (Audio* audio = Audio::active())
        audio->set_global_volume(!active);
    if (active)
        hide_hider();
    else
        show_hider();
}

void Shell::hold_idle()
{
    ++m_idle_holds;
}

void Shell::release_idle()
{
    if (m_idle_holds <= 0) {
        log_unbalanced("Idle hold released without being held. Ignored.");
        return;
    }
    --m_idle_holds;
}

void Shell::show_hider()
{
    if (++m_hider_holds != 1)
        return;
    hold_idle();
    Control::attach_to_parent(&m_hider, m_ui->root());
}

void Shell::hide_hider()
{
    if (m_hider_holds <= 0) {
        log_unbalanced("Hider hidden without being shown. Ignored.");
        return;
    }
    if (--m_hider_holds != 0)
        return;
    m_hider.detach();
    release_idle();
}

void Shell::set_wait_mode(int mode)
{
    if (mode < wait_sleep || mode > wait_never) {
        StringStream text;
        text << "Unknown wait mode " << mode << ". Ignored.";
        log_unbalanced(text.str().c_str());
        return;
    }
    if (mode == m_wait_mode)
        return;
    m_wait_mode = mode;
    apply_wait_mode();
}

// Only mode 2 keeps the scheduler from sleeping. In mode 1 the frames are paced by the UI's
// 10 ms drawing task and by the display, where the device waits for its refresh: the loop
// sleeps until the next task is due instead of spinning a core with nothing to do.
void Shell::apply_wait_mode()
{
    Mainframe::set_no_wait(m_wait_mode == wait_never);
}

void Shell::set_effect_volume(float volume)
{
    Audio* audio = Audio::instance();
    if (!audio)
        return;
    for (int group : {group_effects, group_interface, group_example})
        audio->set_group_volume(volume, group);
}

void Shell::play_intro(const std::string& directory)
{
    SharedPtr<Frame> black(new Frame);
    black->set_up(CIIndependent(SkinPath("shell.black_frame")));
    m_frame_manager.push_frame(black, Fade());
    Mainframe::wait(black_frame_ms);

    Res& res = *Res::instance();
    // A missing logo gives an empty handle: the first missing number ends the intro.
    res.push_provider([](const ResRequest&, SharedPtr<ResRecord>&) { return true; });
    for (int n = 1;; ++n) {
        const FilePath path(FilePath(directory).str() + FilePath("logo" + std::to_string(n) + ".jpg").str());
        ResHandle<Texture> logo(ResKey{path.str(), 0});
        if (!logo.get())
            break;
        SharedPtr<IntroFrame> frame(new IntroFrame);
        frame->set_up(CIIndependent(SkinPath("shell.intro_frame")));
        frame->set_image(logo);
        Fade fade(0, logo_fade_out_ms);
        fade.m_disable_input = false;
        m_frame_manager.run_frame(SharedPtr<Frame>(frame), fade);
        m_frame_manager.wait_transition();
        frame = SharedPtr<IntroFrame>();
        const ResKey key = logo.key();
        logo.release();
        res.unload([&key](StrCache, const ResKey& loaded, const ResRecord&) { return loaded == key; });
    }
    res.pop_provider();
    m_frame_manager.pop_frame(black.get(), Fade());
}

}
