#pragma once

namespace kq::host {

/// Reports a broken invariant with its source place on standard error, then ends the process.
[[noreturn]] void assertion_failed(const char* expression, const char* file, int line);

}

/// Checks an invariant that only a programming error can break (never bad input, which gets an
/// error naming it). On in every build: a broken invariant ends the process at once, naming
/// the condition and the source place, instead of running on with corrupt state.
#define KQ_ASSERT(condition) \
    ((condition) ? static_cast<void>(0) : ::kq::host::assertion_failed(#condition, __FILE__, __LINE__))
