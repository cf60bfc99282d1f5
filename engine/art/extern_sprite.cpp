#include "engine/art/extern_sprite.h"

#include <string>

#include "engine/base/bstream.h"
#include "engine/base/clone.h"
#include "engine/base/exception.h"

namespace kq {

namespace {

constexpr std::uint8_t extern_version = 0;

constexpr OwnProperty extern_properties[] = {{extern_property_pattern, "Pattern"}};

}

ExternSprite::ExternSprite(const ExternSprite& other) : Sprite(other), m_pattern(other.m_pattern)
{
    // The sprite's copy cloned every child, the shown container too; the copy shows its own
    // clone once it starts.
    if (!other.m_instance)
        return;
    std::size_t index = 0;
    std::size_t shown_at = 0;
    bool found = false;
    const_cast<ExternSprite&>(other).children().walk([&](const SharedPtr<Sprite>& child) {
        if (child == other.m_instance) {
            shown_at = index;
            found = true;
        }
        ++index;
    });
    if (!found)
        return;
    index = 0;
    Sprite* copied = nullptr;
    children().walk([&](const SharedPtr<Sprite>& child) {
        if (index++ == shown_at)
            copied = child.get();
    });
    remove_child(copied);
}

ExternSprite::~ExternSprite()
{
    m_instance.reset();
    m_pattern.release();
}

void ExternSprite::store(BStream& stream) const
{
    write_u8(stream, extern_version);
    Sprite::store(stream);
    m_pattern.store(stream);
}

void ExternSprite::load(BStream& stream)
{
    if (read_u8(stream) > extern_version)
        stream.error("unsupported version.");
    Sprite::load(stream);
    m_pattern.load(stream);
}

void ExternSprite::property(std::int32_t operation, std::int32_t id, void* data)
{
    bool passed_on = false;
    const OwnProperty* entry = answer_own_property(
        extern_properties, operation, id, data, passed_on,
        [](const OwnProperty&) { return type_name<ResHandle<Sprite>>(); }, [](const OwnProperty&) { return 1; });
    if (passed_on)
        Sprite::property(operation, id, data);
    if (!entry)
        return;
    if (operation == property_get)
        static_cast<ResHandle<Sprite>*>(data)->copy_from(m_pattern);
    else
        set_pattern(*static_cast<const ResHandle<Sprite>*>(data));
}

void ExternSprite::start()
{
    Sprite::start();
    rebuild();
}

void ExternSprite::visit_handles(const std::function<void(ResHandleBase&)>& visit)
{
    Sprite::visit_handles(visit);
    visit(m_pattern);
}

void ExternSprite::set_pattern(const ResHandle<Sprite>& pattern)
{
    if (pattern == m_pattern)
        return;
    m_pattern.release();
    m_pattern.copy_from(pattern);
    rebuild();
}

void ExternSprite::rebuild()
{
    if (m_instance) {
        if (m_instance->parent() == this)
            remove_child(m_instance.get());
        m_instance.reset();
    }
    if (m_pattern.empty())
        return;
    Sprite* pattern = nullptr;
    try {
        pattern = m_pattern.get();
    } catch (const Exception&) {
        // The resource manager has reported it; the sprite shows nothing.
    }
    if (!pattern)
        return;
    SharedPtr<Sprite> instance(new Sprite);
    instance->set_inherit(~0u, IF_ALL);
    instance->set_transient(true);
    SharedPtr<Sprite> shown;
    {
        // The pattern is cloned alone, never whatever it may be attached to.
        rtti::ClonePass pass;
        rtti::clone_map_reset(pattern->parent());
        shown = SharedPtr<Sprite>(static_cast<Sprite*>(rtti::clone<SpriteBase>(pattern)));
    }
    instance->add_child(shown, nullptr);
    m_instance = instance;
    add_child(instance, nullptr);
}

}
