#pragma once

#include <string>

#include "engine/base/buffer.h"

namespace kq::debug {

/// Passes every byte on to a target buffer and every finished line (ended by CR LF) to the
/// debug-output listeners, with the log's name.
class ParseBuffer : public Buffer
{
public:
    /// A writer into the target (which must outlive it) for the named log.
    ParseBuffer(Buffer& target, std::string log_name)
        : Buffer(mode_write), m_target(&target), m_log_name(std::move(log_name))
    {
    }

    /// Broadcasts each line the bytes complete, then writes them to the target.
    std::uint32_t write(const void* data, std::uint32_t n) override;
    /// The target's read.
    std::uint32_t read(void* data, std::uint32_t n) override { return m_target->read(data, n); }
    /// The target's seek.
    std::int64_t seek(std::int32_t offset, std::uint32_t origin) override { return m_target->seek(offset, origin); }
    /// The target's end test.
    bool is_eof() override { return m_target->is_eof(); }
    /// The target's name, so errors name the log's file.
    std::string name() const override { return m_target->name(); }
    /// The target's size.
    std::uint64_t size() override { return m_target->size(); }

private:
    Buffer* m_target;
    std::string m_log_name;
    std::string m_pending;
};

}
