// Loading, resolving, dropping, storing and preloading resources.
#include <algorithm>

#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/string_stream.h"
#include "engine/base/tstream.h"
#include "engine/res/res.h"
#include "engine/res/res_exception.h"

namespace kq {
namespace {

// Undoes a step when the scope ends, also when a loader or a resolve throws, so that a
// failed load leaves no indentation, chain entry, search path or provider behind.
template <class Undo>
class ScopeExit
{
public:
    explicit ScopeExit(Undo undo) : m_undo(std::move(undo)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { m_undo(); }

private:
    Undo m_undo;
};

std::string directory_of(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

const char* failure_reason(bool has_sources, bool has_loaders)
{
    if (!has_sources)
        return "no resource source found.";
    if (!has_loaders)
        return "suitable loader not found.";
    return "any loader cannot open file. Possible file absent or file type is incorrect.";
}

}

bool Res::is_loaded(StrCache type, const ResKey& key) const
{
    auto records = m_table.find(type);
    return records != m_table.end() && records->second.count(key) != 0;
}

SharedPtr<ResRecord> Res::load(ResRequest& request, bool update_request)
{
    if (request.m_type.empty() || request.m_key.m_path.empty())
        return {};
    if (auto records = m_table.find(request.m_type); records != m_table.end()) {
        if (auto found = records->second.find(request.m_key); found != records->second.end())
            return found->second;
    }
    const auto [first, last] = m_loaders.equal_range(request.m_type);
    const char* reason = failure_reason(!m_sources.empty(), first != last);
    TStream& out = log();
    {
        // Nested loads write their lines one level deeper.
        out << "Loading " << request << "..." << t_io::endl << t_io::push_tab;
        ScopeExit unindent([&out] { out << t_io::pop_tab; });
        if (SharedPtr<ResRecord> record = load_by_loaders(request, update_request))
            return record;
        SharedPtr<ResRecord> provided;
        if (!m_providers.empty() && m_providers.back() && m_providers.back()(request, provided))
            return provided;
    }
    out << "fail. " << reason << t_io::endl;
    StringStream message;
    message << "unable to load." << t_io::endl << "Reason: " << reason;
    if (!m_sources.empty() && !open_file(request.m_key.m_path))
        message << t_io::endl << searched_places().c_str();
    throw ResException(message.str(), request);
}

SharedPtr<ResRecord> Res::load_by_loaders(ResRequest& request, bool update_request)
{
    if (m_sources.empty())
        return {};
    const auto [first, last] = m_loaders.equal_range(request.m_type);
    for (auto loader = first; loader != last; ++loader) {
        ResRequest used = request;
        SharedPtr<ResRecord> record = loader->second->load(used);
        if (!record)
            continue;
        if (record->resource())
            resolve(used, *record->resource());
        m_table[used.m_type][used.m_key] = record;
        if (update_request)
            request = used;
        if (m_manage && m_loading_chain.empty())
            m_registered[used.m_type].insert(used.m_key);
        return record;
    }
    return {};
}

void Res::resolve(const ResRequest& request, Resource& resource)
{
    auto repeated = std::find(m_loading_chain.begin(), m_loading_chain.end(), request);
    if (repeated != m_loading_chain.end()) {
        StringStream text;
        text << "circular resource dependency. Chain is:" << t_io::endl;
        for (auto entry = repeated; entry != m_loading_chain.end(); ++entry) {
            text << entry->m_type.c_str() << " " << entry->m_key.m_path.c_str() << " "
                          << entry->m_key.m_flags << t_io::endl;
        }
        ResException error(text.str(), request);
        throw_logged(error, source_file_name(__FILE__), __LINE__);
    }
    m_loading_chain.push_back(request);
    ScopeExit leave_chain([this] { m_loading_chain.pop_back(); });
    push_path(directory_of(request.m_key.m_path));
    ScopeExit leave_folder([this] { pop_path(); });
    resource.resolve();
}

void Res::release_use(ResRecord& record)
{
    if (record.remove_use() > 0)
        return;
    ResLoader* loader = record.loader();
    if (loader && !loader->keep_when_unused())
        unload([&record](StrCache, const ResKey&, const ResRecord& candidate) { return &candidate == &record; });
}

int Res::unload(const UnloadFilter& filter)
{
    // Dropped records die only after the walk: a dying resource may release handles of
    // other resources, and so unload again.
    std::vector<SharedPtr<ResRecord>> dropped;
    TStream& out = log();
    for (auto type = m_table.begin(); type != m_table.end();) {
        auto& records = type->second;
        for (auto entry = records.begin(); entry != records.end();) {
            if (!filter(type->first, entry->first, *entry->second)) {
                ++entry;
                continue;
            }
            out << "Resource " << entry->first.m_path.c_str() << " " << entry->first.m_flags
                << " dropped." << t_io::endl;
            dropped.push_back(std::move(entry->second));
            entry = records.erase(entry);
        }
        type = records.empty() ? m_table.erase(type) : std::next(type);
    }
    out << "Unload complete. Dropped " << static_cast<int>(dropped.size()) << " files." << t_io::endl;
    return static_cast<int>(dropped.size());
}

void Res::flush(const SharedPtr<ResRecord>& record)
{
    if (!record || !record->loader())
        KQ_THROW(ResException, "unable to flush resource. ResRecord not initialized or data root has changed.");
    for (const auto& [type, records] : m_table) {
        for (const auto& [key, held] : records) {
            if (held.get() != record.get())
                continue;
            if (!record->loader()->store(ResRequest{type, key}, *record))
                KQ_THROW(ResException, "unable to flush resource. Loader can not store.");
            return;
        }
    }
    KQ_THROW(ResException, "unable to flush resource. ResRecord not in manager.");
}

void Res::preload(const FileFilter& filter, const Progress& progress)
{
    push_provider(Provider());
    ScopeExit pop([this] { pop_provider(); });
    std::vector<ResRequest> pending;
    for (const auto& [type, keys] : m_registered) {
        for (const ResKey& key : keys) {
            if (filter(type, key) && !is_loaded(type, key))
                pending.push_back(ResRequest{type, key});
        }
    }
    const int total = static_cast<int>(pending.size());
    int done = 0;
    for (ResRequest& request : pending) {
        if (is_loaded(request.m_type, request.m_key))
            continue;
        load(request, false);
        ++done;
        const float fraction = total == 0 ? 1.0f : static_cast<float>(done) / static_cast<float>(total);
        if (progress && progress(fraction))
            break;
    }
    log() << "Files preloaded: " << done << " of " << total << t_io::endl;
}

bool Res::has_unloaded(const FileFilter& filter) const
{
    for (const auto& [type, keys] : m_registered) {
        for (const ResKey& key : keys) {
            if (filter(type, key) && !is_loaded(type, key))
                return true;
        }
    }
    return false;
}

void Res::add_resource(const ResRequest& request, const SharedPtr<Resource>& resource)
{
    m_table[request.m_type][request.m_key] = SharedPtr<ResRecord>(new ResRecord(resource, 0, nullptr, nullptr));
}

void Res::push_provider(Provider provider)
{
    m_providers.push_back(std::move(provider));
}

void Res::pop_provider()
{
    if (!m_providers.empty())
        m_providers.pop_back();
}

}
