#pragma once

#include <string>

namespace kq {

class TStream;

/// Writes the text as one token that reads back as the same text: a block token "[...]"
/// where the block survives reading (its brackets match outside quotes and its quotes pair),
/// else a quoted string.
void write_text_token(TStream& stream, const std::string& text);

}
