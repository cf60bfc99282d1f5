#pragma once

namespace kq {

/// Appends the game's skin start-up entries: its documents under "game/" (the panels'
/// document once for each of the four components that show panels) and `EGVF_ANYKEY`.
void register_shell_skin_entries();

}
