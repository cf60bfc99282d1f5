#include "engine/base/bstream.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/base/class_base.h"
#include "engine/base/create.h"
#include "engine/base/exception.h"
#include "engine/base/type_desc.h"
#include "engine/base/type_registry.h"

namespace kq {

namespace {

constexpr const char* end_of_buffer = "unexpected end of buffer.";

// Each object read inside another takes stack; a damaged file must not nest them without end.
constexpr int max_object_depth = 1000;

std::int64_t bytes_left(Stream& stream)
{
    return static_cast<std::int64_t>(stream.size()) - stream.tell();
}

// The class registered under the name, or under the alias the name is.
const rtti::ClassBase* class_named(StrCache name)
{
    if (const rtti::ClassBase* found = rtti::TypeRegistry::find_class(name))
        return found;
    return dynamic_cast<const rtti::ClassBase*>(rtti::TypeRegistry::find_type(name));
}

// A new object of the type, as `rtti::create` makes one.
void* construct(const rtti::TypeDesc& type)
{
    void* memory = ::operator new(type.size());
    try {
        return type.construct(memory);
    } catch (...) {
        ::operator delete(memory);
        throw;
    }
}

std::string id_text(std::uint32_t id)
{
    return std::to_string(id);
}

}

void write_u8(Stream& stream, std::uint8_t value)
{
    stream.write(&value, 1);
}

std::uint8_t read_u8(Stream& stream)
{
    std::uint8_t value = 0;
    if (stream.read(&value, 1) != 1)
        stream.error(end_of_buffer);
    return value;
}

void write_u32(Stream& stream, std::uint32_t value)
{
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    stream.write(bytes, 4);
}

std::uint32_t read_u32(Stream& stream)
{
    std::uint8_t bytes[4] = {};
    if (stream.read(bytes, 4) != 4)
        stream.error(end_of_buffer);
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t(bytes[3]) << 24);
}

std::uint32_t read_count(Stream& stream, std::uint32_t element_size)
{
    const std::uint32_t count = read_u32(stream);
    if (static_cast<std::int64_t>(count) * element_size > bytes_left(stream))
        stream.error(end_of_buffer);
    return count;
}

BStream::~BStream()
{
    put_buffer_back();
    release_blocks();
}

std::uint32_t BStream::read(void* data, std::uint32_t n)
{
    if (!m_text && !open_text())
        return AutoStream::read(data, n);
    const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(n, m_end - m_pos));
    std::memcpy(data, m_pos, count);
    m_pos += count;
    return count;
}

std::int64_t BStream::tell()
{
    if (m_text)
        return m_pos - m_text;
    return AutoStream::tell();
}

std::uint32_t BStream::write(const void* data, std::uint32_t n)
{
    put_buffer_back();
    return AutoStream::write(data, n);
}

std::int64_t BStream::seek(std::int32_t offset, std::uint32_t origin)
{
    put_buffer_back();
    return AutoStream::seek(offset, origin);
}

std::int64_t BStream::buffer_bytes_left()
{
    return static_cast<std::int64_t>(size()) - tell();
}

void BStream::fail_end_of_buffer()
{
    error(end_of_buffer);
}

void BStream::read_string(std::string& text)
{
    const std::uint32_t length = read_word();
    // A damaged length must not make us allocate gigabytes or keep a half-filled string.
    if (length > bytes_left())
        error(end_of_buffer);
    if (m_text) {
        text.assign(m_pos, length);
        m_pos += length;
        return;
    }
    std::string read(length, '\0');
    if (AutoStream::read(read.data(), length) != length)
        error(end_of_buffer);
    text = std::move(read);
}

// Takes a string buffer's text for reading in place; false for other buffers.
bool BStream::open_text()
{
    auto* text = dynamic_cast<StringBuffer*>(&buffer());
    if (!text)
        return false;
    const std::string& content = text->str();
    m_text = content.data();
    m_pos = m_text + AutoStream::tell();
    m_end = m_text + content.size();
    return true;
}

void BStream::put_buffer_back()
{
    if (!m_text)
        return;
    const std::int64_t position = m_pos - m_text;
    m_text = m_pos = m_end = nullptr;
    AutoStream::seek(0, seek_begin);
    for (std::int64_t left = position; left > 0;) {
        const auto step = static_cast<std::int32_t>(std::min<std::int64_t>(left, 0x40000000));
        AutoStream::seek(step, seek_current);
        left -= step;
    }
}

