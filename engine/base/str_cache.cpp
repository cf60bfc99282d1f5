#include "engine/base/str_cache.h"

#include "engine/base/tstream.h"
#include "engine/base/unique_id_range.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kq {

namespace {

const char g_empty_text[] = "";

// User addresses of a 64-bit process lie far below the top half of the word range, so ids
// taken from there can never be the address of text or of an object.
constexpr std::uintptr_t first_unique_id = std::uintptr_t(1) << 63;
constexpr std::uintptr_t unique_id_end = ~std::uintptr_t(0);

// The stored texts: each copied once, with its terminator, into blocks that never move, so
// the address of a text's characters stays its word for the rest of the run. Values order by
// their word, never by text, so the store need not be ordered: one table, open addressing
// and at most half full, finds a text in one probe, and the hash kept beside each text spares
// comparing the characters of the others met on the way.
class TextStore {
public:
    const char* find_or_add(std::string_view text)
    {
        if (2 * (m_count + 1) > m_slots.size())
            grow();
        const std::size_t hash = std::hash<std::string_view>{}(text);
        Slot& slot = m_slots[slot_of(hash, text)];
        if (!slot.text) {
            slot = Slot{hash, copy(text)};
            ++m_count;
        }
        return slot.text;
    }

    std::size_t size() const { return m_count; }

private:
    static constexpr std::size_t block_size = 64 * 1024;

    struct Slot {
        std::size_t hash = 0;
        const char* text = nullptr;
    };

    // The slot holding the text, or the empty slot where it would go.
    std::size_t slot_of(std::size_t hash, std::string_view text) const
    {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t index = hash & mask;; index = (index + 1) & mask) {
            const Slot& slot = m_slots[index];
            if (!slot.text)
                return index;
            if (slot.hash == hash && std::strncmp(slot.text, text.data(), text.size()) == 0 &&
                slot.text[text.size()] == '\0')
                return index;
        }
    }

    void grow()
    {
        std::vector<Slot> old(std::max<std::size_t>(1024, 2 * m_slots.size()));
        old.swap(m_slots);
        const std::size_t mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (!slot.text)
                continue;
            std::size_t index = slot.hash & mask;
            while (m_slots[index].text)
                index = (index + 1) & mask;
            m_slots[index] = slot;
        }
    }

    const char* copy(std::string_view text)
    {
        const std::size_t size = text.size() + 1;
        if (size > block_size / 4) {
            m_large.push_back(std::make_unique<char[]>(size));
            std::memcpy(m_large.back().get(), text.data(), text.size());
            return m_large.back().get();
        }
        if (m_blocks.empty() || m_used + size > block_size) {
            m_blocks.push_back(std::make_unique<char[]>(block_size));
            m_used = 0;
        }
        char* stored = m_blocks.back().get() + m_used;
        std::memcpy(stored, text.data(), text.size());
        stored[text.size()] = '\0';
        m_used += size;
        return stored;
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::size_t m_used = 0;  ///< bytes used of the last block
    std::vector<std::unique_ptr<char[]>> m_large;  ///< texts of their own
};

struct Cache {
    TextStore texts;
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
    return StrCache(word_of(cache().texts.find_or_add(text)));
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
