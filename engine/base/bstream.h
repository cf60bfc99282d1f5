#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

#include "engine/base/auto_stream.h"
#include "engine/base/binary_io.h"
#include "engine/base/ref_counter.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/str_cache.h"

namespace kq::rtti {
class ClassBase;
class TypeDesc;
}

namespace kq {

/// The id that stands for no object and no block.
inline constexpr std::uint32_t null_ref = 0xFFFFFFFF;

/// Writes one byte.
void write_u8(Stream& stream, std::uint8_t value);
/// Reads one byte; "unexpected end of buffer." when none is left.
std::uint8_t read_u8(Stream& stream);
/// Writes 4 bytes, little-endian.
void write_u32(Stream& stream, std::uint32_t value);
/// Reads 4 bytes, little-endian; "unexpected end of buffer." when fewer are left.
std::uint32_t read_u32(Stream& stream);
/// Reads a 4-byte count of elements taking at least `element_size` bytes each; a count that
/// cannot fit in what is left is "unexpected end of buffer.".
std::uint32_t read_count(Stream& stream, std::uint32_t element_size);

/// The binary object stream: writes each object, count block and interned string once and
/// afterwards by its id, so that reading back restores the same sharing. Objects are written
/// with their registered class name and created by it when read. Every id read is checked
/// against the kind it was bound as, and a new id must be the next in order, as writers hand
/// them out.
class BStream : public AutoStream
{
public:
    /// A stream over the buffer, which must outlive it; nothing known yet.
    explicit BStream(Buffer& buffer) : AutoStream(buffer) {}
    /// Drops the stream's own hold on the count blocks it read.
    ~BStream() override;

    /// Forgets every id and restarts the counter at 0.
    void reset() override;

    /// One byte (see `read_u8`), taken straight from a text read in place.
    std::uint8_t read_byte()
    {
        if (m_pos != m_end)
            return static_cast<std::uint8_t>(*m_pos++);
        return read_u8(static_cast<Stream&>(*this));
    }
    /// Four bytes, little-endian (see `read_u32`), taken straight from a text read in place.
    std::uint32_t read_word()
    {
        if (m_end - m_pos < 4)
            return read_u32(static_cast<Stream&>(*this));
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(m_pos);
        m_pos += 4;
        return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t(bytes[3]) << 24);
    }
    /// A count of elements of at least `element_size` bytes each (see `read_count`).
    std::uint32_t read_count_of(std::uint32_t element_size)
    {
        const std::uint32_t count = read_word();
        if (static_cast<std::int64_t>(count) * element_size > bytes_left()) [[unlikely]]
            fail_end_of_buffer();
        return count;
    }
    /// A string written by `write_binary` (see its `Stream` form).
    void read_string(std::string& text);

    /// Reads from a `StringBuffer`'s own text where it lies, any other buffer through its read;
    /// the buffer is put where reading ends before any other use and when the stream ends.
    std::uint32_t read(void* data, std::uint32_t n) override;
    std::int64_t tell() override;
    std::uint32_t write(const void* data, std::uint32_t n) override;
    std::int64_t seek(std::int32_t offset, std::uint32_t origin) override;

    /// Writes a count block reference: its id, binding a new one first; `null_ref` for null.
    void write_ref(RefCounter* block);
    /// Reads a count block reference; a new id gives a new zeroed block, kept alive by the
    /// stream until it ends.
    RefCounter* read_counter_ref()
    {
        const std::uint32_t id = read_word();
        if (id < m_entries.size() && m_entries[id].kind == Kind::block)
            return static_cast<RefCounter*>(find_object(static_cast<std::int32_t>(id)));
        return read_other_counter_ref(id);
    }

    /// Writes an object reference: its id, and at first occurrence its registered class name
    /// and its own data; `null_ref` for null.
    void write_object_ref(const BinaryIO* object);
    /// Reads an object reference that must be a T; null for `null_ref`. A new object is
    /// created by its class name; the caller owns it.
    template <class T>
    T* read_object_ref()
    {
        return static_cast<T*>(read_object(&as<T>, false).typed);
    }

