#pragma once

namespace kq {

/// Registers the art library's types: the sprite tree's classes, the spline kinds and the
/// enumerations its skin keys use, each under its fixed name, with their value names. Later
/// calls do nothing.
void register_art_types();

}
