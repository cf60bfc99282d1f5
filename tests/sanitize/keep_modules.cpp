// Linked into every program of the sanitizer build: no shared library is unloaded before the
// process ends. The GL driver, loaded with a program's first GL context and unloaded with its
// last window, frees some of its state only by being unloaded and loses more at each unload.
// LeakSanitizer's exit check would report that state, and could not even name the frames of
// a module that is gone, so no suppression could single it out; a driver that stays loaded
// keeps its state reachable through its own globals.
extern "C" int dlclose(void*)
{
    return 0;
}
