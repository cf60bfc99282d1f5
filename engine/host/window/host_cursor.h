#pragma once

#include <memory>

#include "engine/host/window/cursor_file.h"

namespace kq::host {

/// A cursor shape: a picture of its own or one of the system's cursors. Shared; the system's
/// copy of it is made when it is first shown and goes with the shape or with the video.
class CursorShape
{
public:
    /// A shape showing the picture.
    explicit CursorShape(CursorImage image) : m_image(std::move(image)) {}
    /// A system cursor of the kind (1 arrow, 2 text beam, 3 wait).
    explicit CursorShape(int system_kind) : m_system_kind(system_kind) {}
    ~CursorShape();
    CursorShape(const CursorShape&) = delete;
    CursorShape& operator=(const CursorShape&) = delete;

    /// The picture; empty for a system cursor.
    const CursorImage& image() const { return m_image; }
    /// The system cursor's kind; 0 for a picture.
    int system_kind() const { return m_system_kind; }

private:
    CursorImage m_image;
    int m_system_kind = 0;
};

/// A cursor handle; null is no cursor (the pointer is hidden while it is set).
using CursorHandle = std::shared_ptr<const CursorShape>;

/// The system cursor of a kind: 1 arrow, 2 text beam, 3 wait; null for any other kind.
CursorHandle system_cursor(int kind);

/// Shows the cursor over the game's windows; null hides the pointer. Drivers without cursors
/// of their own keep theirs.
void set_cursor(const CursorHandle& cursor);

/// Frees the system's copies of every shape (the video is going away).
void forget_system_cursors();

}
