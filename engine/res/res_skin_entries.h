#pragma once

namespace kq {

/// Appends the skin service's own start-up entries: the document "skin/skin.sdt", then the
/// built-in functions "or", "cat", "rand", "repeat" and "step".
void register_res_skin_entries();

}
