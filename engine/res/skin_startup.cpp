#include "engine/res/skin_startup.h"

#include "engine/base/file_path.h"
#include "engine/base/str_cache.h"
#include "engine/res/skin.h"

namespace kq {

std::vector<SkinStartupTask>& skin_startup_tasks()
{
    static std::vector<SkinStartupTask> tasks;
    return tasks;
}

void add_skin_startup_task(SkinStartupTask task)
{
    skin_startup_tasks().push_back(std::move(task));
}

SkinStartupTask make_skin_document_task(const std::string& path)
{
    return [key = ResKey{FilePath(path).str(), 0}] {
        Skin::running().attach_document(ResHandle<SkinDocument>(key));
    };
}

SkinStartupTask make_skin_definitions_task(const std::string& name, const std::string& text)
{
    return [name, text] { Skin::running().define(StrCache(name.c_str()), text); };
}

SkinStartupTask make_skin_function_task(const std::string& name, SkinFunction function, bool constant)
{
    return [name, function = std::move(function), constant] {
        Skin::running().register_function(StrCache(name.c_str()), function, constant);
    };
}

void add_skin_document(const std::string& path)
{
    add_skin_startup_task(make_skin_document_task(path));
}

void add_skin_constant(const std::string& name, std::int64_t value)
{
    add_skin_startup_task(make_skin_definitions_task(name, std::to_string(value)));
}

}
