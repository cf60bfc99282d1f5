#pragma once

#include <vector>

#include "engine/base/shared_ptr.h"
#include "engine/ui/button.h"
#include "engine/ui/dialog.h"

namespace kq {

/// A dialog with a "legend" child and one button for each child node with the id "button" of
/// its skin node; a button (clicked, or by a hot key) closes the dialog one scheduler step
/// later with its node's name as the result.
class MessageDialog : public Dialog
{
public:
    MessageDialog();
    ~MessageDialog() override;
    MessageDialog(const MessageDialog&) = delete;

    using Dialog::read_skin;
    /// The dialog's keys, then the buttons (the ones read before are dropped).
    void read_skin() override;

    Control& legend() { return m_legend; }
    const std::vector<SharedPtr<Button>>& buttons() const { return m_buttons; }

private:
    void drop_buttons();

    Control m_legend;
    std::vector<SharedPtr<Button>> m_buttons;
};

}
