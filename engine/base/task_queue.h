#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace kq {

/// The scheduler's task list: tasks in list order, the earliest due one found in O(log n),
/// the tasks of an id found without a scan, and no allocation per task once it has grown.
///
/// List order is the order a step scans: a task added goes before every task that was
/// listed when the latest `start_run` was called, after the ones added since. A task is
/// known by its slot while it is listed; the slot is reused after it leaves the list.
class TaskQueue
{
public:
    using Callable = std::function<void()>;
    using TaskId = std::uintptr_t;

    /// No slot: an empty queue's `earliest`.
    static constexpr std::uint32_t none = 0xFFFFFFFF;
    /// The due time of period-0 tasks: before every other task.
    static constexpr std::int64_t at_once = std::numeric_limits<std::int64_t>::min();

    /// One task; `active` points at its callable while its call runs (the slot's own
    /// callable is moved out then, so that neither a removal nor a grown table touches it).
    struct Task
    {
        Callable callable;
        Callable* active = nullptr;
        TaskId id = 0;
        std::int64_t period = 0;
        std::int64_t last = 0;
        unsigned flags = 0;
        std::uint64_t serial = 0;      ///< unique per task added; 0 while the slot is free
        std::uint64_t run_mark = 0;    ///< the `start_run` count when it was added
        std::uint32_t prev_same_id = none;
        std::uint32_t next_same_id = none;
        std::uint32_t fresh_index = none;  ///< where a task of a fresh id is in `m_fresh`
    };

    TaskQueue();

    /// Lists a task (`id` is not 0) after the tasks added since the last `start_run`, before
    /// all others; returns its slot. A `fresh` id is one just generated, greater than every
    /// fresh id before it.
    std::uint32_t add(Callable callable, TaskId id, bool fresh, std::int64_t period, std::int64_t last,
                      unsigned flags);
    /// From now on, added tasks go before every task listed at this moment.
    void start_run() { ++m_runs; }

    /// The listed task with the least due time (period-0 tasks first), the first in list
    /// order among equals; `none` when the list is empty.
    std::uint32_t earliest();
    /// The due time of the task `earliest` returned: last + period, or `at_once`.
    std::int64_t earliest_due() const { return m_now_runs.empty() ? m_heap.front().due : at_once; }
    /// Stamps the earliest task's last time, which moves it to its next due time.
    void restamp_earliest(std::int64_t last);

    /// Takes the task out of the list and returns its callable.
    Callable remove(std::uint32_t slot);
    /// The slots of the listed tasks with this id, in list order.
    std::vector<std::uint32_t> slots_of(TaskId id) const;

    /// The task in a listed slot.
    Task& task(std::uint32_t slot) { return at(slot); }
    /// Whether the slot still holds the task of that serial.
    bool holds(std::uint32_t slot, std::uint64_t serial) const
    {
        return slot < m_slots && at(slot).serial == serial;
    }
    /// Whether no task is listed.
    bool empty() const { return m_listed == 0; }
    /// The number of listed tasks.
    std::size_t size() const { return m_listed; }

private:
    // Tasks are kept in chunks: they never move, and a grown list copies nothing.
    static constexpr std::uint32_t chunk_size = 512;

    Task& at(std::uint32_t slot) { return m_chunks[slot / chunk_size][slot % chunk_size]; }
    const Task& at(std::uint32_t slot) const { return m_chunks[slot / chunk_size][slot % chunk_size]; }

    // A place in the due order; stale when its slot no longer holds its serial.
    struct Entry
    {
        std::int64_t due;
        std::uint64_t newer_run;  ///< the complement of the task's run mark: later runs first
        std::uint64_t serial;
        std::uint32_t slot;
    };
    // A place among the period-0 tasks, which always come first and among themselves keep
    // the list order: later runs' tasks first, in the order added within a run. They form a
    // stack of runs, each a queue: new tasks join the top run or start a new one, and the
    // earliest is the front of the top run. `m_now` holds the runs one after the other, the
    // oldest first; `m_now_runs` where each begins and where its front is. No run is empty.
    struct NowEntry
    {
        std::uint64_t serial;
        std::uint32_t slot;
    };
    struct NowRun
    {
        std::uint64_t run_mark;
        std::size_t begin;
        std::size_t front;
    };
    // A task added under a fresh id. Fresh ids come in rising order, so these stay sorted as
    // they are appended: most tasks never reach the id index's scattered buckets.
    struct FreshEntry
    {
        TaskId id;
        std::uint32_t slot;  ///< `none` once the task left
    };
    // Buckets of the id index: an id (0: empty) and the first and last of its slots.
    struct IdBucket
    {
        TaskId id = 0;
        std::uint32_t first = none;
        std::uint32_t last = none;
    };

    static bool before(const Entry& a, const Entry& b);
    static bool list_before(const Task& a, const Task& b);
    static std::int64_t due_of(const Task& task);
    Entry entry_of(std::uint32_t slot) const;
    void push(Entry entry);
    void sift_down(std::size_t index);
    void pop_front();
    void push_now(std::uint32_t slot);
    const NowEntry* now_front() const;
    void pop_now_front();
    void drop_stale_entries();

    std::size_t bucket_of(TaskId id) const;
    IdBucket* find_bucket(TaskId id);
    const IdBucket* find_bucket(TaskId id) const;
    void link_id(std::uint32_t slot);
    void unlink_id(std::uint32_t slot);
    void erase_bucket(std::size_t index);
    void unlink_fresh(std::uint32_t slot);
    void grow_buckets();

    std::vector<std::unique_ptr<Task[]>> m_chunks;
    std::uint32_t m_slots = 0;  ///< slots ever used
    std::vector<std::uint32_t> m_free;
    std::vector<Entry> m_heap;
    std::vector<NowEntry> m_now;
    std::vector<NowRun> m_now_runs;
    std::vector<IdBucket> m_buckets;
    std::vector<FreshEntry> m_fresh;
    std::size_t m_fresh_left = 0;  ///< entries of `m_fresh` whose task left
    std::size_t m_ids = 0;      ///< ids in the index
    std::size_t m_listed = 0;   ///< tasks in the list
    std::size_t m_stale = 0;    ///< entries of removed tasks
    std::uint64_t m_serials = 0;
    std::uint64_t m_runs = 0;
};

}
