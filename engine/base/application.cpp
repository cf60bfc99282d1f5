#include "engine/base/application.h"

#include <ctime>

#include "engine/base/directories.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/mainframe.h"
#include "engine/base/random.h"
#include "engine/base/service.h"
#include "engine/base/tstream.h"
#include "engine/host/system/activation_socket.h"
#include "engine/host/system/atomic_file.h"
#include "engine/host/system/directories.h"
#include "engine/host/system/error_box.h"
#include "engine/host/system/instance_lock.h"
#include "engine/host/system/quit_queue.h"

namespace kq {

namespace {

constexpr std::int64_t watch_period_ms = 20;

TStream& application_log()
{
    return get_log("application");
}

Mainframe::TaskId task_id(const Application* application)
{
    return reinterpret_cast<Mainframe::TaskId>(application);
}

}

Application::Application(std::string company, std::string name, std::string version)
    : m_company(std::move(company)), m_name(std::move(name)), m_version(std::move(version))
{
}

Application::~Application() = default;

int Application::run()
{
    std::string app_dir;
    try {
        m_personal_dir = get_personal_dir();
        // Joined as text: the host's folder names keep their case.
        app_dir = m_personal_dir.str() + m_company + "/" + m_name + "/";
        set_app_dir(FilePath(app_dir));
        create_directories(FilePath(app_dir));
        // The logs live with the user's other files of the game.
        set_log_dir(app_dir);
    } catch (const std::exception& error) {
        on_error(error.what());
        return m_exit_code;
    }
    host::watch_quit_signals();
    run_single_instance(app_dir);
    return m_exit_code;
}

void Application::run_single_instance(const std::string& app_dir)
{
    // Every relative data path rests on this.
    host::set_current_dir(get_module_path().directory());
    const std::string lock_path = app_dir + "locker.tmp";
    const std::string activation_path = app_dir + "activation.sock";
    host::InstanceLock lock(lock_path);
    if (lock.held()) {
        // Files of the personal folder that a killed run was replacing (the save file).
        host::remove_stale_temporaries(app_dir);
        m_activation_socket = std::make_unique<host::ActivationSocket>(activation_path);
        // The game runs on; only a later instance cannot ask it to come forward.
        if (!m_activation_socket->listening())
            application_log() << "Activation socket " << activation_path.c_str() << " not opened: "
                              << m_activation_socket->failure().c_str() << t_io::endl;
        execute();
        m_activation_socket.reset();
    } else if (lock.held_elsewhere()) {
        host::ActivationSocket::request(activation_path, host::InstanceLock::read_holder(lock_path));
    } else {
        // Not another instance: the folder refuses the file, and nothing could run.
        on_error(IOException(lock_path, "can not be opened: " + lock.failure() + "; the personal folder " + app_dir +
                                            " must be writable")
                     .what());
    }
}

void Application::execute()
{
    try {
        if (start_unless_quit()) {
            application_log() << "Started done." << t_io::endl << t_io::endl;
            application_log() << "Running..." << t_io::endl;
            Mainframe::run();
            application_log() << "Completed done." << t_io::endl << t_io::endl;
        } else {
            application_log() << "Start interrupted by a quit request." << t_io::endl << t_io::endl;
        }
        application_log() << "Shuting down..." << t_io::endl;
        shutdown();
        application_log() << "Shutdown done." << t_io::endl;
    } catch (const std::exception& error) {
        on_error(error.what());
    } catch (...) {
        on_error("Unknown error");
    }
}

bool Application::start_unless_quit()
{
    try {
        start();
        return true;
    } catch (const StartInterrupted&) {
        return false;
    }
}

void Application::start()
{
    TStream& log = application_log();
    log << "Starting " << m_name.c_str() << "..." << t_io::endl;
    log << "Version " << m_version.c_str() << t_io::endl;
    log << "Personal dir " << m_personal_dir.str() << t_io::endl;
    const auto seed = static_cast<std::uint32_t>(std::time(nullptr));
    log << "Random seed is " << seed << t_io::endl;
    random_seed(seed);
    Mainframe::create();
    Mainframe::add_task([this] { watch_host(); }, task_id(this), watch_period_ms, Mainframe::periodic);
}

void Application::shutdown()
{
    if (!Mainframe::instance())
        return;
    Mainframe::remove_task(task_id(this));
    Mainframe::destroy();
}

void Application::watch_host()
{
    while (host::take_quit())
        on_system_event(event_quit);
    if (m_activation_socket && m_activation_socket->take_requests()) {
        application_log() << "Activation requested by another instance" << t_io::endl;
        // The window service brings its window forward.
        m_on_activation_request.emit_void();
    }
}

void Application::on_system_event(int code)
{
    switch (code) {
    case event_quit:
        Mainframe::quit();
        break;
    case event_activated:
        m_on_activation.emit(true);
        break;
    case event_deactivated:
        m_on_activation.emit(false);
        break;
    default:
        break;
    }
}

void Application::on_error(const std::string& text)
{
    get_log("error") << text.c_str() << t_io::endl;
    application_log() << "Failed! Problem: " << text.c_str() << t_io::endl;
    m_exit_code = 1;
    if (Mainframe::instance()) {
        try {
            Mainframe::unregister_all();
            Mainframe::destroy();
            application_log() << "Emergency shutdown completed." << t_io::endl;
        } catch (...) {
            // The destructor shuts the remaining services down, swallowing their failures.
            Mainframe::destroy();
            application_log() << "Emergency shutdown failed." << t_io::endl;
        }
    }
    host::show_error_box("KQ debug message", "Application error: " + text + "\n" + "Please contact support.");
}

}
