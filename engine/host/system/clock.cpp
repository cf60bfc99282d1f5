#include "engine/host/system/clock.h"

#include <chrono>

namespace kq::host {

std::int64_t monotonic_ms()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}
