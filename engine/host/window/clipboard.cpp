#include "engine/host/window/clipboard.h"

#include <SDL.h>

#include "engine/host/window/code_page_1252.h"

namespace kq::host {

void set_clipboard_text(const std::string& text)
{
    SDL_SetClipboardText(code_page_to_utf8(text).c_str());
}

std::string get_clipboard_text()
{
    char* text = SDL_GetClipboardText();
    if (!text)
        return {};
    const std::string converted = utf8_to_code_page(text);
    SDL_free(text);
    return converted;
}

}
