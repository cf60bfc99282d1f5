#include "engine/base/str_cache.h"

#include "engine/base/tstream.h"
#include "engine/base/unique_id_range.h"

#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace kq {

namespace {

const char g_empty_text[] = "";

// User addresses of a 64-bit process lie far below the top half of the word range, so ids
// taken from there can never be the address of text or of an object.
constexpr std::uintptr_t first_unique_id = std::uintptr_t(1) << 63;
constexpr std::uintptr_t unique_id_end = ~std::uintptr_t(0);

// Hashes stored strings and looked-up views alike, so a look-up copies nothing.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

struct Cache {
    // Values order by their word, never by text, so the store need not be ordered: a hash set
    // finds a text in one probe. Its nodes never move (not even on a rehash), so the address
    // of an element's characters stays its word for the rest of the run.
    std::unordered_set<std::string, TextHash, std::equal_to<>> texts;
    UniqueIdRange unique_ids{first_unique_id, unique_id_end};
};

Cache& cache()
{
    static Cache s_cache;
    return s_cache;
}

std::uintptr_t word_of(const char* text)
{
    return reinterpret_cast<std::uintptr_t>(text);
}

}

StrCache::StrCache() : m_word(word_of(g_empty_text))
{
}

StrCache::StrCache(const char* text) : StrCache(get(text))
{
}

StrCache StrCache::get(const char* text)
{
    if (text[0] == '\0')
        return StrCache();
    auto& texts = cache().texts;
    const std::string_view view(text);
    auto found = texts.find(view);
    if (found == texts.end())
        found = texts.emplace(view).first;
    return StrCache(word_of(found->c_str()));
}

StrCache StrCache::make_unique()
{
    return StrCache(cache().unique_ids.take());
}

std::size_t StrCache::cached_count()
{
    return cache().texts.size();
}

bool StrCache::empty() const
{
    return m_word == word_of(g_empty_text);
}

bool StrCache::is_unique() const
{
    return cache().unique_ids.contains(m_word);
}

const char* StrCache::c_str() const
{
    return is_unique() ? g_empty_text : reinterpret_cast<const char*>(m_word);
}

bool StrCache::less_by_text(StrCache a, StrCache b)
{
    return std::strcmp(a.c_str(), b.c_str()) < 0;
}

TStream& operator<<(TStream& stream, StrCache value)
{
    return stream << std::string(value.c_str());
}

TStream& operator>>(TStream& stream, StrCache& value)
{
    std::string token;
    stream.take_token(token);
    value = StrCache::get(token.c_str());
    return stream;
}

}
