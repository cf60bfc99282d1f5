#pragma once

#include "engine/ui/control.h"

namespace kq {

/// The push button: a control whose click is its action.
class Button : public Control
{
public:
    Button() = default;
    Button(const Button&) = default;
};

}

KQ_TYPE_NAME(kq::Button, "class kq::Button");
