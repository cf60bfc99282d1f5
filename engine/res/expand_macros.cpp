#include "engine/res/dictionary.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "engine/base/code_page.h"
#include "engine/res/word_table.h"

namespace kq {
namespace {

enum class MacroType { word, value, comment };

// The character after "{" that opens each kind of marker.
constexpr std::array<std::pair<char16_t, MacroType>, 3> marker_types = {{
    {u'#', MacroType::word},
    {u'&', MacroType::value},
    {u'/', MacroType::comment},
}};

// Replacements are scanned again, so a word may name itself directly or through others.
// Past this depth markers are left as written.
constexpr int max_depth = 8;
// Bounds a text whose words each hold several markers of themselves, which grows
// exponentially with the depth.
constexpr int max_expansions = 1024;

std::optional<MacroType> marker_type(char16_t c)
{
    for (const auto& [character, type] : marker_types)
        if (character == c)
            return type;
    return std::nullopt;
}

std::u16string replacement(MacroType type, const std::u16string& name,
                           const MacroResolver& resolver)
{
    switch (type) {
    case MacroType::word:
        if (const std::u16string* word = find_word(name))
            return *word;
        return name;
    case MacroType::value: {
        std::string narrow_name;
        narrow_string(nullptr, name, narrow_name);
        std::string text;
        resolver(narrow_name, text);
        return widen_string(text);
    }
    case MacroType::comment:
        break;
    }
    return {};
}

// Expands markers in place, rescanning each replacement so that markers inside it expand too.
// It remembers the nested stretches of text that replacements produced, to know how deep a
// marker lies.
class MacroScanner
{
public:
    MacroScanner(std::u16string& text, const MacroResolver& resolver)
        : m_text(text), m_resolver(resolver) {}

    void run();

private:
    struct Stretch { std::size_t end; int depth; };

    int depth_at(std::size_t pos);
    std::size_t expand(std::size_t end);

    std::u16string& m_text;
    const MacroResolver& m_resolver;
    std::vector<Stretch> m_stretches;
    int m_expansions = 0;
    std::optional<std::size_t> m_open;
    MacroType m_type = MacroType::word;
    int m_open_depth = 0;
};

void MacroScanner::run()
{
    std::size_t pos = 0;
    while (pos < m_text.size()) {
        if (!m_open) {
            if (m_text[pos] == u'{') {
                m_open = pos;
                m_open_depth = depth_at(pos);
            }
            ++pos;
        } else if (pos == *m_open + 1) {
            const std::optional<MacroType> type = marker_type(m_text[pos]);
            if (type)
                m_type = *type;
            else
                m_open.reset();
            ++pos;
        } else if (pos == *m_open + 2) {
            // The first character of the name is never taken as the closing "}".
            ++pos;
        } else if (m_text[pos] == u'}') {
            pos = expand(pos + 1);
        } else {
            ++pos;
        }
    }
}

int MacroScanner::depth_at(std::size_t pos)
{
    while (!m_stretches.empty() && m_stretches.back().end <= pos)
        m_stretches.pop_back();
    return m_stretches.empty() ? 0 : m_stretches.back().depth;
}

// Replaces the open marker, which ends just before `end`, and returns where scanning goes on.
std::size_t MacroScanner::expand(std::size_t end)
{
    const std::size_t open = *m_open;
    m_open.reset();
    const int depth = m_open_depth + 1;
    if (depth > max_depth || m_expansions == max_expansions)
        return end;
    ++m_expansions;

    const std::size_t name_start = open + 2;
    const std::u16string text =
        replacement(m_type, m_text.substr(name_start, end - 1 - name_start), m_resolver);
    m_text.replace(open, end - open, text);

    // Stretches that ended inside the marker are gone with it; the others move.
    while (!m_stretches.empty() && m_stretches.back().end < end)
        m_stretches.pop_back();
    for (Stretch& stretch : m_stretches)
        stretch.end = stretch.end - (end - open) + text.size();
    m_stretches.push_back({open + text.size(), depth});
    return open;
}

}

std::u16string Dictionary::expand_macros(const std::string& source, const MacroResolver& resolver)
{
    std::u16string text = widen_string(source);
    MacroScanner(text, resolver).run();
    return text;
}

}
