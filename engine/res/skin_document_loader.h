#pragma once

#include "engine/res/res_loader.h"

namespace kq {

/// Loads skin documents from their ".sdt" text, or from the binary copy ".sdb" beside it when
/// that copy is not older than the text and its check ".sdb.sum" (sizes and hashes of the text
/// and of the copy, written with it) matches both; otherwise reads the text and writes the
/// copy and its check again.
class SkinDocumentLoader : public ResLoader
{
public:
    /// True: documents stay loaded after their last handle goes.
    bool keep_when_unused() const override { return true; }
    /// The document of the request's ".sdt" path, from the text or its binary copy; empty when
    /// neither exists. Only a binary copy found: the request keeps its ".sdt" name.
    SharedPtr<ResRecord> load(ResRequest& request) override;
    /// Writes the document back as text through the source that opened it; false when that
    /// source is gone or cannot write, or the record holds no skin document.
    bool store(const ResRequest& request, ResRecord& record) override;
    /// True: a loaded document is never reloaded.
    bool is_up_to_date(const ResRecord&, const ResRequest&) override { return true; }
};

}
