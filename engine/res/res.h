#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/base/service.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/single_instance.h"
#include "engine/base/str_cache.h"
#include "engine/res/res_key.h"
#include "engine/res/res_loader.h"
#include "engine/res/res_record.h"
#include "engine/res/res_request.h"
#include "engine/res/res_source.h"
#include "engine/res/res_stream.h"

namespace kq {

class TStream;

/// The resource manager service "res": where files come from (sources and search paths),
/// which loader makes each type, and the one shared record of every loaded file.
class Res : public Service, public SingleInstance<Res>
{
public:
    /// Registered files: for each type name, the keys known in advance.
    using Register = std::map<StrCache, std::set<ResKey>>;
    /// Loaded records: for each type name, the record of each key.
    using Table = std::map<StrCache, std::map<ResKey, SharedPtr<ResRecord>>>;
    /// Chooses records to drop: type name, key and record.
    using UnloadFilter = std::function<bool(StrCache, const ResKey&, const ResRecord&)>;
    /// Chooses registered files: type name and key.
    using FileFilter = std::function<bool(StrCache, const ResKey&)>;
    /// Told the fraction of preloading done; returns true to stop.
    using Progress = std::function<bool(float)>;
    /// A fallback that supplies a record for a request no loader could load; true when it did.
    using Provider = std::function<bool(const ResRequest&, SharedPtr<ResRecord>&)>;

    /// The service, with the base search path only; becomes the process's `Res` instance.
    Res();
    ~Res() override;

    /// Sets the platform "win" and reads "default.root" in the current folder.
    void initialize() override;
    /// Writes the register file back when it is managed; a file that cannot be written is
    /// logged (to "res" and "error") and the shutdown goes on.
    void shutdown() override;

    /// Reads a resource registry file (sources, search paths, language, register file);
    /// a missing file gives one source over its folder; the same path again does nothing.
    void read_root_file(const std::string& path);
    /// Reads the files known in advance; a missing file is empty; a damaged one (an entry that
    /// is no path and integer included) is logged and set aside as "<path>.damaged"; the same
    /// path again does nothing.
    void read_register_file(const std::string& path);
    /// Adds a source, after those of lower or equal priority.
    void add_source(int priority, const SharedPtr<ResSource>& source);
    /// Adds a loader for a type, asked after those already there.
    void add_loader(StrCache type, const SharedPtr<ResLoader>& loader);
    /// Appends a folder to the search paths, as a PATH statement does.
    void add_search_path(const std::string& path);
    /// Makes the folder the first search path until the matching `pop_path`.
    void push_path(const std::string& path);
    /// Undoes the last `push_path`; an empty stack is logged and ignored.
    void pop_path();

    /// The file found first: sources by priority, each over the search paths in order.
    ResStream open_file(const std::string& name);
    /// The same search with each source's create.
    ResStream create_file(const std::string& name);

    /// The shared record of the request, loaded once; an empty type or path gives an empty
    /// result. With update_request the caller's request becomes the one the loader used.
    /// Throws `ResException` when nothing can load it.
    SharedPtr<ResRecord> load(ResRequest& request, bool update_request = false);
    /// One use of the record less; drops it when unused and its loader does not keep it.
    void release_use(ResRecord& record);
    /// Drops every record the filter accepts; returns how many.
    int unload(const UnloadFilter& filter);
    /// Stores a loaded resource back through its loader.
    void flush(const SharedPtr<ResRecord>& record);
    /// Loads the registered files the filter accepts that are not loaded yet.
    void preload(const FileFilter& filter, const Progress& progress);
    /// Whether a registered file that the filter accepts is not loaded.
    bool has_unloaded(const FileFilter& filter) const;
    /// Makes an object built in code the resource of the request, replacing an older one.
    void add_resource(const ResRequest& request, const SharedPtr<Resource>& resource);
    /// Puts a fallback provider on top of the stack (an empty one hides those below).
    void push_provider(Provider provider);
    /// Takes the top provider away; an empty stack is left alone.
    void pop_provider();

    /// The platform name ("win" once initialised).
    const std::string& platform() const { return m_platform; }
    /// The language of localized files ("def" until a LANGUAGE statement).
    const std::string& language() const { return m_language; }
    /// The variant parts of localized files: the platform, then the language.
    const std::vector<std::string>& variants() const { return m_variants; }
    /// The sources by ascending priority.
    const std::multimap<int, SharedPtr<ResSource>>& sources() const { return m_sources; }
    /// The search paths in search order.
    const std::list<std::string>& search_paths() const { return m_search_paths; }
    /// The files known in advance.
    const Register& registered() const { return m_registered; }
    /// Whether the register file is rewritten at shutdown.
    bool is_managed() const { return m_manage; }
    /// The loaded records.
    const Table& table() const { return m_table; }

    /// Sets the platform name and rebuilds the variants.
    void set_platform(const std::string& platform);
    /// Sets the language and rebuilds the variants.
    void set_language(const std::string& language);

private:
    using SourceOperation = ResStream (ResSource::*)(const std::string&);

    ResStream search_sources(const std::string& name, SourceOperation operation);
    void read_root_statements(TStream& stream, const std::string& root_dir);
    void read_source_statement(TStream& stream, const std::string& root_dir, std::uint32_t line);
    void read_language_statement(TStream& stream, std::uint32_t line);
    void write_register_file() const;
    int read_register_entries(const std::string& path);
    void set_aside_register_file(const std::string& reason);
    void rebuild_variants();
    SharedPtr<ResRecord> load_by_loaders(ResRequest& request, bool update_request);
    std::string searched_places() const;
    void resolve(const ResRequest& request, Resource& resource);
    bool is_loaded(StrCache type, const ResKey& key) const;

    std::string m_platform;
    std::string m_language = "def";
    std::vector<std::string> m_variants;
    std::string m_root_file;
    bool m_root_found = false;
    std::string m_register_file;
    Register m_registered;
    bool m_manage = false;
    std::multimap<StrCache, SharedPtr<ResLoader>> m_loaders;
    std::multimap<int, SharedPtr<ResSource>> m_sources;
    std::list<std::string> m_search_paths;
    std::list<std::string>::iterator m_base_path;
    std::vector<std::string> m_path_stack;
    Table m_table;
    std::vector<ResRequest> m_loading_chain;
    std::vector<Provider> m_providers;
    Slot m_instance_slot{this};  ///< last: cleared before the other members die
};

/// Starts the "res" service under the Mainframe; fails when there is no Mainframe.
void start_res_service();
/// Stops and releases the "res" service.
void stop_res_service();

}
