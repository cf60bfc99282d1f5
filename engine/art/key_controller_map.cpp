#include "engine/art/key_controller_map.h"

#include <iterator>
#include <string>

#include "engine/art/spline_value.h"
#include "engine/base/bstream.h"
#include "engine/base/log.h"
#include "engine/base/string_stream.h"
#include "engine/base/type_desc.h"
#include "engine/res/res_handle_base.h"
#include "engine/res/skin.h"
#include "engine/res/skin_path.h"

namespace kq {

namespace {

constexpr std::uint8_t map_controller_version = 0;

}

SCKMap::SCKMap(const SCKMap& other) : MapKeyController(other) {}

void SCKMap::store(BStream& stream) const
{
    write_u8(stream, map_controller_version);
    SCProperty::store(stream);
    write_u32(stream, static_cast<std::uint32_t>(m_keys.size()));
    for (const auto& [time, value] : m_keys) {
        spline_value::write_float(stream, time);
        value.store(stream);
    }
}

void SCKMap::load(BStream& stream)
{
    if (read_u8(stream) > map_controller_version)
        stream.error("unsupported version.");
    SCProperty::load(stream);
    clear_keys();
    // A key takes at least its time and the id of its type name.
    const std::uint32_t count = read_count(stream, 8);
    for (std::uint32_t i = 0; i < count; ++i) {
        const float time = spline_value::read_time(stream);
        m_keys[time].load(stream);
    }
}

void SCKMap::read_skin(const SkinPath& path)
{
    SCProperty::read_skin(path);
    clear_keys();
    StringStream text(get_skin_text(path + "map"));
    text.expect("{");
    for (;;) {
        text.check_not_eof();
        if (text.token_is("}"))
            break;
        const float time = spline_value::read_time(text);
        text.expect(",");
        KeyArray value;
        value.read_text(text);
        m_keys[time] = value;
    }
    text.skip_token();
}

void SCKMap::visit_handles(const std::function<void(ResHandleBase&)>& visit)
{
    SCProperty::visit_handles(visit);
    const StrCache handle_type = type_name<ResHandleBase>();
    for (auto& [time, value] : m_keys) {
        const rtti::TypeDesc* type = value.type();
        if (!type || !type->is_type(handle_type))
            continue;
        for (std::uint32_t i = 0; i < value.count(); ++i)
            visit(*static_cast<ResHandleBase*>(type->cast(value.element(i), handle_type)));
    }
}

void SCKMap::start()
{
    m_cursor = m_keys.end();
    SpriteController::start();
}

void SCKMap::apply()
{
    const SpriteTimer* timer = find_timer();
    if (!timer || m_keys.empty())
        return;
    const float current = m_cursor == m_keys.end() ? -1.0f : m_cursor->first;
    const float t = timer->coefficient();
    if (t == current)
        return;
    // Forward: the last key at or before t; backward: the last key before t.
    const Keys::iterator next = t > current ? m_keys.upper_bound(t) : m_keys.lower_bound(t);
    const Keys::iterator found = next == m_keys.begin() ? m_keys.end() : std::prev(next);
    if (found == m_cursor || found == m_keys.end())
        return;
    m_cursor = found;
    write_value(found->second);
}

void SCKMap::write_value(const KeyArray& value)
{
    SpriteBase* owner = parent();
    if (!owner)
        return;
    const StrCache type = element_type();
    const std::int32_t count = component_count();
    if (!value.type() || value.type_name() != type || static_cast<std::int32_t>(value.count()) != count) {
        const std::string message = "Key map skipped property " + std::to_string(property_id()) + ": a key of " +
                                    std::to_string(value.count()) + " '" + value.type_name().c_str() +
                                    "' does not fit its " + std::to_string(count) + " '" + type.c_str() + "'.";
        log_error(message.c_str(), __FILE__, __LINE__);
        return;
    }
    owner->property(property_set, property_id(), const_cast<void*>(value.data()));
}

bool SCKMap::to_value(const KeyArray& array, KeyArray& out) const
{
    out = array;
    return true;
}

void SCKMap::remove_key(Keys::iterator key)
{
    if (key == m_cursor)
        ++m_cursor;
    m_keys.erase(key);
}

SharedPtr<SCProperty> SCKMap::split_component(int n)
{
    auto* copy = static_cast<SCKMap*>(split_copy(n));
    if (!copy)
        return {};
    SharedPtr<SCProperty> result(copy);
    for (auto& key : copy->m_keys)
        key.second = key.second.element_array(static_cast<std::uint32_t>(n));
    return result;
}

}
