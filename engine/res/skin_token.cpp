#include "engine/res/skin_token.h"

#include "engine/base/tstream.h"

namespace kq {

namespace {

// A block token ends at the first "]" outside quotes that closes no "[" of its own, so a
// text reads back from "[" + text + "]" only when its brackets match outside quotes and its
// quotes pair up.
bool survives_as_block(const std::string& text)
{
    int depth = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '[')
            ++depth;
        else if (!quoted && c == ']' && --depth < 0)
            return false;
    }
    return depth == 0 && !quoted;
}

}

StrCache read_name_token(TStream& stream)
{
    std::string token = stream.read_token();
    if (token.find('\0') != std::string::npos)
        stream.error("invalid name [" + token + "].");
    return StrCache(token.c_str());
}

void write_text_token(TStream& stream, const std::string& text)
{
    if (!survives_as_block(text)) {
        stream << text;
        return;
    }
    stream.put_char('[');
    stream.write(text.data(), static_cast<std::uint32_t>(text.size()));
    stream.put_char(']');
}

}
