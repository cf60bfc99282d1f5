#include "engine/base/log.h"

#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "engine/base/file_path.h"
#include "engine/base/exception.h"
#include "engine/base/log_file.h"
#include "engine/base/tstream.h"

namespace kq {

namespace {

struct LogRegistry
{
    NullBuffer null_buffer;
    TStream null_log{null_buffer};
    std::map<std::string, std::unique_ptr<LogFile>> logs;
    std::set<std::string> failed;  // logs whose file could not be opened, reported once
    FilePath dir;
};

LogRegistry& log_registry()
{
    static LogRegistry registry;
    return registry;
}

}

TStream& get_log(const std::string& name)
{
    LogRegistry& registry = log_registry();
    if (const auto found = registry.logs.find(name); found != registry.logs.end())
        return found->second->stream();
    if (registry.dir.empty() || registry.failed.count(name))
        return registry.null_log;
    const std::string path = join_path(registry.dir, name + ".log").str();
    std::unique_ptr<LogFile> log;
    try {
        log = std::make_unique<LogFile>(path);
    } catch (const IOException& error) {
        // Writing to a log never fails, so the loss is told where it can still be seen.
        registry.failed.insert(name);
        std::fprintf(stderr, "log %s is not written: %s\n", path.c_str(), error.what());
        return registry.null_log;
    }
    return registry.logs.emplace(name, std::move(log)).first->second->stream();
}

void set_log_dir(const std::string& dir)
{
    LogRegistry& registry = log_registry();
    const FilePath folder(dir);
    if (folder.str() == registry.dir.str())
        return;
    registry.dir = folder;
    // What failed in the old folder may open in the new one.
    registry.failed.clear();
}

const std::string& get_log_dir()
{
    return log_registry().dir.str();
}

void log_error(const char* message, const char* file, int line)
{
    TStream& log = get_log("error");
    log << message << t_io::endl << t_io::tab << "File " << file << ", line " << line << "." << t_io::endl;
}

}
