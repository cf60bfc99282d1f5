#include "engine/res/skin_child_iterator.h"

#include "engine/res/skin.h"

namespace kq {

SkinChildIterator::SkinChildIterator(const SkinPath& path, const std::string& id) : m_path(path)
{
    Skin::running().enum_ids(path, m_names, id);
    if (!at_end())
        m_path.insert(m_path.size(), name());
}

void SkinChildIterator::next()
{
    if (at_end())
        return;
    m_path.erase(m_path.size() - 1);
    ++m_position;
    if (!at_end())
        m_path.insert(m_path.size(), name());
}

}
