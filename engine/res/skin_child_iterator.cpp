#include "engine/res/skin_child_iterator.h"

#include "engine/res/skin_environment.h"
#include "engine/res/skin_node.h"

namespace kq {

SkinChildIterator::SkinChildIterator(const SkinPath& path, const std::string& id) : m_path(path)
{
    // Through the current environment, so a test's own skin tree can be walked as well.
    SkinNode::enum_ids(require_skin_environment().root(), path, m_names, id);
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
