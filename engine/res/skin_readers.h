#pragma once

#include <string>
#include <vector>

#include "engine/base/str_cache.h"
#include "engine/base/vector2.h"

namespace kq {

class SkinPath;
struct Color;

/// Reads the evaluated text of the node with a value at the path into `out`, parsed as T:
/// bool ("true" or "false"), int (radix letters b/h/o), std::string (the text itself), float,
/// Vector2<float> "(x, y)" and Color "(r, g, b[, a])". A missing node throws "node not found
/// [<path>]"; text that does not parse is an error of the stream over the text.
template <class T>
void read_skin_value(const SkinPath& path, T* out);

template <>
void read_skin_value<bool>(const SkinPath& path, bool* out);
template <>
void read_skin_value<int>(const SkinPath& path, int* out);
template <>
void read_skin_value<std::string>(const SkinPath& path, std::string* out);
template <>
void read_skin_value<float>(const SkinPath& path, float* out);
template <>
void read_skin_value<Vector2<float>>(const SkinPath& path, Vector2<float>* out);
template <>
void read_skin_value<Color>(const SkinPath& path, Color* out);

/// Reads "(x, y)" with integer coordinates (radix letters b/h/o).
void read_vector2i(const SkinPath& path, Vector2<int>* out);
/// The text interned.
void read_interned(const SkinPath& path, StrCache* out);
/// The text interned (a name).
void read_skin_name(const SkinPath& path, StrCache* out);
/// Reads "{" and points "(x, y)" up to "}"; `out` is cleared first.
void read_points(const SkinPath& path, std::vector<Vector2<float>>* out);

}