    /// Writes an interned string: its id, and at first occurrence whether it is a unique id and
    /// its text.
    void write_name(StrCache name);
    /// Reads an interned string; a unique id comes back as a fresh unique id of this process.
    StrCache read_name()
    {
        const std::uint32_t id = read_word();
        if (id < m_entries.size() && m_entries[id].kind == Kind::name)
            return StrCache::from_word(reinterpret_cast<std::uintptr_t>(find_object(static_cast<std::int32_t>(id))));
        return read_other_name(id);
    }

    /// Writes a shared handle: the object reference, then its count block reference.
    template <class T>
    void write_shared(const SharedPtr<T>& handle)
    {
        write_object_ref(handle.get());
        if (handle)
            write_ref(handle.counter());
    }

    /// Reads a shared handle into `handle` (left as it is when it already holds the block read).
    template <class T>
    void read_shared(SharedPtr<T>& handle)
    {
        const ObjectRead read = read_object(&as<T>, true);
        if (!read.typed) {
            handle = SharedPtr<T>();
            return;
        }
        T* object = static_cast<T*>(read.typed);
        RefCounter* block = read_handle_block(read, owner_of(object));
        // A shared object's own block is the one its handles count on; a damaged stream that
        // names two must not leave two blocks owning the object.
        if constexpr (std::is_base_of_v<SharedObject, T>)
            static_cast<SharedObject*>(object)->replace_counter(block);
        handle = SharedPtr<T>(object, block);
    }

private:
    enum class Kind : std::uint8_t { object, block, name };

    struct Entry
    {
        // Trivially copyable: the table moves its entries as bytes when it grows.
        Kind kind;
        bool loading = false;                 ///< the object's own data are being read
        bool dead = false;                    ///< the object could not be read; it was deleted
        bool owned_raw = false;               ///< created for a plain reference, whose reader owns it
        BinaryIO* object = nullptr;           ///< the object's binary side, for objects
        RefCounter* handle_block = nullptr;   ///< the block that handles on the object read use
    };

    struct ObjectRead
    {
        void* typed = nullptr;   ///< the object as the class its reader expects
        std::int32_t id = -1;
        bool fresh = false;      ///< created by this read
        std::size_t order = 0;   ///< where a fresh object stands among the objects read
    };

    // The object as the class its reader expects (as that class's pointer), or null.
    using Cast = void* (*)(BinaryIO*);

    // A class met by name in this stream, looked up once: its descriptors, and where the
    // last cast asked for puts an object of it (null `cast` until one was made).
    struct KnownClass
    {
        std::uintptr_t name_word;
        const rtti::TypeDesc* type;
        const rtti::ClassBase* descriptor;
        Cast cast = nullptr;
        std::ptrdiff_t cast_offset = 0;
        bool cast_fails = false;
    };

    template <class T>
    static void* as(BinaryIO* object)
    {
        return dynamic_cast<T*>(object);
    }

    // What a count block records as its owner, the same way `SharedPtr` records it.
    template <class T>
    static const void* owner_of(T* object)
    {
        if constexpr (std::is_base_of_v<SharedObject, T>)
            return static_cast<SharedObject*>(object);
        else
            return object;
    }

