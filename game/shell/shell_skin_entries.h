#pragma once

namespace kq {

/// Appends the game's skin start-up entries: its documents under "game/" (the panels'
/// document once for each of the four components that show panels) and `EGVF_ANYKEY`.
void register_shell_skin_entries();

// The entries of components whose library does not read its documents yet stand here; each
// function moves, under its name, to its library when that library takes its documents over.

/// "window/window.sdt".
void register_window_skin_entries();
/// "art/art.sdt", "art/sprites.sdt", the sprite flags `IF_` and the sprite properties `SP_`.
void register_art_skin_entries();
/// "audio/audio.sdt".
void register_audio_skin_entries();
/// "dxdraw/dxdraw.sdt".
void register_renderer_skin_entries();
/// The check box's `VF_CHECKED`, then `SN_COMMON`.
void register_check_box_skin_entries();

}
