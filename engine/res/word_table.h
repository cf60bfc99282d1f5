#pragma once

#include <map>
#include <string>

namespace kq {

/// Keyed texts of one language: dotted key -> text, in key order.
using WordMap = std::map<std::u16string, std::u16string>;

/// The text published under the key, or null when no dictionary published it.
const std::u16string* find_word(const std::u16string& key);

/// Publishes one word process-wide, replacing an earlier text of the same key.
void set_word(const std::u16string& key, const std::u16string& text);

}
