#pragma once

// Skin trees in and out of their text form, and a comparison of two trees, for the tests of
// the node tree and its forms.
#include <string>

#include "engine/base/shared_ptr.h"
#include "engine/res/skin_node.h"

namespace kq::test {

/// A document using every construct of the syntax and every kind of value.
extern const char* const sample_document;

/// A fresh root holding the entries of the text; throws the reader's errors.
SharedPtr<SkinNode> parse_document(const std::string& text);
/// The entries of the root, written as a document.
std::string write_document(const SkinNode& root);
/// "" when the trees hold the same values, names (anonymous in both places), parents,
/// directives and ids, else where they first differ.
std::string tree_difference(const SkinNode& a, const SkinNode& b);

}
