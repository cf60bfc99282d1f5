#include "game/shell/app/game.h"

#include <exception>

#include "engine/base/directories.h"
#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/log.h"
#include "engine/base/tstream.h"

namespace kq {

std::string Game::save_file_path()
{
    // The application's own folder inside the user's data folder (company and product).
    const FilePath folder = get_app_dir();
    if (folder.empty())
        throw IOException("the application's data folder is not set");
    return join_path(folder, "game.cfg").str();
}

bool Game::save()
{
    if (!m_save_file) {
        get_log("game") << "Not saved: no personal folder" << t_io::endl;
        return false;
    }
    SaveData data;
    data.profiles = m_profiles;
    data.profile_name = m_profile_name;
    data.score_table = m_score_table;
    data.reserved_flag = m_reserved_flag;
    return m_save_file->save(data);
}

bool Game::load()
{
    try {
        m_save_file.emplace(save_file_path());
    } catch (const std::exception& error) {
        get_log("game") << "No save file: " << error.what() << t_io::endl;
        return false;
    }
    SaveData data;
    if (!m_save_file->load(m_chapters, data))
        return false;
    m_profile = nullptr;
    m_profiles = std::move(data.profiles);
    m_profile_name = std::move(data.profile_name);
    m_score_table = std::move(data.score_table);
    m_reserved_flag = data.reserved_flag;
    select_profile(m_profile_name);
    return true;
}

}