void BStream::reset()
{
    AutoStream::reset();
    release_blocks();
    m_entries.clear();
    m_object_ids.clear();
    m_classes.clear();
    m_written_classes.clear();
    m_name_ids.clear();
}

void BStream::release_blocks()
{
    for (RefCounter*& block : m_blocks)
        RefCounter::release(block);
    m_blocks.clear();
}

void BStream::fail_reference(std::uint32_t id)
{
    if (id > m_entries.size())
        error("reference id " + id_text(id) + " is out of order.");
    error("reference id " + id_text(id) + " is used as the wrong kind.");
}

void BStream::write_ref(RefCounter* block)
{
    if (!block) {
        write_u32(*this, null_ref);
        return;
    }
    std::int32_t id = find_id(block);
    if (id < 0)
        id = bind_new(block, Entry{Kind::block});
    write_u32(*this, static_cast<std::uint32_t>(id));
}

// A count block reference that is not to a block already read: null, a new block, or damage.
RefCounter* BStream::read_other_counter_ref(std::uint32_t id)
{
    if (id == null_ref)
        return nullptr;
    if (entry(id, Kind::block))
        return static_cast<RefCounter*>(find_object(static_cast<std::int32_t>(id)));
    RefCounter* block = RefCounter::allocate();
    if (!block)
        throw std::bad_alloc();
    // The stream keeps the block alive until it ends, whether or not a handle takes it.
    RefCounter::link(block);
    m_blocks.push_back(block);
    bind_new(block, Entry{Kind::block});
    return block;
}

void BStream::write_object_ref(const BinaryIO* object)
{
    if (!object) {
        write_u32(*this, null_ref);
        return;
    }
    const void* whole = dynamic_cast<const void*>(object);
    if (std::int32_t id = find_id(whole); id >= 0) {
        write_u32(*this, static_cast<std::uint32_t>(id));
        return;
    }
    const rtti::ClassBase* descriptor = written_class(*object);
    // An unregistered class has no registered name to report; the compiler's name of it is
    // shown only to help find the class.
    if (!descriptor)
        KQ_THROW(rtti::RTTIException, typeid(*object).name(), "type descriptor not found, unable to store.");
    const std::int32_t id = bind_new(whole, Entry{Kind::object});
    write_u32(*this, static_cast<std::uint32_t>(id));
    write_name(descriptor->name());
    object->store(*this);
}

const rtti::ClassBase* BStream::written_class(const BinaryIO& object)
{
    const std::type_info& identity = typeid(object);
    for (const auto& [known, descriptor] : m_written_classes) {
        if (known == &identity)
            return descriptor;
    }
    const rtti::ClassBase* descriptor = rtti::TypeRegistry::find_class_of(identity);
    if (descriptor)
        m_written_classes.emplace_back(&identity, descriptor);
    return descriptor;
}

BStream::ObjectRead BStream::read_object(Cast cast, bool strong)
{
    const std::uint32_t raw_id = read_word();
    if (raw_id == null_ref)
        return {};
    Entry* known = entry(raw_id, Kind::object);
    if (!known)
        return read_new_object(cast, strong);
    const auto id = static_cast<std::int32_t>(raw_id);
    if (known->dead)
        error("reference id " + id_text(id) + " names an object that could not be read.");
    // A strong handle on an object whose data are still being read would own its own owner.
    if (strong && known->loading)
        error("reference id " + id_text(id) + " makes a shared object own itself.");
    if (strong && known->owned_raw)
        error("reference id " + id_text(id) + " shares an object that has an owner already.");
    void* typed = cast(known->object);
    if (!typed)
        error("reference id " + id_text(id) + " names an object of another class.");
    return {typed, id, false};
}

BStream::ObjectRead BStream::read_new_object(Cast cast, bool strong)
{
    // The id is taken before the type name, which the writer numbered after it; until the
    // object exists the id stands for one that could not be read.
    const std::int32_t id = bind_new(nullptr, Entry{Kind::object, false, true});
    const StrCache name = read_name();
    KnownClass& known = known_class(name);
    void* created = known.type ? construct(*known.type) : rtti::create(name);
    const rtti::ClassBase* descriptor = known.descriptor;
    BinaryIO* object = descriptor ? descriptor->binary_io(created) : nullptr;
    void* typed = object ? cast_known(known, object, cast) : nullptr;
    if (!typed) {
        known.type->destroy(created);
        ::operator delete(created);
        error("object [" + std::string(name.c_str()) + "] is not of the expected class.");
    }
    // Bound before its data are read, so that references from inside them resolve to it.
    bind_object(created, id);
    m_entries[id] = Entry{Kind::object, true, false, !strong, object};
    const std::size_t order = m_object_ids.size();
    m_object_ids.push_back(id);
    ++m_depth;
    try {
        if (m_depth > max_object_depth)
            error("objects nested too deeply.");
        descriptor->load_binary(*this, created);
    } catch (...) {
        --m_depth;
        discard(id, order);
        throw;
    }
    --m_depth;
    m_entries[id].loading = false;
    return {typed, id, true, order};
}

