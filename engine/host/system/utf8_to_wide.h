#pragma once

#include <string>

namespace kq::host {

/// Converts UTF-8 text to UTF-16 units: code points above U+FFFF become surrogate pairs and
/// every ill-formed sequence becomes one U+FFFD per maximal bad subpart; never fails.
std::u16string utf8_to_wide(const std::string& text);

}
