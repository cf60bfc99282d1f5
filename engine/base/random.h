#pragma once

#include <cstdint>

namespace kq {

/// The largest value `random_next` returns.
inline constexpr int random_max = 32767;

/// Seeds the process-wide generator (the classic `srand`).
void random_seed(std::uint32_t seed);

/// Next value of the process-wide 15-bit generator, 0 to 32767 (the classic `rand`):
/// the same sequence for the same seed on every machine.
int random_next();

}
