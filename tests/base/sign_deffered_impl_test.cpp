#include "engine/base/sign_deffered_impl.h"

#include <string>

#include <gtest/gtest.h>

#include "engine/base/socket.h"
#include "manual_clock.h"

namespace kq {
namespace {

class DeferredSignalTest : public testing::Test
{
protected:
    DeferredSignalTest()
    {
        Mainframe::create();
        socket.connect(sign_deffered_impl<int, const std::string&>(
                           [this](int n, const std::string& text) {
                               trace += text + std::to_string(n) + " ";
                           },
                           owner),
                       this);
    }
    ~DeferredSignalTest() override { Mainframe::destroy(); }

    test::ManualClock clock;
    Mainframe::TaskId owner = reinterpret_cast<Mainframe::TaskId>(this);
    Socket<void(int, const std::string&)> socket;
    std::string trace;
};

TEST_F(DeferredSignalTest, TheTargetRunsAtTheNextStepWithTheEmittedArguments)
{
    Mainframe::add_task([this] { trace += "due "; }, 0, -10, Mainframe::periodic);
    {
        std::string text = "a";
        socket.emit(1, text);
        text = "changed";
    }
    EXPECT_EQ(trace, "");
    Mainframe::step();
    EXPECT_EQ(trace, "a1 ");
}

TEST_F(DeferredSignalTest, RemovingTheTasksDeliversThePendingCalls)
{
    socket.emit(1, "a");
    socket.emit(2, "b");
    Mainframe::remove_task(owner);
    EXPECT_EQ(trace, "a1 b2 ");
    EXPECT_FALSE(Mainframe::has_work());
}

}
}
