#pragma once

#include "engine/base/type_name.h"
#include "engine/host/window/host_cursor.h"
#include "engine/res/resource.h"
#include "engine/res/simple_res_loader.h"

namespace kq {

/// A hardware cursor resource: the shape the pointer takes while it is set. A cursor without
/// a shape hides the pointer.
class Cursor : public Resource
{
public:
    /// No shape: the pointer is hidden while this cursor is set.
    Cursor() = default;
    /// A cursor of the shape (null: none).
    explicit Cursor(host::CursorHandle handle) : m_handle(std::move(handle)) {}

    /// The shape; null for none.
    const host::CursorHandle& handle() const { return m_handle; }

private:
    host::CursorHandle m_handle;
};

/// Loads "cur", "ico" and "ani" files as cursors (an animated one animates while set). A
/// file of another extension, or one that cannot be read as a cursor, gives no resource;
/// the reason for the second is logged to "window".
class CursorLoader : public SimpleResLoader
{
public:
    SharedPtr<Resource> load_from_stream(ResStream& stream, const ResRequest& request) override;
};

}

KQ_TYPE_NAME(kq::Cursor, "class kq::Cursor");
