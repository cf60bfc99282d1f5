#pragma once

namespace kq {

/// Registers the UI toolkit's types: the enumerations `XSnap`, `YSnap`, `SSnap`, `ZSnap`,
/// `Control::Transparency`, `ControlList::Formation`, `Slider::Direction` and `Menu::Style`
/// with their value names, then the classes `Control`; `Button`, `EditBox`, `Slider`,
/// `ShareBox`, `ClipBox`, `DebugDialog` and `ConsoleDialog`, derived from it; and `ListBox`,
/// derived from `ClipBox`; and `CheckBox`, derived from `Control`.
/// Later calls do nothing.
void register_ui_types();

/// Appends the UI toolkit's skin start-up entries: "ui/ui.sdt", "ui/controls.sdt", then the
/// view flags `VF_NONE` to `VF_FOCUSED` and `IF_CONTROL`.
void register_ui_skin_entries();

/// Appends the check box's skin start-up entries: `VF_CHECKED`, then `SN_COMMON` (the text
/// "common").
void register_check_box_skin_entries();

}
