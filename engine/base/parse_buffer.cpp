#include "engine/base/parse_buffer.h"

#include "engine/base/debug_output.h"

namespace kq::debug {

std::uint32_t ParseBuffer::write(const void* data, std::uint32_t n)
{
    m_pending.append(static_cast<const char*>(data), n);
    for (std::size_t end = m_pending.find("\r\n"); end != std::string::npos; end = m_pending.find("\r\n")) {
        const std::string line = m_pending.substr(0, end);
        m_pending.erase(0, end + 2);
        debug_broadcast(line, &m_log_name);
    }
    return m_target->write(data, n);
}

}
