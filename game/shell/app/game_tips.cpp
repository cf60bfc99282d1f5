// The tips: shown once per player, page after page, each placed in the quarter of the screen
// that holds the point it is about.
#include <exception>
#include <string>

#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/platform/sound.h"
#include "engine/res/skin_child_iterator.h"
#include "engine/res/skin_readers.h"
#include "engine/ui/ui.h"
#include "game/shell/app/game.h"
#include "game/shell/dialogs/tip_dlg.h"

namespace kq {

namespace {

/// How far a tip's dialog stands from its point, in both directions.
constexpr int tip_distance = 66;
/// The arrow's corner for each quarter of the screen: left top, right top, left bottom, right
/// bottom.
constexpr int corner_of_quarter[4] = {2, 3, 1, 0};

const Vector2<int> no_point{-1, -1};

}

void Game::show_tip(StrCache name, Vector2<int> position)
{
    if (m_tip_permits <= 0 || !m_profile || m_profile->shown_tips.count(name))
        return;
    m_profile->shown_tips.insert(name);
    save();
    const bool was_empty = m_tip_pages.empty();
    try {
        std::deque<TipPage> pages;
        for (SkinChildIterator page(SkinPath("tips"), std::string(name.c_str())); !page.at_end(); page.next()) {
            TipPage tip{position, {}};
            read_skin_value(page.path() + "text", &tip.text);
            if (position == no_point)
                read_vector2i(page.path() + "position", &tip.position);
            pages.push_back(std::move(tip));
        }
        if (pages.empty()) {
            log_error(("Tip " + std::string(name.c_str()) + " is absent.").c_str(), "game", 187);
            return;
        }
        m_tip_pages.insert(m_tip_pages.end(), pages.begin(), pages.end());
        if (was_empty)
            show_next_tip();
    } catch (const std::exception& error) {
        log_error(("Tip " + std::string(name.c_str()) + " cannot be shown: " + error.what()).c_str(), source_file_name(__FILE__),
                  __LINE__);
    }
}

void Game::show_next_tip()
{
    if (m_tip_pages.empty())
        return;
    if (!m_profile || !m_profile->tips) {
        m_tip_pages.clear();
        return;
    }
    hold_idle();
    const TipPage& page = m_tip_pages.front();
    TipDlg& dialog = *m_tip_dialog;
    int corner = TipDlg::no_arrow;
    XSnap x_snap = XSnap::center;
    YSnap y_snap = YSnap::center;
    Vector2<int> offset{0, 0};
    if (page.position != no_point) {
        const Vector2<int> screen = frame_manager().size();
        int quarter = 0;
        if (page.position.x < screen.x / 2) {
            x_snap = XSnap::left;
            offset.x = page.position.x + tip_distance;
        } else {
            x_snap = XSnap::right;
            offset.x = screen.x - page.position.x + tip_distance;
            quarter += 1;
        }
        if (page.position.y < screen.y / 2) {
            y_snap = YSnap::top;
            offset.y = page.position.y + tip_distance;
        } else {
            y_snap = YSnap::bottom;
            offset.y = screen.y - page.position.y + tip_distance;
            quarter += 2;
        }
        corner = corner_of_quarter[quarter];
    }
    dialog.set_snaps(x_snap, y_snap);
    dialog.update_layout(false);
    dialog.set_position(offset);
    dialog.set_variable("tip", "{#ui.tip.prefix}" + page.text);
    dialog.set_arrow(corner);
    try {
        Sound().play(m_tip_sample.get(), false, 0.0f, 1.0f, 0);
    } catch (const std::exception& error) {
        log_error(error.what(), source_file_name(__FILE__), __LINE__);
    }
    Control::attach_to_parent(&dialog, ui().root());
}

void Game::on_tip_closed(StrCache)
{
    if (!m_tip_pages.empty())
        m_tip_pages.pop_front();
    release_idle();
    // The page's "hide" box turned the player's tips off: that must survive.
    if (m_profile && !m_profile->tips)
        save();
    show_next_tip();
}

}
