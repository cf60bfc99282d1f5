#include <SDL.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // One GL context lives for the whole run, so that the graphics driver stays loaded between
    // tests: what it keeps to the end is then still reachable at exit, not reported as a leak.
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    SDL_GL_CreateContext(SDL_CreateWindow("driver", 0, 0, 8, 8, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
