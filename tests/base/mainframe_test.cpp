#include "engine/base/mainframe.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/base/exception.h"
#include "manual_clock.h"

namespace kq {
namespace {

class MainframeTest : public testing::Test
{
protected:
    MainframeTest() { Mainframe::create(); }
    ~MainframeTest() override { Mainframe::destroy(); }

    // A task that writes its name and the time of each run into the trace.
    Mainframe::Callable recorder(const std::string& name)
    {
        return [this, name] { trace += name + std::to_string(clock.time) + " "; };
    }

    void steps(int count)
    {
        for (int i = 0; i < count; ++i)
            Mainframe::step();
    }

    test::ManualClock clock;
    std::string trace;
};

struct TaskSpec
{
    std::string name;
    std::int64_t period;
    unsigned flags;
    std::int64_t added_at;
};

struct OrderCase
{
    const char* title;
    std::vector<TaskSpec> tasks;
    std::int64_t start;
    int steps;
    const char* expected;
};

constexpr std::int64_t beyond_32_bits = std::int64_t(1) << 32;

TEST_F(MainframeTest, StepsRunTasksInDueOrder)
{
    const OrderCase cases[] = {
        {"ties go to the first listed", {{"A", 30, 0, 0}, {"B", 30, 0, 0}}, 0, 3, "A30 B30 A60 "},
        {"period 0 runs before overdue tasks",
         {{"A", 10, 0, 0}, {"B", 10, 0, 0}, {"Z", 0, 1, 0}}, 100, 3, "Z100 A100 B100 "},
        {"period-0 tasks run in list order", {{"Z", 0, 1, 0}, {"Y", 0, 1, 0}}, 0, 2, "Z0 Y0 "},
        {"a negative period goes ahead of tasks less than its size overdue",
         {{"A", 10, 0, 0}, {"N", -100000, 1, 50000}}, 50000, 2, "N50000 A50000 "},
        {"a task overdue by more than a negative period goes first",
         {{"A", 10, 0, 0}, {"N", -100000, 1, 200000}}, 200000, 2, "A200000 N200000 "},
        {"a late run shifts the later runs", {{"A", 10, 0, 0}}, 25, 2, "A25 A35 "},
        {"a run-once task runs once", {{"O", 5, 1, 0}, {"A", 20, 0, 0}}, 0, 3, "O5 A20 A40 "},
        {"time beyond 32 bits", {{"A", 30, 0, beyond_32_bits}, {"B", 20, 1, beyond_32_bits}},
         beyond_32_bits, 2,
         "B4294967316 A4294967326 "},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.title);
        Mainframe::destroy();
        Mainframe::create();
        trace.clear();
        for (const TaskSpec& task : c.tasks) {
            clock.time = task.added_at;
            Mainframe::add_task(recorder(task.name), 0, task.period, task.flags);
        }
        clock.time = c.start;
        steps(c.steps);
        EXPECT_EQ(trace, c.expected);
    }
}

TEST_F(MainframeTest, TasksAddedDuringARunGoBeforeTheListedOnes)
{
    struct Case
    {
        const char* title;
        unsigned flags;
    };
    // The periodic task leaves the list while it runs, taking the insertion point with it.
    const Case cases[] = {{"a run-once task", Mainframe::run_once},
                          {"a periodic task that removes itself", Mainframe::periodic}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        Mainframe::destroy();
        Mainframe::create();
        trace.clear();
        Mainframe::TaskId id = 0;
        id = Mainframe::add_task([this, &id] {
            trace += "P ";
            Mainframe::remove_task(id);
            Mainframe::add_task([this] { trace += "N1 "; }, 0, 0, Mainframe::run_once);
            Mainframe::add_task([this] { trace += "N2 "; }, 0, 0, Mainframe::run_once);
        }, 0, 0, c.flags);
        Mainframe::add_task([this] { trace += "Z "; }, 0, 0, Mainframe::run_once);
        Mainframe::run();
        EXPECT_EQ(trace, "P N1 N2 Z ");
    }
}

TEST_F(MainframeTest, RemovingATaskRunsItOnlyWhenFlaggedForRemoval)
{
    struct Case
    {
        unsigned flags;
        int expected_calls;
    };
    const Case cases[] = {{Mainframe::periodic, 0}, {Mainframe::run_once, 0},
                          {Mainframe::run_once_or_on_removal, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        int calls = 0;
        const auto id = Mainframe::add_task([&calls] { ++calls; }, 0, 100, c.flags);
        Mainframe::remove_task(id);
        EXPECT_EQ(calls, c.expected_calls);
        EXPECT_FALSE(Mainframe::has_work());
        Mainframe::remove_task(id);
        EXPECT_EQ(calls, c.expected_calls);
    }
}

TEST_F(MainframeTest, RemovingAnIdRemovesAllItsTasksAndOnlyThem)
{
    int owner = 0;
    const auto own_id = reinterpret_cast<Mainframe::TaskId>(&owner);
    EXPECT_EQ(Mainframe::add_task(recorder("A"), own_id, 10, 0), own_id);
    Mainframe::add_task(recorder("B"), own_id, 10, 0);
    Mainframe::add_task(recorder("C"), 0, 10, 0);
    Mainframe::remove_task(0);
    Mainframe::remove_task(own_id);
    steps(2);
    EXPECT_EQ(trace, "C10 C20 ");
}

TEST_F(MainframeTest, GeneratedIdsAreFreshAndNeverAddresses)
{
    const auto first = Mainframe::add_task([] {}, 0, 10, 0);
    const auto second = Mainframe::add_task([] {}, 0, 10, 0);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    int local = 0;
    EXPECT_GT(first, reinterpret_cast<Mainframe::TaskId>(&local));
    EXPECT_GT(first, reinterpret_cast<Mainframe::TaskId>(&trace));
}

TEST_F(MainframeTest, ATaskRemovingItselfFinishesItsRunAndStops)
{
    // The captured string lives in the callable: it must survive the removal.
    const std::string name(100, 'x');
    Mainframe::TaskId id = 0;
    int runs = 0;
    id = Mainframe::add_task([&, name] {
        ++runs;
        Mainframe::remove_task(id);
        trace = name;
    }, 0, 10, Mainframe::periodic);
    Mainframe::run();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(trace, name);
}

TEST_F(MainframeTest, ARemovalCallMayChangeTheList)
{
    const auto id = Mainframe::add_task([this] {
        trace += "removed ";
        Mainframe::add_task(recorder("added"), 0, 0, Mainframe::run_once);
    }, 0, 50, Mainframe::run_once_or_on_removal);
    Mainframe::add_task([id] { Mainframe::remove_task(id); }, 0, 10, Mainframe::run_once);
    Mainframe::run();
    EXPECT_EQ(trace, "removed added10 ");
}

TEST_F(MainframeTest, NestedLoopKeepsSchedulingEveryTaskAndReturnsOnItsCondition)
{
    int entries = 0;
    int others = 0;
    Mainframe::add_task([&] {
        trace += "enter" + std::to_string(++entries) + " ";
        if (entries == 1)
            Mainframe::run_while([&] { return others < 2; });
        trace += "leave ";
    }, 0, 10, Mainframe::periodic);
    const auto other = Mainframe::add_task([&] { ++others; }, 0, 15, Mainframe::periodic);
    steps(1);
    Mainframe::remove_task(other);
    // The outer task was re-entered in the nested loop (its last run was stamped first).
    EXPECT_EQ(trace, "enter1 enter2 leave enter3 leave leave ");
    EXPECT_EQ(others, 2);
}

TEST_F(MainframeTest, QuitInANestedLoopEndsEveryLoop)
{
    int runs_after_quit = 0;
    bool quitted = false;
    Mainframe::add_task([&] {
        if (quitted)
            ++runs_after_quit;
        Mainframe::run_while([] { return true; });
        trace += "nested returned ";
    }, 0, 10, Mainframe::run_once);
    Mainframe::add_task([&] {
        quitted = true;
        Mainframe::quit();
    }, 0, 20, Mainframe::run_once);
    Mainframe::add_task([&] { ++runs_after_quit; }, 0, 30, Mainframe::periodic);
    Mainframe::run();
    EXPECT_EQ(trace, "nested returned ");
    EXPECT_EQ(runs_after_quit, 0);
    EXPECT_FALSE(Mainframe::has_work());
    Mainframe::step();
    EXPECT_EQ(runs_after_quit, 0);
}

TEST_F(MainframeTest, WaitRunsTasksForItsTime)
{
    struct Case
    {
        std::int64_t ms;
        int expected_runs;
    };
    for (const Case& c : {Case{0, 0}, Case{-5, 0}, Case{50, 5}}) {
        SCOPED_TRACE(c.ms);
        Mainframe::destroy();
        Mainframe::create();
        clock.time = 0;
        int runs = 0;
        Mainframe::add_task([&runs] { ++runs; }, 0, 10, Mainframe::periodic);
        Mainframe::wait(c.ms);
        EXPECT_EQ(runs, c.expected_runs);
    }
}

TEST_F(MainframeTest, NoWaitRunsTheEarliestTaskAtOnce)
{
    struct Case
    {
        bool no_wait;
        std::int64_t expected_time;
        std::int64_t expected_slept;
    };
    for (const Case& c : {Case{false, 500, 500}, Case{true, 0, 0}}) {
        SCOPED_TRACE(c.no_wait);
        Mainframe::destroy();
        Mainframe::create();
        clock.time = 0;
        Mainframe::set_no_wait(c.no_wait);
        std::int64_t ran_at = -1;
        Mainframe::add_task([&] { ran_at = clock.time; }, 0, 500, Mainframe::run_once);
        Mainframe::step();
        EXPECT_EQ(ran_at, c.expected_time);
        EXPECT_EQ(Mainframe::slept_total(), c.expected_slept);
    }
}

TEST_F(MainframeTest, AddingATaskCutsTheSleepShort)
{
    Mainframe::add_task(recorder("late"), 0, 1000, Mainframe::run_once);
    clock.on_sleep = [this] {
        clock.on_sleep = nullptr;
        Mainframe::add_task(recorder("new"), 0, 0, Mainframe::run_once);
    };
    Mainframe::step();
    EXPECT_EQ(clock.wakes, 1);
    EXPECT_EQ(trace, "new0 ");
}

TEST_F(MainframeTest, ATaskErrorLeavesTheLoop)
{
    struct Case
    {
        unsigned flags;
        bool still_listed;
    };
    for (const Case& c : {Case{Mainframe::periodic, true}, Case{Mainframe::run_once, false}}) {
        SCOPED_TRACE(c.flags);
        Mainframe::destroy();
        Mainframe::create();
        Mainframe::add_task([] { throw std::runtime_error("task failed"); }, 0, 10, c.flags);
        EXPECT_THROW(Mainframe::run(), std::runtime_error);
        EXPECT_EQ(Mainframe::has_work(), c.still_listed);
    }
}

TEST_F(MainframeTest, EmptyCallablesFailWhenCalled)
{
    Mainframe::add_task([] {}, 0, 10, Mainframe::periodic);
    EXPECT_THROW(Mainframe::run_while(Mainframe::Condition()), std::bad_function_call);
    Mainframe::add_task(Mainframe::Callable(), 0, 0, Mainframe::run_once);
    EXPECT_THROW(Mainframe::step(), std::bad_function_call);
}

TEST_F(MainframeTest, NothingRunsWithoutAMainframe)
{
    Mainframe::destroy();
    EXPECT_EQ(Mainframe::instance(), nullptr);
    EXPECT_FALSE(Mainframe::has_work());
    EXPECT_THROW(Mainframe::add_task([] {}, 0, 0, 0), CoreException);
    Mainframe::run();
}

TEST_F(MainframeTest, ATaskMayDestroyTheMainframe)
{
    Mainframe::add_task([] { Mainframe::destroy(); }, 0, 10, Mainframe::periodic);
    Mainframe::run();
    EXPECT_EQ(Mainframe::instance(), nullptr);
}

}
}
