#pragma once

#include "engine/base/binary_io.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/text_io.h"
#include "engine/base/type_name.h"
#include "engine/res/resource.h"

namespace kq {

class SkinNode;

/// One skin document: the tree of nodes of one ".sdt" file (or of its binary copy).
class SkinDocument : public Resource, public TextIO, public BinaryIO
{
public:
    /// A document with no tree yet.
    SkinDocument() = default;

    /// The root of the document's tree; null until read.
    const SharedPtr<SkinNode>& root() const { return m_root; }

    /// Runs the directives of the tree, so that its "uses" documents are attached and its
    /// "define" names defined before the document itself is merged.
    void resolve() override;

    /// Writes the root's entries.
    void write_text(TStream& stream) const override;
    /// Reads a new root from the entries up to the end of input; anything after a stray "}"
    /// is the stream error "spare data in skin document.".
    void read_text(TStream& stream) override;
    /// Writes the root as one shared reference.
    void store(BStream& stream) const override;
    /// Reads the root written by `store`.
    void load(BStream& stream) override;

private:
    SharedPtr<SkinNode> m_root;
};

}

KQ_TYPE_NAME(kq::SkinDocument, "class kq::SkinDocument");
