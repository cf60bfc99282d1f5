#include "engine/base/service.h"

#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/base/exception.h"
#include "engine/base/mainframe.h"
#include "log_capture.h"
#include "traced_service.h"

namespace kq {
namespace {

using testing::HasSubstr;

using test::TracedService;

class ServiceTest : public testing::Test
{
protected:
    ServiceTest() { Mainframe::create(); }
    ~ServiceTest() override { Mainframe::destroy(); }

    test::LogCapture logs;
    std::string trace;
};

TEST_F(ServiceTest, ServicesStartAndStopInOrder)
{
    auto* res = new TracedService("res", trace);
    auto* skin = new TracedService("skin", trace);
    start_service(res);
    start_service(skin);
    stop_service(skin);
    stop_service(res);
    EXPECT_EQ(trace, "init res init skin shut skin ~skin shut res ~res ");
}

TEST_F(ServiceTest, AFailedInitializeIsLoggedAndTheServiceStaysListed)
{
    auto* skin = new TracedService("skin", trace, {.initialize = true});
    EXPECT_THROW(start_service(skin), std::runtime_error);
    EXPECT_THAT(logs.text("error"), HasSubstr("\n! service \"skin\" failed to initialize. \n"));
    Mainframe::unregister_all();
    EXPECT_EQ(trace, "init skin shut skin ~skin ");
}

TEST_F(ServiceTest, AFailedShutdownIsLoggedAndTheServiceStaysListed)
{
    auto* skin = new TracedService("skin", trace, {.shutdown = true});
    start_service(skin);
    EXPECT_THROW(stop_service(skin), std::runtime_error);
    EXPECT_THAT(logs.text("error"), HasSubstr("\n! service \"skin\" failed to shutdown. \n"));
    EXPECT_EQ(trace, "init skin shut skin ");
}

TEST_F(ServiceTest, UnregisteringTwiceIsLogged)
{
    auto* skin = new TracedService("skin", trace);
    SharedPtr<Service> handle(skin);
    Mainframe::register_service(handle);
    Mainframe::unregister_service(handle);
    Mainframe::unregister_service(handle);
    EXPECT_THAT(logs.text("error"),
                HasSubstr("\nService \"skin\" not in register.\n  File mainframe.cpp, line "));
    EXPECT_EQ(trace, "init skin shut skin ");
}

TEST_F(ServiceTest, DestroyingTheMainframeShutsDownWhatIsLeftLastFirst)
{
    start_service(new TracedService("res", trace));
    start_service(new TracedService("broken", trace, {.shutdown = true}));
    start_service(new TracedService("skin", trace));
    EXPECT_NO_THROW(Mainframe::destroy());
    EXPECT_EQ(trace, "init res init broken init skin shut skin ~skin shut broken ~broken "
                     "shut res ~res ");
    EXPECT_THAT(logs.text("error"),
                HasSubstr("\nNot all services unregistered before mainframe shutdown\n"));
    EXPECT_THAT(logs.text("error"), HasSubstr("\n! service \"broken\" failed to shutdown. \n"));
}

TEST_F(ServiceTest, StartChecksFailWithTheirMessages)
{
    struct Case
    {
        const char* title;
        bool mainframe;
        bool prerequisite_running;
        const char* expected;
    };
    const Case cases[] = {
        {"no mainframe", false, true,
         "kq.common: Unable to start service [skin]. Mainframe not initialized correctly."},
        {"missing prerequisite", true, false,
         "kq.common: Unable to start service [skin]. [res] not initialized."},
        {"all there", true, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        if (!c.mainframe)
            Mainframe::destroy();
        std::string message;
        try {
            require_mainframe("skin");
            require_service("skin", c.prerequisite_running, "res");
        } catch (const Exception& error) {
            message = error.what();
        }
        EXPECT_EQ(message, c.expected);
        Mainframe::create();
    }
    EXPECT_THAT(logs.text("error"), HasSubstr("[res] not initialized.\n  File service.cpp, line "));
}

}
}
