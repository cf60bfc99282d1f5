#include "game/shell/dialogs/score_dlg.h"

#include <string>

#include "engine/art/time_stamp.h"
#include "engine/base/clock.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "game/shell/app/game.h"

namespace kq {

namespace {

// The cells' place: the name and the score share one rectangle, each aligned by its look.
constexpr int row_x = 150;
constexpr int row_width = 320;
constexpr int row_height = 48;
const Color current_player_color{1.0f, 1.0f, 0.0f, 1.0f};

}

ScoreDlg::ScoreDlg()
{
    m_cancel.set_up(CIChild(this, "cancel"));
    m_cancel.on_click().connect([this] { run_deferred(this, [this] { close(dialog_result_cancel()); }); }, this);
}

ScoreDlg::~ScoreDlg()
{
    // Detached while the button still exists, so it leaves the tree with the dialog.
    detach();
}

void ScoreDlg::read_skin()
{
    Dialog::read_skin();
    m_table.read_skin(path() + "table");
}

void ScoreDlg::on_attach()
{
    Dialog::on_attach();
    build_rows();
}

void ScoreDlg::build_rows()
{
    for (const SharedPtr<TextSprite>& row : m_rows)
        m_table.remove_child(row.get());
    m_rows.clear();
    const Game* game = Game::instance();
    if (!game)
        return;
    std::vector<ScoreEntry> entries;
    game->build_score_list(entries);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ScoreEntry& entry = entries[i];
        const RectI rect{row_x, first_row_y + row_spacing * int(i), row_width, row_height};
        const bool current = entry.name == game->m_profile_name;
        add_cell("name", rect, std::to_string(i + 1) + ". " + entry.name, current);
        add_cell("score", rect, std::to_string(entry.score), current);
    }
}

void ScoreDlg::add_cell(const char* key, const RectI& rect, const std::string& text, bool current)
{
    SharedPtr<TextSprite> cell(new TextSprite);
    cell->read_skin(path() + key);
    cell->set_rect(rect);
    if (cell->text() != text)
        cell->set_text(text);
    if (current)
        cell->set_color(current_player_color);
    cell->invalidate();
    m_table.add_child(SharedPtr<Sprite>(cell));
    m_rows.push_back(cell);
}

void ScoreDlg::draw(Artist& artist)
{
    Dialog::draw(artist);
    m_table.tick(TimeStamp{TimeStamp::millisecond_clock, static_cast<std::int32_t>(time_ms()), nullptr});
    m_table.render(artist);
}

}
