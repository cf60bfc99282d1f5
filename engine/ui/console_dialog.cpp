#include "engine/ui/console_dialog.h"

#include <algorithm>

#include "engine/art/text_sprite.h"
#include "engine/base/debug_output.h"
#include "engine/base/exception.h"
#include "engine/res/skin_prototypes.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"

namespace kq {

namespace {

const std::string channel_out = log_name_out;
const std::string channel_command = command_name;

}

ConsoleDialog::ConsoleDialog()
{
    set_up_children();
}

ConsoleDialog::ConsoleDialog(const ConsoleDialog& other) : Dialog(other), m_messages(other.m_messages), m_input(other.m_input)
{
    set_up_children();
}

ConsoleDialog::~ConsoleDialog()
{
    // Destroyed while attached (a misuse the base logs): the output must not call a dead console.
    if (m_listener_id >= 0)
        remove_debug_listener(m_listener_id);
    cancel_deferred(this);
    for (Control* child : {static_cast<Control*>(&m_input), static_cast<Control*>(&m_messages)})
        if (std::find(children().begin(), children().end(), child) != children().end())
            detach_child(this, child);
}

void ConsoleDialog::set_up_children()
{
    m_messages.set_up(CIChild(this, "messages"));
    m_input.set_up(CIChild(this, "input"));
    m_input.on_enter().connect([this] { run_deferred(this, [this] { run_command(); }); }, this);
}

void ConsoleDialog::on_attach()
{
    Dialog::on_attach();
    m_listener_id = add_debug_listener([this](const std::string& line, const std::string* log_name) {
        on_debug_line(log_name ? *log_name : std::string(), line);
    });
}

void ConsoleDialog::on_detach()
{
    if (m_listener_id >= 0)
        remove_debug_listener(m_listener_id);
    m_listener_id = -1;
    Dialog::on_detach();
}

void ConsoleDialog::on_debug_line(const std::string& channel, const std::string& line)
{
    if (channel != channel_out)
        return;
    SharedPtr<TextSprite> message(clone_resource<TextSprite, Sprite>(path() + "message"));
    if (!message)
        return;
    message->set_text(line);
    if (m_messages.count() >= max_messages)
        m_messages.remove(0);
    m_messages.scroll_to_item(m_messages.add(message));
}

void ConsoleDialog::run_command()
{
    const std::string command = m_input.text();
    m_input.set_text("");
    debug_broadcast("> " + command, &channel_out);
    if (!command.empty()) {
        try {
            debug_broadcast(command, &channel_command);
        } catch (const Exception& error) {
            debug_broadcast("> error: " + error.message(), &channel_out);
        } catch (...) {
            debug_broadcast("> error: unknown", &channel_out);
        }
    }
    m_input.take_focus();
}

}
