#pragma once

#include <memory>

#include "engine/host/window/cursor_file.h"

namespace kq::host {

/// A cursor shape: pictures of its own (still, or animated in steps) or one of the system's
/// cursors. Shared; the system's copies of its pictures are made when it is first shown and
/// go with the shape or with the video.
class CursorShape
{
public:
    /// A shape showing the file's pictures (at least one).
    explicit CursorShape(CursorFile file) : m_file(std::move(file)) {}
    /// A system cursor of the kind (1 arrow, 2 text beam, 3 wait).
    explicit CursorShape(int system_kind) : m_system_kind(system_kind) {}
    ~CursorShape();
    CursorShape(const CursorShape&) = delete;
    CursorShape& operator=(const CursorShape&) = delete;

    /// The pictures and steps; no pictures for a system cursor.
    const CursorFile& file() const { return m_file; }
    /// The picture shown first; only for a shape of pictures.
    const CursorImage& image() const { return m_file.first_frame(); }
    /// The system cursor's kind; 0 for pictures.
    int system_kind() const { return m_system_kind; }

private:
    CursorFile m_file;
    int m_system_kind = 0;
};

/// A cursor handle; null is no cursor (the pointer is hidden while it is set).
using CursorHandle = std::shared_ptr<const CursorShape>;

/// The system cursor of a kind: 1 arrow, 2 text beam, 3 wait; null for any other kind.
CursorHandle system_cursor(int kind);

/// Shows the cursor over the game's windows; null hides the pointer. An animated cursor
/// starts at its first step. Drivers without cursors of their own keep theirs.
void set_cursor(const CursorHandle& cursor);

/// Shows the step of the animated cursor that is due at `now_ms` (monotonic milliseconds);
/// nothing for a still cursor.
void animate_cursor(std::int64_t now_ms);

/// The frame the set cursor shows now; -1 when no cursor of pictures is set.
int shown_cursor_frame();

/// Frees the system's copies of every shape (the video is going away).
void forget_system_cursors();

}
