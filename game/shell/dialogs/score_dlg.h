#pragma once

#include <vector>

#include "engine/art/text_sprite.h"
#include "engine/ui/button.h"
#include "engine/ui/dialog.h"

namespace kq {

/// The best scores: a table of at most five rows, best first, each a name ("1. Ada") and a
/// score, the current player's row in yellow; "cancel" closes it. Built on the stack from
/// "dialogs.score" and run modally; the rows are built anew at every opening.
class ScoreDlg : public Dialog
{
public:
    /// The first row's top and the rows' spacing, in the dialog's coordinates.
    static constexpr int first_row_y = 330;
    static constexpr int row_spacing = 40;

    /// The "cancel" button, whose click closes the dialog one step later.
    ScoreDlg();
    ~ScoreDlg() override;
    ScoreDlg(const ScoreDlg&) = delete;

    /// The controls, then the table with its rows.
    void draw(Artist& artist) override;
    /// The dialog's opening, then the rows of the best scores.
    void on_attach() override;
    using Dialog::read_skin;
    /// The dialog's keys, then the table from "table".
    void read_skin() override;

    Sprite& table() { return m_table; }
    /// The rows' sprites, each name followed by its score.
    const std::vector<SharedPtr<TextSprite>>& rows() const { return m_rows; }
    Button& cancel_button() { return m_cancel; }

private:
    void build_rows();
    void add_cell(const char* key, const RectI& rect, const std::string& text, bool current);

    Button m_cancel;
    Sprite m_table;
    std::vector<SharedPtr<TextSprite>> m_rows;
};

}
