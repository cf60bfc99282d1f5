#include "engine/base/value_form.h"

#include <bit>
#include <string>

#include "engine/base/bstream.h"
#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/ref_counter.h"
#include "engine/base/string_utils.h"
#include "engine/base/tstream.h"

namespace kq::rtti {

// Refusals are an expected answer for classes without a stream form, so they are not logged.
void refuse_store(StrCache name)
{
    throw CoreException(std::string(name.c_str()) + " type can not be stored to stream");
}

void refuse_load(StrCache name)
{
    throw CoreException(std::string(name.c_str()) + " type can not be loaded from stream");
}

void refuse_abstract(StrCache name)
{
    throw RTTIException(name.c_str(), "is abstract type");
}

void ValueForm<int>::store_text(TStream& stream, const int& value, StrCache)
{
    stream << value;
}

void ValueForm<int>::store_binary(BStream& stream, const int& value, StrCache)
{
    write_u32(stream, static_cast<std::uint32_t>(value));
}

void ValueForm<int>::load_text(TStream& stream, int& value, StrCache)
{
    value = to_int(stream.read_token());
}

void ValueForm<int>::load_binary(BStream& stream, int& value, StrCache)
{
    value = static_cast<int>(read_u32(stream));
}

void ValueForm<float>::store_text(TStream& stream, const float& value, StrCache)
{
    stream << value;
}

void ValueForm<float>::store_binary(BStream& stream, const float& value, StrCache)
{
    write_u32(stream, std::bit_cast<std::uint32_t>(value));
}

void ValueForm<float>::load_text(TStream& stream, float& value, StrCache)
{
    stream >> value;
}

void ValueForm<float>::load_binary(BStream& stream, float& value, StrCache)
{
    value = std::bit_cast<float>(read_u32(stream));
}

void ValueForm<bool>::store_text(TStream& stream, const bool& value, StrCache)
{
    stream << value;
}

void ValueForm<bool>::store_binary(BStream& stream, const bool& value, StrCache)
{
    write_u8(stream, value ? 1 : 0);
}

void ValueForm<bool>::load_text(TStream& stream, bool& value, StrCache)
{
    stream >> value;
}

void ValueForm<bool>::load_binary(BStream& stream, bool& value, StrCache)
{
    value = read_u8(stream) != 0;
}

void ValueForm<std::string>::store_text(TStream& stream, const std::string& value, StrCache)
{
    stream << value;
}

void ValueForm<std::string>::store_binary(BStream& stream, const std::string& value, StrCache)
{
    write_binary(stream, value);
}

void ValueForm<std::string>::load_text(TStream& stream, std::string& value, StrCache)
{
    stream.take_token(value);
}

void ValueForm<std::string>::load_binary(BStream& stream, std::string& value, StrCache)
{
    read_binary(stream, value);
}

FilePath* ValueForm<FilePath>::copy(const FilePath& source, void* memory)
{
    return new (memory) FilePath(source);
}

void ValueForm<FilePath>::store_text(TStream& stream, const FilePath& value, StrCache)
{
    stream << value;
}

void ValueForm<FilePath>::store_binary(BStream& stream, const FilePath& value, StrCache)
{
    write_binary(stream, value);
}

void ValueForm<FilePath>::load_text(TStream& stream, FilePath& value, StrCache)
{
    stream >> value;
}

void ValueForm<FilePath>::load_binary(BStream& stream, FilePath& value, StrCache)
{
    read_binary(stream, value);
}

RefCounter* ValueForm<RefCounter>::copy(const RefCounter& source, void* memory)
{
    auto* copy = new (memory) RefCounter(source);
    copy->m_block_count = 0;
    return copy;
}

void ValueForm<RefCounter>::store_text(TStream&, const RefCounter&, StrCache) {}

void ValueForm<RefCounter>::store_binary(BStream&, const RefCounter&, StrCache) {}

void ValueForm<RefCounter>::load_text(TStream&, RefCounter& value, StrCache)
{
    value.m_use_count = 0;
    value.m_deleter = nullptr;
}

void ValueForm<RefCounter>::load_binary(BStream&, RefCounter& value, StrCache)
{
    value.m_use_count = 0;
    value.m_deleter = nullptr;
}

}
