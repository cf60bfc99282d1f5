#include "game/field/objects/charge.h"

#include "game/field/field.h"
#include "game/field/objects/vimu.h"

namespace kq {

namespace {

// The piece while it lives on the field, else null.
Vimu* on_field(Vimu* piece)
{
    return piece && piece->body() ? piece : nullptr;
}

}

void Charge::update(int dt)
{
    Item::update(dt);
    if (!m_body)
        return;
    Vimu* holder = on_field(m_holder.get());
    if (!holder) {
        Vimu* piece = on_field(dynamic_cast<Vimu*>(m_field->last_piece()));
        if (piece && Vector2<float>::distance(piece->position(), position()) < capture_distance)
            holder = piece;
    } else if (!holder->is_struck()) {
        holder = nullptr;
        remove();
    }
    m_holder = WeakPtr<Vimu>(holder);
    if (holder)
        set_position(holder->position());
}

}
