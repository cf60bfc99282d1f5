#include "engine/res/res.h"

#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/host/system/directories.h"

namespace kq {
namespace {

// A search-path entry and a name joined into one relative or absolute name.
std::string search_name(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

}

Res::Res() : Service("res")
{
    m_base_path = m_search_paths.insert(m_search_paths.end(), std::string());
    rebuild_variants();
}

Res::~Res() = default;

void Res::initialize()
{
    set_platform("win");
    read_root_file(host::get_current_dir() + "default.root");
}

void Res::shutdown()
{
    if (m_manage)
        write_register_file();
}

void Res::set_platform(const std::string& platform)
{
    if (platform == m_platform)
        return;
    m_platform = platform;
    rebuild_variants();
}

void Res::set_language(const std::string& language)
{
    m_language = language;
    rebuild_variants();
}

void Res::rebuild_variants()
{
    m_variants.clear();
    for (const std::string* part : {&m_platform, &m_language}) {
        if (!part->empty())
            m_variants.push_back(*part);
    }
}

void Res::add_source(int priority, const SharedPtr<ResSource>& source)
{
    m_sources.emplace(priority, source);
}

void Res::add_loader(StrCache type, const SharedPtr<ResLoader>& loader)
{
    m_loaders.emplace(type, loader);
}

void Res::add_search_path(const std::string& path)
{
    m_search_paths.push_back(path);
}

void Res::push_path(const std::string& path)
{
    if (m_path_stack.empty())
        m_search_paths.push_front(path);
    else
        m_search_paths.front() = path;
    m_path_stack.push_back(path);
}

void Res::pop_path()
{
    if (m_path_stack.empty()) {
        log_error("Resource paths stack underflow.", source_file_name(__FILE__), __LINE__);
        return;
    }
    m_path_stack.pop_back();
    if (m_path_stack.empty())
        m_search_paths.pop_front();
    else
        m_search_paths.front() = m_path_stack.back();
}

ResStream Res::open_file(const std::string& name)
{
    return search_sources(name, &ResSource::open);
}

ResStream Res::create_file(const std::string& name)
{
    return search_sources(name, &ResSource::create);
}

ResStream Res::search_sources(const std::string& name, SourceOperation operation)
{
    for (const auto& [priority, source] : m_sources) {
        for (const std::string& folder : m_search_paths) {
            if (ResStream found = (source.get()->*operation)(search_name(folder, name))) {
                found.m_source = source;
                return found;
            }
        }
    }
    return {};
}

// Where a file that no source had was looked for, and what said so: the folders come from the
// registry file, and a wrong or missing one is the likely reason.
std::string Res::searched_places() const
{
    std::string places;
    for (const auto& [priority, source] : m_sources) {
        for (const std::string& folder : m_search_paths) {
            const std::string inner = search_name(folder, "");
            const std::string place = inner.starts_with('/') ? inner : search_name(source->place(), inner);
            if (places.find(" " + place + ",") == std::string::npos)
                places += " " + place + ",";
        }
    }
    if (!places.empty())
        places.pop_back();
    std::string text = "Searched" + places;
    if (m_root_file.empty())
        return text + ".";
    if (!m_root_found)
        return text + "; no resource registry file " + m_root_file + ".";
    return text + " as " + m_root_file + " says.";
}

void start_res_service()
{
    require_mainframe("res");
    start_service(new Res);
}

void stop_res_service()
{
    stop_service(Res::instance());
}

}
