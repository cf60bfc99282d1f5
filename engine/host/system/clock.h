#pragma once

#include <cstdint>

namespace kq::host {

/// Milliseconds of a monotonic clock; only differences are meaningful.
std::int64_t monotonic_ms();

}
