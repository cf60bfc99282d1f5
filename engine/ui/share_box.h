#pragma once

#include <string>
#include <vector>

#include "engine/art/sprite.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/str_cache.h"
#include "engine/ui/control.h"

namespace kq {

/// A bar that divides its width among named shares in proportion to their values, each shown
/// by a sprite of its own, left to right in skin order. `m_total` fills the whole width;
/// shares adding up to more run past the right edge, less leave the rest empty; a total of 0
/// gives every share a width of 0. The texts of
/// the box's sprites may show "total", "share" (a share sprite's own value) and any share by
/// its name.
class ShareBox : public Control
{
public:
    struct Share
    {
        StrCache name;
        int value = 0;
        SharedPtr<Sprite> sprite;  ///< may be null: the share then takes width but draws nothing
    };

    ShareBox() = default;
    /// The other's settings and shares, each with a copy of its sprite; not attached.
    ShareBox(const ShareBox& other);
    ~ShareBox() override;

    /// The control's sprite, then each share's sprite with the box's view flags.
    void draw(Artist& artist) override;
    /// "total", a share's name, then the control's own variables and its parents'.
    bool get_variable(const std::string& name, std::string& value) const override;
    /// Re-expands the texts of the control's sprite and of every share's sprite.
    void refresh() override;
    /// The base layout, then the shares are laid out.
    void relayout() override;
    /// The control's keys, then "total_share" and each child tagged "share" ("name",
    /// "sprite"), appended in order.
    void read_skin() override;

    /// Sets the value of the first share of that name and lays the shares out; whether one
    /// was found or not, the texts of the control's sprite are re-expanded.
    void set_share(int value, StrCache name);
    /// The total goes back to 100.
    void reset_total();
    /// The first share with that name, or null.
    const Share* find_share(StrCache name) const;
    /// The variable source of the share at `index`: "share" is its value, anything else is
    /// asked of the box.
    bool share_variable(std::size_t index, const std::string& name, std::string& value) const;

    int total() const { return m_total; }
    const std::vector<Share>& shares() const { return m_shares; }

private:
    void layout_shares();
    void add_share(Share share);

    int m_total = 100;
    std::vector<Share> m_shares;
};

}

KQ_TYPE_NAME(kq::ShareBox, "class kq::ShareBox");
