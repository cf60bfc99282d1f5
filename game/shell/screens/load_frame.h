#pragma once

#include "engine/res/res.h"
#include "engine/ui/frame.h"
#include "engine/ui/share_box.h"

namespace kq {

/// The loading screen: once on the stack and its push transition over, it loads every
/// registered resource file its filter accepts while its progress bar (the child "progress",
/// its share "common" in percent) fills, then pops itself. A quit request stops the loading
/// at the next file; the frame still pops itself.
class LoadFrame : public Frame
{
public:
    /// The bar; the filter chooses the files to load.
    explicit LoadFrame(Res::FileFilter filter);
    ~LoadFrame() override;
    LoadFrame(const LoadFrame&) = delete;

    /// The frame's attachment, then the loading is posted (keyed by the frame).
    void on_attach() override;

    ShareBox& progress() { return m_progress; }

private:
    void load();
    bool show_progress(float fraction);

    Res::FileFilter m_filter;
    ShareBox m_progress;
};

}
