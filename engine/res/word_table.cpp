#include "engine/res/word_table.h"

namespace kq {
namespace {

// Lives until process exit: texts shown at any time may look words up.
WordMap& word_table()
{
    static WordMap table;
    return table;
}

}

const std::u16string* find_word(const std::u16string& key)
{
    const WordMap& table = word_table();
    const auto found = table.find(key);
    return found == table.end() ? nullptr : &found->second;
}

void set_word(const std::u16string& key, const std::u16string& text)
{
    word_table()[key] = text;
}

}
