#pragma once

#include <cstdint>

#include "engine/base/type_name.h"

namespace kq {

/// How a control's x offset places it in its parent (see `Control::update_layout`).
enum class XSnap : std::int32_t
{
    left = 0,
    center = 1,
    right = 2,
    prev_brother = 3,  ///< against the previous sibling in the parent's list
};

/// How a control's y offset places it in its parent.
enum class YSnap : std::int32_t
{
    top = 0,
    center = 1,
    bottom = 2,
    prev_brother = 3,
};

/// Whether a control's size is its own (absolute) or a delta to its parent's (relative).
enum class SSnap : std::int32_t
{
    absolute = 0,
    relative = 1,
};

/// The layer of a control among its siblings, drawn bottom first.
enum class ZSnap : std::int32_t
{
    bottom = 0,
    normal = 1,
    top = 2,
    topmost = 3,
};

/// Layout of a control list; registered for skin documents, read by no class.
enum class ControlListFormation : std::int32_t
{
    left = 0,
    right = 1,
    top = 2,
    bottom = 3,
};

/// The axis of a slider (registered as the slider's own `Direction`).
enum class SliderDirection : std::int32_t
{
    horizontal = 0,
    vertical = 1,
};

/// Layout of a menu; registered for skin documents, read by no class.
enum class MenuStyle : std::int32_t
{
    horizontal = 0,
    vertical = 1,
};

/// View flags: the state of a control that sprites taking view flags show.
inline constexpr std::uint32_t VF_NONE = 0;
inline constexpr std::uint32_t VF_DISABLED = 1;  ///< the control itself is disabled
inline constexpr std::uint32_t VF_POINTED = 2;   ///< the control is under the mouse
inline constexpr std::uint32_t VF_PRESSED = 4;   ///< a left press is pending on it
inline constexpr std::uint32_t VF_FOCUSED = 8;   ///< it has the keyboard focus
inline constexpr std::uint32_t VF_CHECKED = 16;  ///< a check box is checked

/// Sprite flags of a control's look: it takes the control's size (8), its view flags (32)
/// and resolves text variables through the control (64).
inline constexpr std::uint32_t IF_CONTROL = 104;

/// Names of logs and of the console's command channel.
inline constexpr const char* log_name_error = "error";
inline constexpr const char* log_name_out = "out";
inline constexpr const char* command_name = "command";

}

KQ_TYPE_NAME(kq::XSnap, "enum kq::XSnap");
KQ_TYPE_NAME(kq::YSnap, "enum kq::YSnap");
KQ_TYPE_NAME(kq::SSnap, "enum kq::SSnap");
KQ_TYPE_NAME(kq::ZSnap, "enum kq::ZSnap");
KQ_TYPE_NAME(kq::ControlListFormation, "enum kq::ControlList::Formation");
KQ_TYPE_NAME(kq::SliderDirection, "enum kq::Slider::Direction");
KQ_TYPE_NAME(kq::MenuStyle, "enum kq::Menu::Style");
