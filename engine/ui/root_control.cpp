#include "engine/ui/root_control.h"

namespace kq {

Control* RootControl::hit_test(Vector2<int> p)
{
    Control* hit = Control::hit_test(p);
    return hit ? hit : this;
}

}
