#pragma once

#include <string>

namespace kq::host {

/// Shows an error to the user without waiting for an answer: for now a message on standard
/// error (caption, then text).
void show_error_box(const std::string& caption, const std::string& text);

}
