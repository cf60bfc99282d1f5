#include "engine/res/skin_environment.h"

#include "engine/base/exception.h"

namespace kq {

namespace {

SkinEnvironment* g_environment = nullptr;

}

SkinEnvironment* skin_environment()
{
    return g_environment;
}

void set_skin_environment(SkinEnvironment* environment)
{
    g_environment = environment;
}

SkinEnvironment& require_skin_environment()
{
    if (!g_environment)
        KQ_THROW(ServiceException, skin_service_name, "skin service not started.");
    return *g_environment;
}

}
