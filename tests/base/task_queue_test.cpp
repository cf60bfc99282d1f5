#include "engine/base/task_queue.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <list>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace kq {
namespace {

// The scheduler's list as it is described: tasks in a list, new ones inserted before a mark
// that each run moves to the front, the earliest found by a scan in list order.
class ListModel
{
public:
    struct Task
    {
        int name;
        TaskQueue::TaskId id;
        std::int64_t period;
        std::int64_t last;
        bool periodic;
    };
    using List = std::list<Task>;

    void add(const Task& task) { m_tasks.insert(m_mark, task); }

    List::iterator earliest()
    {
        auto best = m_tasks.end();
        std::int64_t best_due = 0;
        for (auto task = m_tasks.begin(); task != m_tasks.end(); ++task) {
            if (task->period == 0)
                return task;
            if (best == m_tasks.end() || task->last + task->period < best_due) {
                best = task;
                best_due = task->last + task->period;
            }
        }
        return best;
    }

    // Runs the earliest task at `now`; its name, or -1 for an empty list.
    int run(std::int64_t now)
    {
        const auto task = earliest();
        if (task == m_tasks.end())
            return -1;
        const int name = task->name;
        if (task->periodic)
            task->last = now;
        else
            erase(task);
        m_mark = m_tasks.begin();
        return name;
    }

    std::vector<int> remove(TaskQueue::TaskId id)
    {
        std::vector<int> removed;
        for (auto task = m_tasks.begin(); task != m_tasks.end();) {
            if (task->id == id) {
                removed.push_back(task->name);
                task = erase(task);
            } else {
                ++task;
            }
        }
        return removed;
    }

private:
    List::iterator erase(List::iterator task)
    {
        if (m_mark == task)
            ++m_mark;
        return m_tasks.erase(task);
    }

    List m_tasks;
    List::iterator m_mark = m_tasks.end();
};

// Runs the queue the way the scheduler does; the callable of each task returns its name.
class QueueDriver
{
public:
    void add(const ListModel::Task& task, bool fresh)
    {
        const std::int64_t last = task.period == 0 ? 0 : task.last;
        m_queue.add([] {}, task.id, fresh, task.period, last, task.periodic ? 0 : 1);
        m_names.push_back(task.name);
        m_serial_names.resize(m_names.size() + 1);
        m_serial_names[m_names.size()] = task.name;
    }

    int run(std::int64_t now)
    {
        const std::uint32_t slot = m_queue.earliest();
        if (slot == TaskQueue::none)
            return -1;
        const int name = name_of(slot);
        if (m_queue.task(slot).flags == 0) {
            if (m_queue.task(slot).period != 0)
                m_queue.restamp_earliest(now);
        } else {
            m_queue.remove(slot);
        }
        m_queue.start_run();
        return name;
    }

    std::vector<int> remove(TaskQueue::TaskId id)
    {
        std::vector<int> removed;
        for (std::uint32_t slot : m_queue.slots_of(id)) {
            removed.push_back(name_of(slot));
            m_queue.remove(slot);
        }
        return removed;
    }

    std::size_t size() const { return m_queue.size(); }

private:
    int name_of(std::uint32_t slot) { return m_serial_names[m_queue.task(slot).serial]; }

    TaskQueue m_queue;
    std::vector<int> m_names;
    std::vector<int> m_serial_names;
};

TEST(TaskQueueTest, RunsAndRemovesInTheListsOrder)
{
    struct Case
    {
        const char* title;
        std::vector<std::int64_t> periods;
        int ids;
        int operations;
    };
    const Case cases[] = {
        {"equal periods tie often", {10, 10, 20}, 3, 4000},
        {"period 0 and negative periods", {0, -100000, 5, 30}, 5, 4000},
        {"many ids, enough removals to drop stale entries", {1, 7, 50, 400}, 200, 20000},
        {"few tasks, mostly periodic 0", {0}, 2, 2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        std::mt19937 random(12345);
        ListModel model;
        QueueDriver queue;
        std::int64_t now = 0;
        int name = 0;
        // Generated ids: each new one above every id before; owners may reuse them.
        std::vector<TaskQueue::TaskId> generated;
        const auto some_id = [&] {
            if (generated.empty() || random() % 2 == 0)
                return TaskQueue::TaskId(1 + random() % c.ids);
            return generated[generated.size() - 1 - random() % std::min<std::size_t>(generated.size(), 8)];
        };
        for (int step = 0; step < c.operations; ++step) {
            const unsigned what = random() % 10;
            if (what < 4) {
                const bool fresh = random() % 3 == 0;
                if (fresh)
                    generated.push_back(TaskQueue::TaskId(1000000 + generated.size()));
                const ListModel::Task task{name++, fresh ? generated.back() : some_id(),
                                           c.periods[random() % c.periods.size()], now, random() % 3 == 0};
                model.add(task);
                queue.add(task, fresh);
            } else if (what < 8) {
                now += random() % 20;
                ASSERT_EQ(queue.run(now), model.run(now)) << "step " << step;
            } else {
                const TaskQueue::TaskId id = some_id();
                ASSERT_EQ(queue.remove(id), model.remove(id)) << "step " << step;
            }
        }
        for (TaskQueue::TaskId id : generated)
            ASSERT_EQ(queue.remove(id), model.remove(id));
        // Drain what is left: run-once tasks leave, periodic ones are removed by id.
        for (int id = 1; id <= c.ids; ++id) {
            for (int run = 0; run < 50; ++run) {
                now += 3;
                ASSERT_EQ(queue.run(now), model.run(now));
            }
            ASSERT_EQ(queue.remove(TaskQueue::TaskId(id)), model.remove(TaskQueue::TaskId(id)));
        }
        EXPECT_EQ(queue.size(), 0u);
        EXPECT_EQ(queue.run(now), -1);
    }
}

}
}
