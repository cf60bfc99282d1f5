#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kq {

class SkinPath;

/// A skin function: the argument texts and the path of the node being evaluated give a text.
using SkinFunction = std::function<std::string(const std::vector<std::string>&, const SkinPath&)>;

/// "or": the decimal bitwise or of the integer arguments (radix letters b/h/o allowed); "0"
/// without arguments.
std::string skin_or(const std::vector<std::string>& arguments, const SkinPath& context);

/// "cat": the arguments joined in order.
std::string skin_cat(const std::vector<std::string>& arguments, const SkinPath& context);

/// "rand": one of the arguments picked by the process-wide generator; "" without arguments.
std::string skin_rand(const std::vector<std::string>& arguments, const SkinPath& context);

/// "repeat" (text, count): the text count times; "" for any other number of arguments and for
/// a count below 1.
std::string skin_repeat(const std::vector<std::string>& arguments, const SkinPath& context);

/// "step" (index): the name at that index of the node's path, counted from the end when
/// negative (-1 is the node's own name); "" for another number of arguments or an index
/// outside the path.
std::string skin_step(const std::vector<std::string>& arguments, const SkinPath& context);

}
