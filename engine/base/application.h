#pragma once

#include <memory>
#include <string>

#include "engine/base/file_path.h"
#include "engine/base/single_instance.h"
#include "engine/base/socket.h"

namespace kq {

namespace host {
class ActivationSocket;
}

/// The frame of the process: finds the user's data folder, lets one instance run per user,
/// starts the system, runs the Mainframe until asked to quit, shuts down, and turns every
/// error into an orderly emergency shutdown. A product derives from it; one exists at a time.
class Application : public SingleInstance<Application>
{
public:
    /// System event codes of `on_system_event`.
    static constexpr int event_quit = 1;
    static constexpr int event_activated = 2;
    static constexpr int event_deactivated = 3;

    /// The application of this company, product name and version; it becomes the instance.
    Application(std::string company, std::string name, std::string version);
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    /// Sets up the data folder ("<company>/<name>/" in the user's data folder) and, unless
    /// another instance runs (then it is asked to come forward), executes. Returns the exit
    /// code: 0, or 1 after an error.
    int run();
    /// Starts, runs the Mainframe until it has no work, shuts down; any error goes to
    /// `on_error` instead of out. A quit asked for during the start ends it at its next
    /// service, and the services started so far are shut down in order.
    void execute();

    /// Logs the start, seeds the random generator, creates the Mainframe and the quit watcher.
    /// A product calls it first, then starts its services.
    virtual void start();
    /// Removes the quit watcher and destroys the Mainframe. A product stops its services in
    /// reverse order first.
    virtual void shutdown();
    /// Quit requests (1) end the Mainframe; activation (2) and deactivation (3) are emitted.
    virtual void on_system_event(int code);
    /// Logs the error, sets exit code 1, shuts every service down and shows the error box.
    virtual void on_error(const std::string& text);

    /// Emitted with true when the application is activated, false when deactivated.
    Socket<void(bool)>& on_activation() { return m_on_activation; }
    /// Emitted when another instance of the game asks this one to come forward.
    Socket<void()>& on_activation_request() { return m_on_activation_request; }
    /// The company name.
    const std::string& company() const { return m_company; }
    /// The product name.
    const std::string& name() const { return m_name; }
    /// The version text.
    const std::string& version() const { return m_version; }
    /// 0, or 1 once an error was handled.
    int exit_code() const { return m_exit_code; }

private:
    void run_single_instance(const std::string& app_dir);
    bool start_unless_quit();
    void watch_host();

    Socket<void(bool)> m_on_activation;
    Socket<void()> m_on_activation_request;
    std::string m_company;
    std::string m_name;
    std::string m_version;
    int m_exit_code = 0;
    FilePath m_personal_dir;
    std::unique_ptr<host::ActivationSocket> m_activation_socket;
    Slot m_instance_slot{this};  ///< last: cleared before the other members die
};

}
