#pragma once

#include <cstdint>
#include <string>

#include "engine/ui/dialog.h"
#include "engine/ui/edit_box.h"
#include "engine/ui/list_box.h"

namespace kq {

/// A developer overlay that lists the newest lines of the engine's debug output (the log
/// "out", 64 lines at most) and has a command line: Enter echoes the line to "out" and sends
/// it on the channel "command" to every debug-output listener. The console itself interprets
/// nothing; an error a listener raises is answered on "out".
class ConsoleDialog : public Dialog
{
public:
    /// The most lines shown.
    static constexpr int max_messages = 64;

    /// The list is the child "messages" and the command line the child "input"; Enter runs
    /// the command in the scheduler step after it.
    ConsoleDialog();
    /// The other's settings, no lines; not attached, not listening.
    ConsoleDialog(const ConsoleDialog& other);
    ~ConsoleDialog() override;

    /// Opens the dialog and starts listening to the debug output (not once the output is gone).
    void on_attach() override;
    /// Stops listening, then the dialog's reaction.
    void on_detach() override;

    /// A line of the debug output: a line of "out" becomes the newest message (the oldest
    /// goes past 64); other channels are not shown.
    void on_debug_line(const std::string& channel, const std::string& line);
    /// Sends the command line's text (Enter ran it): echoed on "out", then, when not empty, on
    /// "command"; the line is cleared and takes the focus again.
    void run_command();

    ListBox& messages() { return m_messages; }
    EditBox& input() { return m_input; }
    /// Its id among the debug-output listeners; -1 while it does not listen.
    std::int32_t listener_id() const { return m_listener_id; }

private:
    void set_up_children();

    ListBox m_messages;
    EditBox m_input;
    std::int32_t m_listener_id = -1;
};

}

KQ_TYPE_NAME(kq::ConsoleDialog, "class kq::ConsoleDialog");
