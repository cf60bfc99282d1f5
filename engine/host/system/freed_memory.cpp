#include "engine/host/system/freed_memory.h"

#include <malloc.h>

namespace kq::host {

void give_back_freed_memory()
{
    malloc_trim(0);
}

}
