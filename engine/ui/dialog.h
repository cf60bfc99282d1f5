#pragma once

#include "engine/base/socket.h"
#include "engine/base/str_cache.h"
#include "engine/ui/control.h"

namespace kq {

/// The results dialogs close with, each interned once.
StrCache dialog_result_none();
StrCache dialog_result_modal();
StrCache dialog_result_ok();
StrCache dialog_result_cancel();

/// A control shown over others that ends with a result: "none" while open, then whatever
/// closed it ("ok", "cancel", a button's name or a name the screen passes). It is attached like
/// any control (modeless) or run modally, in a nested scheduler loop that lasts until it has a
/// result. An exclusive dialog keeps the mouse's hover inside its subtree, swallows every key
/// and character and takes the focus while it is attached. Main thread only.
class Dialog : public Control
{
public:
    Dialog() = default;
    /// An attached dialog is detached by `Control`'s destructor.
    ~Dialog() override = default;

    using Control::read_skin;
    /// `Control`'s keys, then "exclusive" (required).
    void read_skin() override;
    /// Called by `close` with the result before `m_on_close` is emitted; nothing here.
    virtual void on_close(StrCache) {}

    /// `Control`'s answer, or true whenever the dialog is exclusive.
    bool on_key(Key key, KeyState state) override;
    /// Whether the dialog is exclusive.
    bool on_char(char character) override;
    /// Opens the dialog again: the result becomes "none"; an exclusive dialog takes the input.
    void on_attach() override;
    /// An exclusive dialog gives the input back.
    void on_detach() override;

    /// Ends the dialog once: the result is kept, `on_close` and `m_on_close` hear it and the
    /// dialog is detached. "none", or a dialog that already has a result, changes nothing.
    void close(StrCache result);
    /// Attaches the dialog under `parent` and runs the scheduler until it has a result ("cancel"
    /// when the loop ends first), which it returns; the dialog is detached again. An attached
    /// dialog is refused (logged) and answers its current result; a parent that is not attached
    /// (as while it is being detached) is refused (logged) with "cancel".
    StrCache run_modal(Control& parent);

    /// Takes the mouse (an exclusive area), the keyboard (an input owner) and the focus.
    void enter_exclusive();
    /// Gives the focus, the keyboard and the mouse back.
    void leave_exclusive();

    StrCache result() const { return m_result; }
    bool is_exclusive() const { return m_exclusive; }
    void set_exclusive(bool exclusive) { m_exclusive = exclusive; }

    /// The result, when the dialog closes.
    Socket<void(StrCache)>& on_close() { return m_on_close; }

protected:
    bool m_exclusive = false;
    StrCache m_result = dialog_result_none();

private:
    Socket<void(StrCache)> m_on_close;
};

}
