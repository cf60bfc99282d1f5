#include "engine/base/application.h"

#include <stdexcept>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/base/mainframe.h"
#include "engine/base/service.h"
#include "engine/host/system/quit_queue.h"
#include "log_capture.h"
#include "manual_clock.h"
#include "traced_service.h"

namespace kq {
namespace {

using testing::HasSubstr;
using test::TracedService;

// A product with two services; a service, its start or its shutdown can be made to fail.
class TestApplication : public Application
{
public:
    enum class Failure { none, initialize_error, start_error, start_unknown, shutdown_error };

    TestApplication(Failure failure, std::string& trace)
        : Application("KQ", "Test", "1.0"), m_failure(failure), m_trace(trace)
    {
    }

    void start() override
    {
        Application::start();
        start_service(new TracedService("first", m_trace,
                                        {.shutdown = m_failure == Failure::shutdown_error}));
        start_service(new TracedService("second", m_trace,
                                        {.initialize = m_failure == Failure::initialize_error}));
        if (m_failure == Failure::start_error)
            throw std::runtime_error("start failed");
        if (m_failure == Failure::start_unknown)
            throw 7;
        Mainframe::add_task([] { host::post_quit(); }, 0, 100, Mainframe::run_once);
    }

    void shutdown() override
    {
        Mainframe::unregister_all();
        Application::shutdown();
    }

private:
    Failure m_failure;
    std::string& m_trace;
};

TEST(ApplicationTest, ExecuteEndsEveryWayInAnOrderlyShutdown)
{
    using Failure = TestApplication::Failure;
    struct Case
    {
        const char* title;
        Failure failure;
        int exit_code;
        const char* trace;
        const char* last_line;
        const char* error_text;  // empty: no error box
    };
    const Case cases[] = {
        {"a quit request", Failure::none, 0, "shut second ~second shut first ~first ",
         "Shutdown done.", ""},
        // A service that failed to initialise stays registered and is shut down too.
        {"a failing initialise", Failure::initialize_error, 1,
         "shut second ~second shut first ~first ", "Emergency shutdown completed.",
         "initialize failed"},
        {"a failing start", Failure::start_error, 1, "shut second ~second shut first ~first ",
         "Emergency shutdown completed.", "start failed"},
        {"a thrown value that is no exception", Failure::start_unknown, 1,
         "shut second ~second shut first ~first ", "Emergency shutdown completed.",
         "Unknown error"},
        // The product's shutdown, the emergency shutdown and the Mainframe's end each try it.
        {"a failing shutdown", Failure::shutdown_error, 1,
         "shut second ~second shut first shut first shut first ~first ",
         "Emergency shutdown failed.", "shutdown failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        test::ManualClock clock;
        test::LogCapture logs;
        std::string trace;
        TestApplication application(c.failure, trace);
        testing::internal::CaptureStderr();
        application.execute();
        const std::string error_box = testing::internal::GetCapturedStderr();
        // Only the shutdown order matters here.
        trace.erase(0, trace.find("shut"));

        EXPECT_EQ(application.exit_code(), c.exit_code);
        EXPECT_EQ(Mainframe::instance(), nullptr);
        EXPECT_EQ(trace, c.trace);
        const std::string log = logs.text("application");
        EXPECT_THAT(log, HasSubstr("Starting Test...\nVersion 1.0\nPersonal dir \"\"\nRandom seed is "));
        EXPECT_THAT(log, HasSubstr(std::string("\n") + c.last_line + "\n"));
        if (*c.error_text) {
            EXPECT_THAT(log, HasSubstr(std::string("\nFailed! Problem: ") + c.error_text + "\n"));
            EXPECT_THAT(logs.text("error"), HasSubstr(std::string("\n") + c.error_text + "\n"));
            EXPECT_EQ(error_box, std::string("KQ debug message\nApplication error: ") + c.error_text
                                     + "\nPlease contact support.\n");
        } else {
            EXPECT_THAT(log, HasSubstr("\nStarted done.\n\nRunning...\nCompleted done.\n\n"
                                       "Shuting down...\nShutdown done.\n"));
            EXPECT_EQ(error_box, "");
        }
    }
}

// A quit asked for during a slow start must not wait for the whole start, nor skip the
// shutdown of what did start.
TEST(ApplicationTest, AQuitDuringTheStartEndsItAtTheNextServiceInOrder)
{
    test::ManualClock clock;
    test::LogCapture logs;
    std::string trace;
    struct QuittingApplication : Application
    {
        explicit QuittingApplication(std::string& trace) : Application("KQ", "Test", "1.0"), trace(trace) {}
        void start() override
        {
            Application::start();
            start_service(new TracedService("first", trace));
            host::post_quit();  // as a SIGTERM arriving now
            start_service(new TracedService("second", trace));
            trace += "started all ";
        }
        void shutdown() override
        {
            Mainframe::unregister_all();
            Application::shutdown();
        }
        std::string& trace;
    } application(trace);
    application.execute();
    while (host::take_quit()) {
    }

    EXPECT_EQ(application.exit_code(), 0);
    EXPECT_EQ(Mainframe::instance(), nullptr);
    EXPECT_EQ(trace, "init first ~second shut first ~first ");
    EXPECT_THAT(logs.text("application"),
                HasSubstr("\nStart interrupted by a quit request.\n\nShuting down...\nShutdown done.\n"));
    EXPECT_THAT(logs.text("application"), testing::Not(HasSubstr("Running...")));
}

TEST(ApplicationTest, SystemEventsReachTheActivationSignalAndTheMainframe)
{
    std::string trace;
    TestApplication application(TestApplication::Failure::none, trace);
    EXPECT_EQ(Application::instance(), &application);
    std::string emitted;
    application.on_activation().connect([&emitted](bool active) { emitted += active ? "on " : "off "; },
                                     &emitted);
    Mainframe::create();
    Mainframe::add_task([] {}, 0, 10, Mainframe::periodic);
    for (int code : {2, 3, 0, 4, 1})
        application.on_system_event(code);
    EXPECT_EQ(emitted, "on off ");
    EXPECT_FALSE(Mainframe::has_work());
    Mainframe::destroy();
}

}
}
