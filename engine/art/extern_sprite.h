#pragma once

#include <cstdint>

#include "engine/art/sprite.h"
#include "engine/base/type_name.h"
#include "engine/res/res_handle.h"

namespace kq {

inline constexpr std::int32_t extern_property_pattern = 5000;

/// Shows a sprite kept in a sprite resource of its own, the pattern. At every start it drops
/// what it showed and puts a fresh clone of the pattern under itself, inside a transient
/// container; the pattern itself is shared and never drawn or changed.
class ExternSprite : public Sprite
{
public:
    ExternSprite() = default;
    /// Shares the pattern; the copy shows nothing until it starts.
    ExternSprite(const ExternSprite& other);
    /// Releases the shown clone and the pattern.
    ~ExternSprite() override;

    /// Writes version 0: the sprite form, then the pattern handle.
    void store(BStream& stream) const override;
    /// Reads version 0; the pattern's key is replaced (what it held is released first).
    void load(BStream& stream) override;
    /// "Pattern" (a sprite handle), then the sprite's properties; setting a different handle
    /// shows the new pattern at once.
    void property(std::int32_t operation, std::int32_t id, void* data) override;
    /// The sprite's start, then a fresh clone of the pattern.
    void start() override;
    /// The sprite's handles (not those of the clone), then the pattern.
    void visit_handles(const std::function<void(ResHandleBase&)>& visit) override;

    /// Shows the pattern given (when it differs from the current one).
    void set_pattern(const ResHandle<Sprite>& pattern);
    const ResHandle<Sprite>& pattern() const { return m_pattern; }
    /// The container of the clone shown, or null.
    Sprite* instance() const { return m_instance.get(); }

private:
    void rebuild();

    ResHandle<Sprite> m_pattern;
    SharedPtr<Sprite> m_instance;
};

}

KQ_TYPE_NAME(kq::ExternSprite, "class kq::ExternSprite");
