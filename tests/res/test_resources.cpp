#include "test_resources.h"

#include <fstream>
#include <sstream>

#include <unistd.h>

#include "engine/base/log.h"
#include "engine/base/tstream.h"
#include "engine/res/res_exception.h"

namespace kq::test {

void TextResource::resolve()
{
    std::istringstream words(m_text);
    std::string word;
    while (words >> word) {
        if (word == "fail")
            throw ResException("resolve failed");
        if (word == "uses" && words >> word) {
            m_uses.emplace_back(ResKey{word, 0});
            m_uses.back().get();
        }
    }
}

bool has_temporary_file(const std::filesystem::path& folder)
{
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".tmp")
            return true;
    return false;
}

std::filesystem::path fixture_dir()
{
    return std::filesystem::path(KQ_FIXTURES_DIR) / "res";
}

TempDir::TempDir()
{
    static int count = 0;
    m_path = std::filesystem::temp_directory_path() /
             ("kq_res_test_" + std::to_string(::getpid()) + "_" + std::to_string(++count));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& content) const
{
    const std::filesystem::path path = m_path / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

LogCapture::LogCapture()
{
    static const std::filesystem::path folder = [] {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("kq_res_test_logs_" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        set_log_dir(path.string());
        get_log("res");
        set_log_dir("");
        return path;
    }();
    // The log stays open to the end of the run; its folder goes with the last static.
    static const struct RemoveAtExit {
        ~RemoveAtExit()
        {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    } remove_at_exit;
    m_path = (folder / "res.log").string();
    m_start = static_cast<std::size_t>(get_log("res").tell());
}

std::string LogCapture::text() const
{
    std::ifstream file(m_path, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // Lines that stepped back leave blanks after the write position until overwritten.
    const auto end = static_cast<std::size_t>(get_log("res").tell());
    return all.substr(0, std::min(end, all.size())).substr(std::min(m_start, all.size()));
}

}
