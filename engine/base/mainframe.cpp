#include "engine/base/mainframe.h"

#include <algorithm>
#include <vector>

#include "engine/base/clock.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/service.h"
#include "engine/base/string_stream.h"

namespace kq {

namespace {

// Above every user-space address of a 64-bit Linux process (47- or 56-bit address spaces),
// so a generated id never equals the address an owner uses as its id.
constexpr Mainframe::TaskId first_generated_id = Mainframe::TaskId(1) << 57;

static_assert(sizeof(Mainframe::TaskId) == 8, "task ids hold 64-bit addresses");

// Runs a service operation; a failure is logged with the service's name and passed on.
template <class Operation>
void guarded(Service& service, Operation operation, const char* failure)
{
    try {
        (service.*operation)();
    } catch (...) {
        get_log("error") << "! service " << service.name() << failure << t_io::endl;
        throw;
    }
}

}

Mainframe* Mainframe::s_instance = nullptr;
std::uint64_t Mainframe::s_created = 0;

Mainframe::Mainframe() : m_next_id(first_generated_id), m_life(++s_created) {}

Mainframe::~Mainframe()
{
    if (m_services.empty())
        return;
    log_error("Not all services unregistered before mainframe shutdown",
              source_file_name(__FILE__), __LINE__);
    unregister_all_quietly();
}

void Mainframe::create()
{
    if (!s_instance)
        s_instance = new Mainframe;
}

void Mainframe::destroy()
{
    // The pointer stays set while the destructor runs: services shut down there may still
    // remove their tasks.
    delete s_instance;
    s_instance = nullptr;
}

Mainframe& Mainframe::current()
{
    if (!s_instance)
        KQ_THROW(CoreException, "Mainframe not created");
    return *s_instance;
}

Mainframe::TaskId Mainframe::add_task(Callable callable, TaskId id, std::int64_t period,
                                      unsigned flags)
{
    Mainframe& self = current();
    const bool fresh = id == 0;
    if (fresh)
        id = self.m_next_id++;
    // A period-0 task is due at once whenever it was added: its time is never needed.
    const std::int64_t last = period == 0 ? 0 : time_ms();
    self.m_tasks.add(std::move(callable), id, fresh, period, last, flags);
    if (self.m_sleeping)
        wake_sleep();
    return id;
}

void Mainframe::remove_task(TaskId id)
{
    if (id == 0)
        return;
    Mainframe& self = current();
    // The early-removal calls run after the removals: they may add or remove tasks themselves.
    std::vector<Callable> removal_calls;
    for (std::uint32_t slot : self.m_tasks.slots_of(id)) {
        const bool call = (self.m_tasks.task(slot).flags & run_once_or_on_removal) == run_once_or_on_removal;
        Callable callable = self.m_tasks.remove(slot);
        if (call)
            removal_calls.push_back(std::move(callable));
    }
    for (const Callable& callable : removal_calls)
        callable();
}

void Mainframe::run()
{
    while (has_work())
        step();
}

void Mainframe::run_while(const Condition& condition)
{
    while (has_work()) {
        if (!condition())
            return;
        step();
    }
}

void Mainframe::wait(std::int64_t ms)
{
    const std::int64_t deadline = time_ms() + ms;
    run_while([deadline] { return time_ms() < deadline; });
}

bool Mainframe::has_work()
{
    return s_instance && !s_instance->m_quit && !s_instance->m_tasks.empty();
}

void Mainframe::quit()
{
    current().m_quit = true;
}

void Mainframe::set_no_wait(bool no_wait)
{
    current().m_no_wait = no_wait;
}

bool Mainframe::no_wait()
{
    return current().m_no_wait;
}

std::int64_t Mainframe::slept_total()
{
    return current().m_slept_total;
}

void Mainframe::step()
{
    Mainframe& self = current();
    while (!self.m_quit) {
        const std::uint32_t slot = self.m_tasks.earliest();
        if (slot == TaskQueue::none)
            return;
        const std::int64_t due = self.m_tasks.earliest_due();
        // The clock is read once a step, and not at all for a period-0 task.
        const std::int64_t now = due == TaskQueue::at_once ? 0 : time_ms();
        if (due <= now || self.m_no_wait) {
            self.run_task(slot, now);
            return;
        }
        // Tasks may be added while asleep, so look again afterwards.
        self.sleep_until(due, now);
    }
}

void Mainframe::sleep_until(std::int64_t due, std::int64_t now)
{
    m_sleeping = true;
    sleep_ms(due - now);
    m_sleeping = false;
    m_slept_total += time_ms() - now;
}

void Mainframe::run_task(std::uint32_t slot, std::int64_t now)
{
    if (m_tasks.task(slot).flags != periodic) {
        const Callable callable = m_tasks.remove(slot);
        // Tasks added during this run go before every task listed when it began.
        m_tasks.start_run();
        callable();
        return;
    }
    if (m_tasks.task(slot).period != 0)
        m_tasks.restamp_earliest(now);
    m_tasks.start_run();
    run_periodic(slot);
}

// The callable runs from this frame, not from the list: a task that removes itself (or is
// removed, or destroys the Mainframe) does not destroy the code that is running, and the
// list may grow meanwhile. A nested loop that runs the task again calls the same callable.
void Mainframe::run_periodic(std::uint32_t slot)
{
    TaskQueue::Task& task = m_tasks.task(slot);
    if (task.active) {
        Callable& running = *task.active;
        running();
        return;
    }
    struct PutBack
    {
        std::uint64_t life;
        std::uint32_t slot;
        std::uint64_t serial;
        Callable callable;

        ~PutBack()
        {
            Mainframe* self = s_instance;
            if (!self || self->m_life != life || !self->m_tasks.holds(slot, serial))
                return;
            TaskQueue::Task& listed = self->m_tasks.task(slot);
            listed.callable = std::move(callable);
            listed.active = nullptr;
        }
    } running{m_life, slot, task.serial, std::move(task.callable)};
    task.active = &running.callable;
    running.callable();
}

void Mainframe::register_service(SharedPtr<Service> service)
{
    Mainframe& self = current();
    self.m_services.push_back(service);
    get_log("mainframe") << "Service " << service->name().c_str() << " starting." << t_io::endl;
    guarded(*service, &Service::initialize, " failed to initialize. ");
}

void Mainframe::unregister_service(SharedPtr<Service> service)
{
    Mainframe& self = current();
    if (!service)
        return;
    const auto is_it = [&service](const SharedPtr<Service>& listed) { return listed == service; };
    if (std::find_if(self.m_services.begin(), self.m_services.end(), is_it) == self.m_services.end()) {
        StringStream text;
        text << "Service " << service->name() << " not in register.";
        log_error(text.str().c_str(), source_file_name(__FILE__), __LINE__);
        return;
    }
    get_log("mainframe") << "Service " << service->name().c_str() << " stopping." << t_io::endl;
    guarded(*service, &Service::shutdown, " failed to shutdown. ");
    // Look again: the shutdown may have changed the list.
    const auto listed = std::find_if(self.m_services.begin(), self.m_services.end(), is_it);
    if (listed != self.m_services.end())
        self.m_services.erase(listed);
}

void Mainframe::unregister_all()
{
    Mainframe& self = current();
    while (!self.m_services.empty())
        unregister_service(self.m_services.back());
}

void Mainframe::unregister_all_quietly() noexcept
{
    // A destructor must not throw: a failed shutdown is logged by the guard and its service
    // dropped, so that the others are still shut down.
    while (!m_services.empty()) {
        SharedPtr<Service> last = m_services.back();
        try {
            unregister_service(last);
        } catch (...) {
            if (!m_services.empty() && m_services.back() == last)
                m_services.pop_back();
        }
    }
}

}
