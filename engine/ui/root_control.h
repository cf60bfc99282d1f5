#pragma once

#include "engine/ui/control.h"

namespace kq {

/// The top of a UI's control tree: attached from construction on, with the UI as its host,
/// and hit wherever nothing else is.
class RootControl : public Control
{
public:
    /// A root hosted by `ui` (owned by it).
    explicit RootControl(ControlHost* ui) { set_host(ui); }

    /// Always true.
    bool is_attached() const override { return true; }
    /// The base answer, or the root itself when that is null.
    Control* hit_test(Vector2<int> p) override;
};

}
