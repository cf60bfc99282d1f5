#pragma once

// The player dialogs as the title and the main menu run them: over the real game's main
// menu, from a task of their own, with the players the test sets up, driven by pushed input.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/art/text_sprite.h"
#include "engine/base/mainframe.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/list_box.h"
#include "engine/ui/message_dialog.h"
#include "engine/ui/ui.h"
#include "game/shell/dialogs/main_dlg.h"
#include "game/shell/screens/title_frame.h"
#include "tests/shell/game_driver.h"

namespace kq::test {

/// The screen's centre of a control.
inline Vector2<int> centre_of(const Control& control)
{
    Vector2<int> p{control.size().x / 2, control.size().y / 2};
    control.client_to_screen(p);
    return p;
}

/// The screen's point in the middle of a list's item.
inline Vector2<int> item_point(const ListBox& list, int index)
{
    const SharedPtr<Sprite> item = list.item(index);
    const RectI view = list.view();
    Vector2<int> p{view.x + view.w / 2, view.y + int(item->position().y + item->size().y / 2) - list.scroll().y};
    list.client_to_screen(p);
    return p;
}

/// The text a text sprite shows now (8-bit characters only); a note when it is no text.
inline std::string shown_text(Sprite* sprite)
{
    auto* text = dynamic_cast<TextSprite*>(sprite);
    if (!text)
        return "(no text sprite)";
    const std::u16string& shown = text->display_text();
    return std::string(shown.begin(), shown.end());
}

/// The text of a list item's "label".
inline std::string label_of(const SharedPtr<Sprite>& item)
{
    return shown_text(item->find(StrCache("label"), false));
}

/// The message dialog on top of the dialog's children, or null.
inline MessageDialog* message_over(Control& dialog)
{
    return dialog.children().empty() ? nullptr : dynamic_cast<MessageDialog*>(dialog.children().back());
}

/// The centre of the message's button of that name.
inline Vector2<int> message_button(MessageDialog& message, const char* name)
{
    for (const SharedPtr<Button>& button : message.buttons())
        if (button->path().text().ends_with(name))
            return centre_of(*button);
    ADD_FAILURE() << "no button " << name;
    return {};
}

/// The title screen among the game's frames, or null.
inline TitleFrame* title_frame()
{
    Game* game = Game::instance();
    if (!game)
        return nullptr;
    for (const SharedPtr<Frame>& frame : game->frame_manager().frames())
        if (auto* title = dynamic_cast<TitleFrame*>(frame.get()))
            return title;
    return nullptr;
}

/// The dialog of type D over the title screen, of this skin node when one is named, or null.
template <class D>
inline D* dialog_over_title(const char* node = nullptr)
{
    TitleFrame* title = title_frame();
    if (!title)
        return nullptr;
    for (Control* child : title->children())
        if (auto* dialog = dynamic_cast<D*>(child); dialog && (!node || dialog->path().text() == node))
            return dialog;
    return nullptr;
}

/// The main menu showing and taking input.
inline bool main_menu_ready()
{
    MainDlg* menu = dialog_over_title<MainDlg>();
    return top_frame_is<TitleFrame>() && menu && !(menu->state() & Control::state_hidden) &&
           !Game::instance()->frame_manager().is_fading();
}

/// The player's name as the title shows it.
inline std::string title_name_shown()
{
    TitleFrame* title = title_frame();
    if (!title)
        return "(no title)";
    const std::u16string& text = title->name().display_text();
    return std::string(text.begin(), text.end());
}

/// Reaches the main menu, then leaves exactly these players, the current one named (none
/// for an empty name).
inline GameDriver& at_menu_with(GameDriver& driver, std::vector<std::string> names, std::string current)
{
    return driver.skip_intro()
        .wait_for("the main menu", main_menu_ready, 20000)
        .then([names, current] {
            Game& game = *Game::instance();
            while (!game.m_profiles.empty())
                game.delete_profile(game.m_profiles.front().name);
            for (const std::string& name : names)
                game.select_profile(name);
            game.m_profile = nullptr;
            game.m_profile_name.clear();
            game.select_profile(current);
        });
}

/// The names of the game's players, in order.
inline std::vector<std::string> player_names()
{
    std::vector<std::string> names;
    Game::instance()->for_each_profile([&](const Profile& profile) { names.push_back(profile.name); });
    return names;
}

/// A dialog run modally under the UI's root from a task of its own, as the screens run them,
/// while the script's steps act.
template <class D>
class DialogRun
{
public:
    DialogRun(std::function<std::unique_ptr<D>()> make, const char* node) : m_make(std::move(make)), m_node(node) {}

    /// Opens the dialog and waits until it shows.
    GameDriver& open(GameDriver& driver)
    {
        driver.then([this] {
            Mainframe::add_task(
                [this] {
                    const std::unique_ptr<D> made = m_make();
                    made->set_up(CIIndependent(SkinPath(m_node)));
                    dialog = made.get();
                    result = dialog->run_modal(*Game::instance()->ui().root());
                    dialog = nullptr;
                },
                reinterpret_cast<Mainframe::TaskId>(this), 0, Mainframe::run_once);
        });
        return driver.wait_for(m_node, [this] { return dialog && dialog->is_attached(); });
    }
    /// Waits until the dialog has closed.
    GameDriver& closed(GameDriver& driver)
    {
        return driver.wait_for(std::string(m_node) + " closed", [this] { return dialog == nullptr; });
    }

    D* dialog = nullptr;
    StrCache result;

private:
    std::function<std::unique_ptr<D>()> m_make;
    const char* m_node;
};

}
