#include "game/shell/progress/save_file.h"

#include <cstdio>
#include <exception>

#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/tstream.h"
#include "engine/host/system/atomic_file.h"
#include "engine/host/system/file.h"
#include "game/shell/progress/save_checks.h"

namespace kq {

namespace {

TStream& log()
{
    return get_log("game");
}

// The path with the suffix, or with a number after it when a file of that name is there.
std::string free_name(const std::string& path, const std::string& suffix)
{
    std::string name = path + suffix;
    for (int n = 1; host::file_exists(name.c_str()); ++n)
        name = path + suffix + "." + std::to_string(n);
    return name;
}

}

bool SaveFile::load(const Chapters& chapters, SaveData& out)
{
    if (!host::file_exists(m_path.c_str()))
        return false;
    std::string bytes;
    try {
        FileBuffer file(m_path, mode_read);
        bytes = read_all(file);
    } catch (const std::exception& error) {
        set_aside(".bad", error.what());
        return false;
    }
    const int version = save_data_version(bytes);
    if (version > save_file_version) {
        set_aside(".v" + std::to_string(version), "version " + std::to_string(version) + " is newer than this game's");
        return false;
    }
    SaveData read;
    try {
        if (version < 0)
            throw IOException("the file is empty.");
        read_save_data(bytes, read);
    } catch (const std::exception& error) {
        set_aside(".bad", error.what());
        return false;
    }
    correct_save_data(read, chapters);
    out = std::move(read);
    return true;
}

bool SaveFile::save(const SaveData& data)
{
    if (!m_pending_suffix.empty() && !set_aside(m_pending_suffix, "it was not set aside before")) {
        log() << "Not saved over " << m_path.c_str() << ", which must be kept" << t_io::endl;
        return false;
    }
    std::string failure;
    try {
        failure = host::write_file_atomically(m_path, write_save_data(data));
    } catch (const std::exception& error) {
        failure = error.what();
    }
    if (failure.empty())
        return true;
    log() << "Not saved: " << failure.c_str() << t_io::endl;
    return false;
}

bool SaveFile::set_aside(const std::string& suffix, const std::string& reason)
{
    const std::string aside = free_name(m_path, suffix);
    log() << "Can not use " << m_path.c_str() << " (" << reason.c_str() << ")" << t_io::endl;
    if (std::rename(m_path.c_str(), aside.c_str()) == 0) {
        log() << "Set aside as " << aside.c_str() << t_io::endl;
        m_pending_suffix.clear();
        return true;
    }
    log() << "Can not set it aside as " << aside.c_str() << ": " << host::last_error_text().c_str() << t_io::endl;
    m_pending_suffix = suffix;
    return false;
}

}
