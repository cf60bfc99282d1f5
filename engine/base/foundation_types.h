#pragma once

namespace kq {

/// Registers the foundation's types: the fundamentals `int`, `float`, `bool`, the byte string
/// and `FilePath`, then `struct kq::RefCounter`. Later calls do nothing.
///
/// Types register in explicit groups, called at the start of `main` (and of every test
/// program's main) in this order, each group declared beside the classes it registers:
/// the UI group, this foundation group, the resource handle base, the key group, the skin
/// group, the art group, the spline group, the sample handle, the field group, the item base,
/// then one group per field object.
void register_foundation_types();

}
