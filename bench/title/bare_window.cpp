// The reference of bench/title_run: a bare SDL2 program with an OpenGL 2.1 context in a
// 1024x768 window that clears and presents at most 60 frames a second (the display's pace
// where the driver waits for it), until it is asked to quit.
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdint>

int main(int, char**)
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return 1;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("bare", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 1024, 768,
                                          SDL_WINDOW_OPENGL);
    if (!window)
        return 1;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context)
        return 1;
    SDL_GL_SetSwapInterval(1);
    const std::uint64_t frequency = SDL_GetPerformanceFrequency();
    const std::uint64_t period = frequency / 60;
    std::uint64_t due = SDL_GetPerformanceCounter();
    for (bool running = true; running;) {
        for (SDL_Event event; SDL_PollEvent(&event);)
            running = running && event.type != SDL_QUIT;
        glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
        due += period;
        const std::uint64_t now = SDL_GetPerformanceCounter();
        if (now < due)
            SDL_Delay(std::uint32_t((due - now) * 1000 / frequency));
        else
            due = now;
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