    std::int32_t bind_new(const void* key, Entry entry)
    {
        m_entries.push_back(entry);
        return add_object(const_cast<void*>(key));
    }
    // The entry of a known id, checked for its kind; null for the next id, which a reader
    // binds as new. Writers hand ids out in order of first occurrence, so any later id is
    // damage.
    Entry* entry(std::uint32_t id, Kind kind)
    {
        if (id == m_entries.size())
            return nullptr;
        if (id > m_entries.size() || m_entries[id].kind != kind) [[unlikely]]
            fail_reference(id);
        return &m_entries[id];
    }
    // Each fails through the stream's error, with the text for a bad reference id or for
    // input cut short; kept out of the readers' way.
    void fail_reference(std::uint32_t id);
    void fail_end_of_buffer();
    RefCounter* read_other_counter_ref(std::uint32_t id);
    StrCache read_other_name(std::uint32_t id);
    ObjectRead read_object(Cast cast, bool strong);
    ObjectRead read_new_object(Cast cast, bool strong);
    void discard(std::int32_t id, std::size_t order);
    RefCounter* read_handle_block(const ObjectRead& read, const void* owner);
    void release_blocks();
    KnownClass& known_class(StrCache name);
    const rtti::ClassBase* written_class(const BinaryIO& object);
    void* cast_known(KnownClass& known, BinaryIO* object, Cast cast);
    std::int64_t bytes_left() { return m_text ? m_end - m_pos : buffer_bytes_left(); }
    std::int64_t buffer_bytes_left();
    bool open_text();
    void put_buffer_back();

    std::vector<Entry> m_entries;                ///< by id, beside the stream's object table
    std::vector<std::int32_t> m_object_ids;      ///< object ids in the order they were bound
    std::vector<RefCounter*> m_blocks;           ///< blocks read, each holding one link of ours
    int m_depth = 0;                             ///< objects being read, one inside the other
    std::vector<KnownClass> m_classes;           ///< few: looked through in order
    // The classes of objects written, by their C++ identity: few, looked through in order.
    std::vector<std::pair<const std::type_info*, const rtti::ClassBase*>> m_written_classes;
    // The ids of the interned strings met, apart from the objects' index: a file names far
    // fewer strings than it holds objects, so this index stays small and quick to look in.
    IdIndex m_name_ids;
    // A string buffer's text being read in place: [m_pos, m_end) is left.
    const char* m_text = nullptr;
    const char* m_pos = nullptr;
    const char* m_end = nullptr;
};

/// The readers of plain values, taken straight from a text read in place.
inline std::uint8_t read_u8(BStream& stream)
{
    return stream.read_byte();
}

inline std::uint32_t read_u32(BStream& stream)
{
    return stream.read_word();
}

inline std::uint32_t read_count(BStream& stream, std::uint32_t element_size)
{
    return stream.read_count_of(element_size);
}

inline BStream& read_binary(BStream& stream, std::string& text)
{
    stream.read_string(text);
    return stream;
}

/// Writes an interned string (see `BStream::write_name`).
BStream& write_binary(BStream& stream, StrCache name);
/// Reads an interned string (see `BStream::read_name`).
BStream& read_binary(BStream& stream, StrCache& name);
/// Writes a set of interned names: a 4-byte count, then each name in set order.
BStream& write_binary(BStream& stream, const std::set<StrCache>& names);
/// Replaces the set by the names read.
BStream& read_binary(BStream& stream, std::set<StrCache>& names);

/// Writes a shared handle (see `BStream::write_shared`).
template <class T>
BStream& write_binary(BStream& stream, const SharedPtr<T>& handle)
{
    stream.write_shared(handle);
    return stream;
}

/// Reads a shared handle (see `BStream::read_shared`).
template <class T>
BStream& read_binary(BStream& stream, SharedPtr<T>& handle)
{
    stream.read_shared(handle);
    return stream;
}

/// Writes a list of handles: a 4-byte count, then each handle.
template <class T>
BStream& write_binary(BStream& stream, const std::vector<SharedPtr<T>>& handles)
{
    write_u32(stream, static_cast<std::uint32_t>(handles.size()));
    for (const SharedPtr<T>& handle : handles)
        stream.write_shared(handle);
    return stream;
}

/// Replaces the list by the handles read.
template <class T>
BStream& read_binary(BStream& stream, std::vector<SharedPtr<T>>& handles)
{
    const std::uint32_t count = read_count(stream, 4);
    std::vector<SharedPtr<T>> read(count);
    for (SharedPtr<T>& handle : read)
        stream.read_shared(handle);
    handles = std::move(read);
    return stream;
}

}
