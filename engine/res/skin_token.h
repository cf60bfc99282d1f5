#pragma once

#include <string>

#include "engine/base/str_cache.h"

namespace kq {

class TStream;

/// Takes one token as an interned name; a token holding a zero byte (which an interned name
/// cannot keep) is the stream error "invalid name [<token>].".
StrCache read_name_token(TStream& stream);

/// Writes the text as one token that reads back as the same text: a block token "[...]"
/// where the block survives reading (its brackets match outside quotes and its quotes pair),
/// else a quoted string.
void write_text_token(TStream& stream, const std::string& text);

}
