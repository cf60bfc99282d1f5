#include "engine/ui/share_box.h"

#include "engine/base/clone.h"
#include "engine/res/skin_child_iterator.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"

namespace kq {

ShareBox::ShareBox(const ShareBox& other) : Control(other), m_total(other.m_total)
{
    for (const Share& share : other.m_shares)
        add_share({share.name, share.value, SharedPtr<Sprite>(share.sprite ? rtti::clone(share.sprite.get()) : nullptr)});
}

ShareBox::~ShareBox()
{
    // A share's sprite may be held elsewhere too: it must not ask a dead box.
    for (Share& share : m_shares)
        if (share.sprite && (share.sprite->inherit() & sprite_takes_variables))
            share.sprite->set_data_provider(nullptr);
}

void ShareBox::add_share(Share share)
{
    const std::size_t index = m_shares.size();
    m_shares.push_back(std::move(share));
    Sprite* sprite = m_shares.back().sprite.get();
    if (sprite && (sprite->inherit() & sprite_takes_variables))
        sprite->set_data_provider(
            [this, index](const std::string& name, std::string& value) { return share_variable(index, name, value); });
}

void ShareBox::draw(Artist& artist)
{
    Control::draw(artist);
    for (const Share& share : m_shares) {
        if (!share.sprite)
            continue;
        if (share.sprite->inherit() & sprite_takes_view_flags) {
            std::uint32_t mask = 0;
            std::uint32_t flags = 0;
            get_view_flags(share.sprite.get(), mask, flags);
            share.sprite->set_flags(mask, flags);
        }
        share.sprite->render(artist);
    }
}

bool ShareBox::get_variable(const std::string& name, std::string& value) const
{
    if (name == "total") {
        value = std::to_string(m_total);
        return true;
    }
    if (const Share* share = find_share(StrCache(name.c_str()))) {
        value = std::to_string(share->value);
        return true;
    }
    return Control::get_variable(name, value);
}

bool ShareBox::share_variable(std::size_t index, const std::string& name, std::string& value) const
{
    if (name == "share" && index < m_shares.size()) {
        value = std::to_string(m_shares[index].value);
        return true;
    }
    return get_variable(name, value);
}

void ShareBox::refresh()
{
    Control::refresh();
    for (const Share& share : m_shares)
        if (share.sprite)
            share.sprite->on_data_changed();
}

void ShareBox::relayout()
{
    Control::relayout();
    layout_shares();
}

void ShareBox::read_skin()
{
    Control::read_skin();
    read_skin_value(path() + "total_share", &m_total);
    for (SkinChildIterator child(path(), "share"); !child.at_end(); child.next()) {
        Share share;
        read_interned(child.path() + "name", &share.name);
        share.sprite = SharedPtr<Sprite>(clone_resource<Sprite, Sprite>(child.path() + "sprite"));
        add_share(std::move(share));
    }
}

void ShareBox::set_share(int value, StrCache name)
{
    for (Share& share : m_shares) {
        if (share.name == name) {
            share.value = value;
            layout_shares();
            break;
        }
    }
    Control::refresh();
}

void ShareBox::reset_total()
{
    m_total = 100;
    layout_shares();
}

const ShareBox::Share* ShareBox::find_share(StrCache name) const
{
    for (const Share& share : m_shares)
        if (share.name == name)
            return &share;
    return nullptr;
}

void ShareBox::layout_shares()
{
    // A total of nothing gives the shares no width rather than a division by zero.
    const float scale = m_total != 0 ? float(size().x) / float(m_total) : 0.0f;
    const float height = float(size().y);
    float x = 0.0f;
    for (const Share& share : m_shares) {
        const float right = x + float(share.value) * scale;
        if (Sprite* sprite = share.sprite.get()) {
            sprite->set_position(Vector2<float>{x, 0.0f});
            sprite->set_size(Vector2<float>{right - x, height});
            sprite->on_data_changed();
        }
        x = right;
    }
}

}
