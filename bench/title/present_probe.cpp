// Loaded with LD_PRELOAD into a program that presents through SDL_GL_SwapWindow: counts its
// presents and notes when the first one came. Every quarter second (and at the first present)
// it rewrites the file named by KQ_PROBE_FILE with one line:
//   <presents> <ms since KQ_PROBE_START> <ms of the first present since KQ_PROBE_START>
// KQ_PROBE_START is the launch time in ns of CLOCK_REALTIME, as `date +%s%N` prints it.
#include <SDL.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using SwapWindow = void (*)(SDL_Window*);

std::int64_t realtime_ns()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Probe
{
    SwapWindow next = reinterpret_cast<SwapWindow>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    const char* file = std::getenv("KQ_PROBE_FILE");
    std::int64_t start = std::getenv("KQ_PROBE_START") ? std::atoll(std::getenv("KQ_PROBE_START")) : realtime_ns();
    std::int64_t presents = 0;
    std::int64_t first_ms = -1;
    std::int64_t written = 0;

    void count()
    {
        ++presents;
        const std::int64_t now = realtime_ns();
        if (first_ms < 0)
            first_ms = (now - start) / 1000000;
        if (!file || (presents > 1 && now - written < 250000000))
            return;
        written = now;
        if (std::FILE* out = std::fopen(file, "w")) {
            std::fprintf(out, "%lld %lld %lld\n", static_cast<long long>(presents),
                         static_cast<long long>((now - start) / 1000000), static_cast<long long>(first_ms));
            std::fclose(out);
        }
    }
};

Probe& probe()
{
    static Probe instance;
    return instance;
}

}

extern "C" void SDL_GL_SwapWindow(SDL_Window* window)
{
    Probe& p = probe();
    p.next(window);
    p.count();
}
