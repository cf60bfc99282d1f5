#include "vimo_process.h"

#include <csignal>
#include <fstream>
#include <iterator>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kq::test {

namespace {

// This process's environment with the user data folder replaced.
std::vector<std::string> environment_with(const fs::path& data_home)
{
    const std::string name = "XDG_DATA_HOME=";
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable)
        if (std::string(*variable).rfind(name, 0) != 0)
            variables.emplace_back(*variable);
    variables.push_back(name + data_home.string());
    return variables;
}

}

std::string read_text(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

VimoProcess::VimoProcess(const fs::path& program, const fs::path& data_home, const fs::path& error_file)
{
    std::vector<std::string> variables = environment_with(data_home);
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string path = program.string();
    char* argv[] = {path.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, error_file.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (posix_spawn(&m_pid, path.c_str(), &actions, nullptr, argv, envp.data()) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
}

VimoProcess::~VimoProcess()
{
    if (m_pid > 0 && !m_status) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

void VimoProcess::signal(int number) const
{
    if (m_pid > 0)
        ::kill(m_pid, number);
}

std::optional<int> VimoProcess::exit_code()
{
    eventually([this] { return ended(); });
    if (!m_status || !WIFEXITED(*m_status))
        return std::nullopt;
    return WEXITSTATUS(*m_status);
}

bool VimoProcess::ended()
{
    int status = 0;
    if (m_pid > 0 && !m_status && ::waitpid(m_pid, &status, WNOHANG) == m_pid)
        m_status = status;
    return m_status.has_value();
}

VimoTest::VimoTest()
    : scratch(fs::temp_directory_path() / ("kq_vimo_test_" + std::to_string(::getpid())))
{
    fs::remove_all(scratch);
    fs::create_directories(data_home);
}

VimoTest::~VimoTest()
{
    fs::remove_all(scratch);
}

VimoProcess VimoTest::start(const fs::path& program, const std::string& error_name) const
{
    return VimoProcess(program, data_home, scratch / error_name);
}

std::string VimoTest::error_text(const std::string& error_name) const
{
    return read_text(scratch / error_name);
}

std::string VimoTest::log(const std::string& name) const
{
    return read_text(app_dir / (name + ".log"));
}

fs::path VimoTest::built_program()
{
    return fs::path(KQ_BIN_DIR) / "vimo";
}

}
