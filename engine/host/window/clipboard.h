#pragma once

#include <string>

namespace kq::host {

/// Puts text of the game's code page on the system clipboard (up to its first zero byte).
void set_clipboard_text(const std::string& text);

/// The clipboard's text in the game's code page, characters the page lacks dropped; empty
/// when the clipboard holds no text.
std::string get_clipboard_text();

}
