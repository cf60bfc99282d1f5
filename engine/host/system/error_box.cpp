#include "engine/host/system/error_box.h"

#include <cstdio>

namespace kq::host {

void show_error_box(const std::string& caption, const std::string& text)
{
    std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
}

}
