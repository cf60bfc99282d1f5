#pragma once

#include <new>
#include <string>
#include <type_traits>

#include "engine/base/binary_io.h"
#include "engine/base/str_cache.h"
#include "engine/base/text_io.h"

namespace kq {

class FilePath;
struct RefCounter;

}

namespace kq::rtti {

/// Raises `CoreException` "<name> type can not be stored to stream" (not logged).
[[noreturn]] void refuse_store(StrCache name);
/// Raises `CoreException` "<name> type can not be loaded from stream" (not logged).
[[noreturn]] void refuse_load(StrCache name);
/// Raises `RTTIException` "[name] is abstract type" (not logged).
[[noreturn]] void refuse_abstract(StrCache name);

/// Copy construction of a T into raw memory.
template <class T>
struct PlainCopy
{
    /// A copy of source built in memory.
    static T* copy(const T& source, void* memory) { return new (memory) T(source); }
};

/// How a descriptor copies and streams values of T. A class streams through its own
/// `TextIO` and `BinaryIO` sides and refuses the forms it lacks; the fundamentals, enums and
/// the count block have specialisations of their own.
template <class T>
struct ValueForm : PlainCopy<T>
{
    /// Writes the object's own text, or refuses.
    static void store_text(TStream& stream, const T& value, StrCache name)
    {
        if constexpr (std::is_base_of_v<TextIO, T>)
            static_cast<const TextIO&>(value).write_text(stream);
        else
            refuse_store(name);
    }

    /// Writes the object's own binary form, or refuses.
    static void store_binary(BStream& stream, const T& value, StrCache name)
    {
        if constexpr (std::is_base_of_v<BinaryIO, T>)
            static_cast<const BinaryIO&>(value).store(stream);
        else
            refuse_store(name);
    }

    /// Reads the object's own text, or refuses.
    static void load_text(TStream& stream, T& value, StrCache name)
    {
        if constexpr (std::is_base_of_v<TextIO, T>)
            static_cast<TextIO&>(value).read_text(stream);
        else
            refuse_load(name);
    }

    /// Reads the object's own binary form, or refuses.
    static void load_binary(BStream& stream, T& value, StrCache name)
    {
        if constexpr (std::is_base_of_v<BinaryIO, T>)
            static_cast<BinaryIO&>(value).load(stream);
        else
            refuse_load(name);
    }
};

/// `int`: decimal text (a last letter b, h or o reads in base 2, 16 or 8), 4 bytes in binary.
template <>
struct ValueForm<int> : PlainCopy<int>
{
    static void store_text(TStream& stream, const int& value, StrCache name);
    static void store_binary(BStream& stream, const int& value, StrCache name);
    static void load_text(TStream& stream, int& value, StrCache name);
    static void load_binary(BStream& stream, int& value, StrCache name);
};

/// `float`: the text form of the text data format, 4 bytes (IEEE single) in binary.
template <>
struct ValueForm<float> : PlainCopy<float>
{
    static void store_text(TStream& stream, const float& value, StrCache name);
    static void store_binary(BStream& stream, const float& value, StrCache name);
    static void load_text(TStream& stream, float& value, StrCache name);
    static void load_binary(BStream& stream, float& value, StrCache name);
};

/// `bool`: "true" or "false", one byte (1 or 0) in binary.
template <>
struct ValueForm<bool> : PlainCopy<bool>
{
    static void store_text(TStream& stream, const bool& value, StrCache name);
    static void store_binary(BStream& stream, const bool& value, StrCache name);
    static void load_text(TStream& stream, bool& value, StrCache name);
    static void load_binary(BStream& stream, bool& value, StrCache name);
};

/// The byte string: a quoted string in text, the binary string form in binary.
template <>
struct ValueForm<std::string> : PlainCopy<std::string>
{
    static void store_text(TStream& stream, const std::string& value, StrCache name);
    static void store_binary(BStream& stream, const std::string& value, StrCache name);
    static void load_text(TStream& stream, std::string& value, StrCache name);
    static void load_binary(BStream& stream, std::string& value, StrCache name);
};

/// `FilePath`: as the byte string; read from text it is made canonical, from binary it is
/// taken as it stands.
template <>
struct ValueForm<FilePath>
{
    static FilePath* copy(const FilePath& source, void* memory);
    static void store_text(TStream& stream, const FilePath& value, StrCache name);
    static void store_binary(BStream& stream, const FilePath& value, StrCache name);
    static void load_text(TStream& stream, FilePath& value, StrCache name);
    static void load_binary(BStream& stream, FilePath& value, StrCache name);
};

/// The count block: a copy starts with no links; storing writes nothing and loading reads
/// nothing but clears the use count and the deleter.
template <>
struct ValueForm<RefCounter>
{
    static RefCounter* copy(const RefCounter& source, void* memory);
    static void store_text(TStream& stream, const RefCounter& value, StrCache name);
    static void store_binary(BStream& stream, const RefCounter& value, StrCache name);
    static void load_text(TStream& stream, RefCounter& value, StrCache name);
    static void load_binary(BStream& stream, RefCounter& value, StrCache name);
};

}
