#include "engine/host/system/assert.h"

#include <cstdio>
#include <cstdlib>

namespace kq::host {

void assertion_failed(const char* expression, const char* file, int line)
{
    std::fprintf(stderr, "Assertion failed: %s (%s, line %d)\n", expression, file, line);
    std::fflush(stderr);
    std::abort();
}

}
