#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/base/shared_ptr.h"
#include "engine/base/task_queue.h"

namespace kq {

class Service;

/// The process-wide cooperative scheduler of timed tasks, run on the main thread. Exactly one
/// exists at a time; every operation acts on it (and throws `CoreException` when none exists,
/// except `create`, `destroy`, `instance` and `has_work`).
class Mainframe
{
public:
    using Callable = std::function<void()>;
    using Condition = std::function<bool()>;
    /// Owners use their own address as id, so that they can remove all their tasks at once.
    using TaskId = std::uintptr_t;

    /// Task flags: periodic tasks stay listed; any other value runs once.
    static constexpr unsigned periodic = 0;
    static constexpr unsigned run_once = 1;
    /// Runs once, and also at once when the task is removed before it ran.
    static constexpr unsigned run_once_or_on_removal = 3;

    /// Shuts down the services still registered (logging that they were left), last first;
    /// never throws: a failed shutdown is logged and its service dropped.
    virtual ~Mainframe();
    Mainframe(const Mainframe&) = delete;
    Mainframe& operator=(const Mainframe&) = delete;

    /// Creates and publishes the Mainframe if none exists; otherwise does nothing.
    static void create();
    /// Destroys the Mainframe, if one exists, and clears the pointer.
    static void destroy();
    /// The Mainframe, or null when none exists.
    static Mainframe* instance() { return s_instance; }

    /// Lists a task due at now + period (0: at once; negative: ahead of due tasks); an id of
    /// 0 is replaced by a fresh one that never equals an object's address. Returns the id.
    static TaskId add_task(Callable callable, TaskId id, std::int64_t period, unsigned flags);
    /// Removes every task with this id (0: none), first running those flagged
    /// `run_once_or_on_removal`. A running task may remove itself: its call completes.
    static void remove_task(TaskId id);

    /// Steps until the quit flag is set or no task is left.
    static void run();
    /// Steps while there is work and `condition` holds (asked before each step).
    static void run_while(const Condition& condition);
    /// Runs tasks for ms milliseconds.
    static void wait(std::int64_t ms);
    /// Whether a Mainframe exists, its quit flag is clear and a task is listed.
    static bool has_work();
    /// Sets the quit flag for good: every loop returns at its next check.
    static void quit();
    /// With the flag set, a step runs the earliest task at once instead of sleeping.
    static void set_no_wait(bool no_wait);
    /// Whether the no-wait flag is set.
    static bool no_wait();
    /// Runs the earliest due task (a period-0 task first; the first listed wins ties),
    /// sleeping until it is due; runs at most one task.
    static void step();
    /// Milliseconds spent sleeping in steps since creation.
    static std::int64_t slept_total();

    /// Appends the service to the list (sharing it), then initialises it; when that throws,
    /// the error is logged and passed on, and the service stays listed.
    static void register_service(SharedPtr<Service> service);
    /// Shuts the listed service down and drops it from the list; when the shutdown throws,
    /// the error is logged and passed on, and it stays listed. An unlisted service is logged.
    static void unregister_service(SharedPtr<Service> service);
    /// Unregisters the services one by one, the last registered first.
    static void unregister_all();

private:
    Mainframe();
    static Mainframe& current();

    void sleep_until(std::int64_t due, std::int64_t now);
    void run_task(std::uint32_t slot, std::int64_t now);
    void run_periodic(std::uint32_t slot);
    void unregister_all_quietly() noexcept;

    static Mainframe* s_instance;
    static std::uint64_t s_created;  ///< Mainframes created so far

    std::vector<SharedPtr<Service>> m_services;
    TaskQueue m_tasks;
    TaskId m_next_id;
    std::uint64_t m_life;  ///< which of the Mainframes created this one is
    bool m_quit = false;
    bool m_no_wait = false;
    bool m_sleeping = false;
    std::int64_t m_slept_total = 0;
};

}
