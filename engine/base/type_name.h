#pragma once

#include <string>

#include "engine/base/str_cache.h"

namespace kq {

/// The registered name of T, as a literal: specialised once per named type with
/// `KQ_TYPE_NAME`. A type without a specialisation has no name (using it does not compile).
template <class T>
struct TypeNameOf;

/// The interned registered name of T ("class kq::SkinNode", "enum kq::XSnap", "int"); the
/// same value on every call.
template <class T>
const StrCache& type_name()
{
    static const StrCache name(TypeNameOf<T>::value);
    return name;
}

class FilePath;
struct RefCounter;

}

/// Gives `Type` its registered name. Write it at global scope, after the type's declaration,
/// in the header that declares the type, so that every user sees the same name.
#define KQ_TYPE_NAME(Type, text)                                                            \
    template <>                                                                             \
    struct kq::TypeNameOf<Type>                                                             \
    {                                                                                       \
        static constexpr const char* value = text;                                          \
    }

KQ_TYPE_NAME(int, "int");
KQ_TYPE_NAME(float, "float");
KQ_TYPE_NAME(bool, "bool");
KQ_TYPE_NAME(std::string,
             "class std::basic_string<char,struct std::char_traits<char>,class std::allocator<char> >");
KQ_TYPE_NAME(kq::FilePath, "class kq::FilePath");
KQ_TYPE_NAME(kq::RefCounter, "struct kq::RefCounter");
