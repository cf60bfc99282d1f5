#pragma once

#include <string>

#include "engine/base/binary_io.h"
#include "engine/base/str_cache.h"
#include "engine/base/text_io.h"
#include "engine/base/type_name.h"
#include "engine/base/weak_ptr.h"
#include "engine/res/res_key.h"
#include "engine/res/res_record.h"

namespace kq {

class SkinPath;

/// A named, lazily loaded reference to a resource of one type: the key of its file and,
/// once loaded, a weak reference to its record that counts as one use.
class ResHandleBase : public BinaryIO, public TextIO
{
public:
    /// The same type name and key; shares (and uses) the other's live record.
    ResHandleBase(const ResHandleBase& other);
    /// Lets go of what is held, then takes the other's key and record (the type name stays).
    ResHandleBase& operator=(const ResHandleBase& other);
    /// Lets go of what is held.
    ~ResHandleBase() override;

    /// The interned type name of the resource class.
    StrCache type() const { return m_type; }
    /// The key of the file.
    const ResKey& key() const { return m_key; }
    /// The path of the file.
    const std::string& path() const { return m_key.m_path; }
    /// Whether no file is named.
    bool empty() const { return m_key.m_path.empty(); }

    /// Loads through `Res` unless a live record is held; errors of loading pass through.
    /// Drawing asks this of every handle every frame, so the held case and an empty path
    /// (naming nothing to load) cost no call.
    void load()
    {
        if (!m_record.get() && !empty())
            load_record();
    }
    /// The held record while it lives, else null; never loads.
    ResRecord* get_loaded() const { return m_record.get(); }
    /// Gives back the use of a held record (which may drop it) and forgets it.
    void release();
    /// Lets go of what is held and names another file.
    void set_key(const ResKey& key);
    /// Names another path (letting go of what is held) when it differs from the current one.
    void set_path(const std::string& path);
    /// Names the file given by the skin value at the path (made canonical), letting go of what
    /// is held when it differs; the resource loads on the next get.
    void read_name_from_skin(const SkinPath& path);
    /// Takes the key and shares the record of the other handle, adding a use when it lives.
    void copy_from(const ResHandleBase& other);

    /// The path token, a blank and the flags.
    void write_text(TStream& stream) const override;
    /// Lets go of what is held, then reads a path token and an integer token.
    void read_text(TStream& stream) override;
    /// Bytes 0 (handle) and 0 (key), the path as a binary string, the flags as 4 bytes.
    void store(BStream& stream) const override;
    /// Reads the form of `store`, letting go of what is held first.
    void load(BStream& stream) override;

    /// Equal when both hold the same live record, else when paths and flags are equal.
    friend bool operator==(const ResHandleBase& a, const ResHandleBase& b);

protected:
    /// An unloaded handle of the type for the key.
    ResHandleBase(StrCache type, ResKey key);

private:
    void load_record();

    StrCache m_type;
    ResKey m_key;
    WeakPtr<ResRecord> m_record;
};

}

KQ_TYPE_NAME(kq::ResHandleBase, "class kq::ResHandleBase");
