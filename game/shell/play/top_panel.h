#pragma once

#include <array>

#include "engine/art/image_sprite.h"
#include "engine/art/text_sprite.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/socket.h"
#include "engine/base/vector2.h"
#include "engine/ui/button.h"
#include "engine/ui/control.h"
#include "engine/ui/tardy_counter.h"
#include "game/field/field.h"
#include "game/shell/play/powerup_control.h"

namespace kq {

/// The status strip at the top of the game frame and the travel map: the lives as a row of
/// icons, the score running towards its value with a bar for the way through the current
/// upgrade level, the moves left in stop mode, the five powerup buttons with their counts,
/// and the "apply", "undo" and "menu" buttons. It only shows and forwards: its owner hands it
/// the player record and the mode, and listens to its four signals, each emitted in a
/// scheduler step after the click.
///
/// The panel owns its child controls. The powerup buttons are built from the skin's five
/// children tagged "powerup" (coin, clock, hand, fireball, bolt, in node order) and hang from
/// the panel only while it is attached.
class TopPanel : public Control
{
public:
    static constexpr int powerup_count = 5;
    /// How long the highlighted powerup takes to slide to the row's origin.
    static constexpr int highlight_slide_ms = 300;

    TopPanel();
    TopPanel(const TopPanel&) = delete;
    TopPanel& operator=(const TopPanel&) = delete;
    /// Drops the pending signals and takes the child controls off the panel.
    ~TopPanel() override;

    /// Its own look, the moves, the lives, the upgrade bar and the running score.
    void draw(Artist& artist) override;
    /// The base attach, then the powerup buttons join; the score shows at once.
    void on_attached() override;
    /// The powerup buttons leave, then the base detach.
    void on_detach() override;
    using Control::read_skin;
    /// `Control`'s keys, "life", "life_origin", "score", "score_fill", "powerups_origin", the
    /// five "powerup" children and "move". Any other number of powerup children than five is
    /// an error naming the panel's node.
    void read_skin() override;

    /// Takes the lives, the powerup counts and the score of the player record; the score
    /// shows at once when `immediate`, else it runs there over the next draws.
    void set_record(const FieldSettings& record, bool immediate);
    /// Highlights one powerup (0 to 4): it alone shows, sliding to the row's origin; -1
    /// shows every powerup held, each on its place. Any other index is a programming error.
    void set_highlight(int index);
    /// The number of move icons shown from the next draw.
    void set_moves(int moves) { m_moves = moves; }
    void show_apply(bool shown) { m_apply.set_hidden(!shown); }
    void show_undo(bool shown) { m_undo.set_hidden(!shown); }

    /// The "menu" button was clicked.
    Socket<void()>& on_menu() { return m_on_menu; }
    /// The button of the powerup was clicked, whatever its count.
    Socket<void(Powerup)>& on_powerup() { return m_on_powerup; }
    /// The "apply" control was clicked.
    Socket<void()>& on_apply() { return m_on_apply; }
    /// The "undo" control was clicked.
    Socket<void()>& on_undo() { return m_on_undo; }

    int lives() const { return m_lives; }
    int score() const { return m_score; }
    int highlight() const { return m_highlight; }
    int moves() const { return m_moves; }
    /// The score as shown now.
    int shown_score() const { return m_score_counter.value(); }
    /// The powerup button of the index; null before the skin is read.
    PowerupControl* powerup_control(int index) const { return m_powerup_controls.at(std::size_t(index)).get(); }
    /// Where the button of the index stands while nothing is highlighted.
    Vector2<int> powerup_place(int index) const;
    PowerupControl& apply_control() { return m_apply; }
    PowerupControl& undo_control() { return m_undo; }
    Button& menu_button() { return m_menu; }
    const TextSprite& score_text() const { return m_score_text; }
    const ImageSprite& score_fill() const { return m_score_fill; }
    float fill_width() const { return m_fill_width; }

private:
    void read_powerup_controls();
    /// Shows the buttons of the powerups held (or the highlighted one) with their counts.
    void update_powerups();
    /// Renders `sprite` `count` times, each a sprite's width further right of `origin`.
    static void draw_row(Artist& artist, ImageSprite& sprite, Vector2<int> origin, int count);
    void draw_fill(Artist& artist);
    void draw_score(Artist& artist);

    Socket<void()> m_on_menu;
    Socket<void(Powerup)> m_on_powerup;
    Socket<void()> m_on_apply;
    Socket<void()> m_on_undo;
    int m_lives = 0;
    int m_score = 0;
    std::array<int, powerup_count> m_powerups{};
    ImageSprite m_life;
    Vector2<int> m_life_origin;
    TextSprite m_score_text;
    ImageSprite m_score_fill;
    float m_fill_width = 1.0f;
    std::array<SharedPtr<PowerupControl>, powerup_count> m_powerup_controls;
    int m_highlight = -1;
    Vector2<int> m_powerups_origin;
    PowerupControl m_apply;
    PowerupControl m_undo;
    int m_moves = 0;
    ImageSprite m_move;
    Button m_menu;
    TardyCounter m_score_counter;
};

}
