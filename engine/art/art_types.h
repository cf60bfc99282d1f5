#pragma once

namespace kq {

/// Registers the art library's types: the sprite tree's classes, the spline kinds and the
/// enumerations its skin keys use, each under its fixed name, with their value names. Later
/// calls do nothing.
void register_art_types();

/// Appends the art library's skin start-up entries: "art/art.sdt", "art/sprites.sdt", the
/// inheritance flags `IF_NONE` to `IF_ALL`, then the sprite properties `SP_POSITION` to
/// `SP_SEC_TBEGIN`.
void register_art_skin_entries();

}
