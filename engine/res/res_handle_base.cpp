#include "engine/res/res_handle_base.h"

#include <cstdint>

#include "engine/base/bstream.h"
#include "engine/base/file_path.h"
#include "engine/base/string_utils.h"
#include "engine/base/tstream.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"

namespace kq {
namespace {

// Tags that stand before the handle's and the key's data in the binary form.
constexpr std::uint8_t handle_tag = 0;
constexpr std::uint8_t key_tag = 0;

}

ResHandleBase::ResHandleBase(StrCache type, ResKey key) : m_type(type), m_key(std::move(key)) {}

ResHandleBase::ResHandleBase(const ResHandleBase& other) : m_type(other.m_type)
{
    copy_from(other);
}

ResHandleBase& ResHandleBase::operator=(const ResHandleBase& other)
{
    if (this != &other) {
        release();
        copy_from(other);
    }
    return *this;
}

ResHandleBase::~ResHandleBase()
{
    release();
}

void ResHandleBase::copy_from(const ResHandleBase& other)
{
    m_key = other.m_key;
    m_record = other.m_record;
    if (ResRecord* record = m_record.get())
        record->add_use();
}

void ResHandleBase::load_record()
{
    ResRequest request{m_type, m_key};
    SharedPtr<ResRecord> record = Res::instance() ? Res::instance()->load(request, false) : SharedPtr<ResRecord>();
    if (!record)
        return;
    m_record = WeakPtr<ResRecord>(record.get());
    record->add_use();
}

void ResHandleBase::release()
{
    if (ResRecord* record = m_record.get()) {
        // Forgotten before the record may be dropped, so that nothing points at it then.
        m_record = WeakPtr<ResRecord>();
        if (Res::instance())
            Res::instance()->release_use(*record);
    }
    m_record = WeakPtr<ResRecord>();
}

void ResHandleBase::set_key(const ResKey& key)
{
    release();
    m_key = key;
}

void ResHandleBase::set_path(const std::string& path)
{
    if (path == m_key.m_path)
        return;
    release();
    m_key.m_path = path;
}

void ResHandleBase::read_name_from_skin(const SkinPath& path)
{
    set_path(FilePath(get_skin_text(path)).str());
}

bool operator==(const ResHandleBase& a, const ResHandleBase& b)
{
    ResRecord* record = a.get_loaded();
    if (record && record == b.get_loaded())
        return true;
    return a.m_key == b.m_key;
}

void ResHandleBase::write_text(TStream& stream) const
{
    stream << m_key;
}

void ResHandleBase::read_text(TStream& stream)
{
    release();
    stream >> m_key;
}

void ResHandleBase::store(BStream& stream) const
{
    write_u8(stream, handle_tag);
    write_u8(stream, key_tag);
    write_binary(stream, m_key.m_path);
    write_u32(stream, static_cast<std::uint32_t>(m_key.m_flags));
}

void ResHandleBase::load(BStream& stream)
{
    read_u8(stream);
    read_u8(stream);
    release();
    ResKey key;
    read_binary(stream, key.m_path);
    key.m_flags = static_cast<std::int32_t>(read_u32(stream));
    m_key = std::move(key);
}

}
