#pragma once

#include <cstdint>
#include <vector>

#include <boost/smart_ptr/intrusive_ptr.hpp>

#include "engine/base/binary_io.h"
#include "engine/base/intrusive.h"
#include "engine/base/socket.h"
#include "engine/base/str_cache.h"
#include "engine/base/type_name.h"
#include "engine/res/skin_io.h"

namespace kq {

class SpriteBase;

/// The description attached to a sprite of the named fields packed into its state word and
/// of numbered time parameters that parameter timers follow. Shared through its intrusive
/// count; nothing changes its tables at run time.
class SpriteLogic : public IntrusivePolymorph, public BinaryIO, public SkinIO
{
public:
    /// A named bit field of the state word.
    struct StateField
    {
        StrCache name;
        std::int32_t width = 0;               ///< number of bits
        std::vector<StrCache> value_names;    ///< names of the field's values, in order
        std::int32_t shift = 0;               ///< position of the lowest bit
    };

    /// A numbered time parameter.
    struct Parameter
    {
        std::int32_t id = 0;
        StrCache name;
        std::int32_t value = 0;  ///< the time a timer following it takes at reset
    };

    /// Emitted after `set_state` with (sprite, field name, value).
    using Signal = Socket<void(SpriteBase*, StrCache, std::int32_t)>;

    SpriteLogic() = default;
    /// Copies the tables; the copy starts with no links and no handlers.
    SpriteLogic(const SpriteLogic&) = default;

    /// Writes version 1.
    void store(BStream& stream) const override;
    /// Reads versions 0 and 1, checking every count against what is left.
    void load(BStream& stream) override;
    /// A logic has no skin form: reads nothing.
    void read_skin(const SkinPath&) override {}

    /// The index of the first parameter with the id, or -1.
    int find_parameter(std::int32_t id) const;
    /// The index of the first state field with the name, or -1.
    int find_state_field(StrCache name) const;
    /// Sets the named field on the sprite that owns this logic at or above `sprite` (the
    /// topmost ancestor when none owns it), when the field exists and a sprite is given; then
    /// emits the signal in every case.
    void set_state(SpriteBase* sprite, StrCache name, std::int32_t value);

    const std::vector<StateField>& state_fields() const { return m_state_fields; }
    std::vector<StateField>& state_fields() { return m_state_fields; }
    const std::vector<Parameter>& parameters() const { return m_parameters; }
    std::vector<Parameter>& parameters() { return m_parameters; }
    std::int32_t reserved() const { return m_reserved; }
    void set_reserved(std::int32_t word) { m_reserved = word; }
    Signal& on_set_state() { return m_on_set_state; }

private:
    Signal m_on_set_state;
    std::vector<StateField> m_state_fields;
    std::int32_t m_reserved = 0;
    std::vector<Parameter> m_parameters;
};

/// A shared hold on a logic.
using SpriteLogicPtr = boost::intrusive_ptr<SpriteLogic>;

}

KQ_TYPE_NAME(kq::SpriteLogic, "class kq::SpriteLogic");
