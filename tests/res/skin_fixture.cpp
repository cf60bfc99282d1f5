#include "skin_fixture.h"

#include <fstream>
#include <sstream>

#include <unistd.h>

#include "engine/base/log.h"
#include "engine/base/mainframe.h"
#include "engine/res/res.h"

namespace kq::test {
namespace {

std::string log_file_path()
{
    static const std::string path = [] {
        const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                             ("kq_skin_test_logs_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        set_log_dir(folder.string());
        get_log("skin");
        set_log_dir("");
        return (folder / "skin.log").string();
    }();
    // The log stays open to the end of the run; its folder goes with the last static.
    static const struct RemoveAtExit {
        ~RemoveAtExit()
        {
            std::error_code ignored;
            std::filesystem::remove_all(std::filesystem::path(path).parent_path(), ignored);
        }
    } remove_at_exit;
    return path;
}

std::string file_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}

SkinLogCapture::SkinLogCapture() : m_path(log_file_path()), m_start(file_text(m_path).size())
{
}

std::string SkinLogCapture::text() const
{
    return file_text(m_path).substr(m_start);
}

void SkinTest::start(std::vector<SkinStartupTask> tasks)
{
    if (!std::filesystem::exists(m_dir.str() + "default.root"))
        m_dir.write("default.root", "SOURCE 100 FILE \"\"\n");
    Mainframe::create();
    start_res_service();
    Res::instance()->read_root_file(m_dir.str() + "default.root");
    if (!m_started)
        m_saved_tasks.swap(skin_startup_tasks());
    skin_startup_tasks() = std::move(tasks);
    m_started = true;
    start_skin_service();
}

void SkinTest::stop()
{
    if (Skin::instance())
        stop_skin_service();
    if (Res::instance())
        stop_res_service();
    Mainframe::destroy();
}

SkinTest::~SkinTest()
{
    if (!m_started)
        return;
    stop();
    skin_startup_tasks().swap(m_saved_tasks);
}

}
