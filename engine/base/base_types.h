#pragma once

namespace kq {

/// Registers the foundation's types: the fundamentals `int`, `float`, `bool`, the byte string
/// and `FilePath`, then `struct kq::RefCounter`. Later calls do nothing.
///
/// Each library registers its own types in its `register_<lib>_types()`
/// (engine/<lib>/<lib>_types.h), which runs once however often it is called; app/main.cpp and
/// each library's test main call them at start-up, lowest library first.
void register_base_types();

}