BStream::KnownClass& BStream::known_class(StrCache name)
{
    for (KnownClass& known : m_classes) {
        if (known.name_word == name.word())
            return known;
    }
    m_classes.push_back(KnownClass{name.word(), rtti::TypeRegistry::find_type(name), class_named(name)});
    return m_classes.back();
}

// Objects of one class sit at one offset inside the class a reader expects (or are not of
// it), so the cast is worked out once per class and reader's class.
void* BStream::cast_known(KnownClass& known, BinaryIO* object, Cast cast)
{
    if (known.cast != cast) {
        void* typed = cast(object);
        known.cast = cast;
        known.cast_fails = !typed;
        known.cast_offset = typed ? static_cast<char*>(typed) - reinterpret_cast<char*>(object) : 0;
        return typed;
    }
    return known.cast_fails ? nullptr : reinterpret_cast<char*>(object) + known.cast_offset;
}

// Deletes the object of id and marks everything read inside it as lost: those objects were
// owned by it or are lost with it.
void BStream::discard(std::int32_t id, std::size_t order)
{
    BinaryIO* object = m_entries[id].object;
    for (std::size_t i = order; i < m_object_ids.size(); ++i) {
        Entry& dead = m_entries[m_object_ids[i]];
        dead.dead = true;
        dead.object = nullptr;
    }
    delete object;
}

RefCounter* BStream::read_handle_block(const ObjectRead& read, const void* owner)
{
    RefCounter* block = nullptr;
    try {
        block = read_counter_ref();
        if (!block)
            error("shared object reference id " + id_text(read.id) + " has no count block.");
        if (block->m_pointer && block->m_pointer != owner)
            error("count block shared by two objects.");
        RefCounter*& known = m_entries[read.id].handle_block;
        if (known && known != block)
            error("shared object reference id " + id_text(read.id) + " read with two count blocks.");
        known = block;
    } catch (...) {
        if (read.fresh)
            discard(read.id, read.order);
        throw;
    }
    return block;
}

void BStream::write_name(StrCache name)
{
    const void* key = reinterpret_cast<const void*>(name.word());
    if (std::int32_t id = m_name_ids.find(key); id >= 0) {
        write_u32(*this, static_cast<std::uint32_t>(id));
        return;
    }
    const std::int32_t id = bind_new(key, Entry{Kind::name});
    m_name_ids.add(key, id);
    write_u32(*this, static_cast<std::uint32_t>(id));
    write_u8(*this, name.is_unique() ? 1 : 0);
    if (!name.is_unique())
        write_binary(*this, std::string(name.c_str()));
}

// An interned string that is not one read before: a new one, or damage.
StrCache BStream::read_other_name(std::uint32_t id)
{
    if (entry(id, Kind::name))
        return StrCache::from_word(reinterpret_cast<std::uintptr_t>(find_object(static_cast<std::int32_t>(id))));
    StrCache name;
    if (read_u8(*this) != 0) {
        name = StrCache::make_unique();
    } else {
        std::string text;
        read_binary(*this, text);
        name = StrCache::get(text.c_str());
    }
    const void* key = reinterpret_cast<const void*>(name.word());
    m_name_ids.add(key, bind_new(key, Entry{Kind::name}));
    return name;
}

BStream& write_binary(BStream& stream, StrCache name)
{
    stream.write_name(name);
    return stream;
}

BStream& read_binary(BStream& stream, StrCache& name)
{
    name = stream.read_name();
    return stream;
}

BStream& write_binary(BStream& stream, const std::set<StrCache>& names)
{
    write_u32(stream, static_cast<std::uint32_t>(names.size()));
    for (StrCache name : names)
        stream.write_name(name);
    return stream;
}

BStream& read_binary(BStream& stream, std::set<StrCache>& names)
{
    names.clear();
    const std::uint32_t count = read_count(stream, 4);
    for (std::uint32_t i = 0; i < count; ++i)
        names.insert(stream.read_name());
    return stream;
}

}
