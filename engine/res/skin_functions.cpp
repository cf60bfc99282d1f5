#include "engine/res/skin_functions.h"

#include <cstdint>

#include "engine/base/random.h"
#include "engine/base/string_stream.h"
#include "engine/base/string_utils.h"
#include "engine/res/skin_path.h"

namespace kq {

std::string skin_or(const std::vector<std::string>& arguments, const SkinPath&)
{
    int result = 0;
    for (const std::string& argument : arguments) {
        StringStream stream(argument);
        result |= to_int(stream.read_token());
    }
    return std::to_string(result);
}

std::string skin_cat(const std::vector<std::string>& arguments, const SkinPath&)
{
    std::string result;
    for (const std::string& argument : arguments)
        result += argument;
    return result;
}

std::string skin_rand(const std::vector<std::string>& arguments, const SkinPath&)
{
    if (arguments.empty())
        return {};
    const std::uint64_t r = static_cast<std::uint64_t>(random_next()) & 0x7FFF;
    return arguments[(r * arguments.size()) >> 15];
}

std::string skin_repeat(const std::vector<std::string>& arguments, const SkinPath&)
{
    if (arguments.size() != 2)
        return {};
    const int count = to_int(arguments[1]);
    std::string result;
    for (int i = 0; i < count; ++i)
        result += arguments[0];
    return result;
}

std::string skin_step(const std::vector<std::string>& arguments, const SkinPath& context)
{
    if (arguments.size() != 1)
        return {};
    const long long size = static_cast<long long>(context.size());
    long long index = to_int(arguments[0]);
    if (index < 0)
        index += size;
    if (index < 0 || index >= size)
        return {};
    return context[static_cast<std::size_t>(index)].c_str();
}

}
