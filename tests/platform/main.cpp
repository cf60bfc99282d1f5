#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/base/base_types.h"
#include "engine/platform/platform_types.h"
#include "engine/res/res_types.h"

int main(int argc, char** argv)
{
    // Each library's types, lowest library first.
    kq::register_base_types();
    kq::register_res_types();
    kq::register_platform_types();
    // One GL context lives for the whole run, so that the graphics driver stays loaded between
    // tests: what it keeps to the end is then still reachable at exit, not reported as a leak.
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    SDL_GL_CreateContext(SDL_CreateWindow("driver", 0, 0, 8, 8, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
