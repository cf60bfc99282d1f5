#include "engine/base/task_queue.h"

#include <algorithm>
#include <utility>

namespace kq {

namespace {

constexpr std::size_t first_bucket_count = 16;

}

TaskQueue::TaskQueue() : m_buckets(first_bucket_count) {}

std::uint32_t TaskQueue::add(Callable callable, TaskId id, bool fresh, std::int64_t period, std::int64_t last,
                             unsigned flags)
{
    std::uint32_t slot;
    if (m_free.empty()) {
        if (m_slots % chunk_size == 0)
            m_chunks.push_back(std::make_unique<Task[]>(chunk_size));
        slot = m_slots++;
    } else {
        slot = m_free.back();
        m_free.pop_back();
    }
    Task& task = at(slot);
    task.callable = std::move(callable);
    task.active = nullptr;
    task.id = id;
    task.period = period;
    task.last = last;
    task.flags = flags;
    task.serial = ++m_serials;
    task.run_mark = m_runs;
    if (fresh) {
        task.fresh_index = static_cast<std::uint32_t>(m_fresh.size());
        m_fresh.push_back(FreshEntry{id, slot});
    } else {
        link_id(slot);
    }
    if (period == 0)
        push_now(slot);
    else
        push(entry_of(slot));
    ++m_listed;
    return slot;
}

std::uint32_t TaskQueue::earliest()
{
    while (const NowEntry* front = now_front()) {
        if (at(front->slot).serial == front->serial)
            return front->slot;
        pop_now_front();
        --m_stale;
    }
    while (!m_heap.empty()) {
        const Entry& front = m_heap.front();
        if (at(front.slot).serial == front.serial)
            return front.slot;
        pop_front();
        --m_stale;
    }
    return none;
}

void TaskQueue::restamp_earliest(std::int64_t last)
{
    Entry& front = m_heap.front();
    Task& task = at(front.slot);
    task.last = last;
    front.due = due_of(task);
    sift_down(0);
}

TaskQueue::Callable TaskQueue::remove(std::uint32_t slot)
{
    Task& task = at(slot);
    const std::uint64_t serial = task.serial;
    Callable callable = std::move(task.callable);
    task.callable = nullptr;
    task.active = nullptr;
    if (task.fresh_index != none)
        unlink_fresh(slot);
    else
        unlink_id(slot);
    task.serial = 0;
    m_free.push_back(slot);
    --m_listed;
    // The earliest task leaves at once; any other leaves a stale entry behind.
    const NowEntry* now = now_front();
    if (now && now->slot == slot && now->serial == serial) {
        pop_now_front();
    } else if (!m_heap.empty() && m_heap.front().slot == slot && m_heap.front().serial == serial) {
        pop_front();
    } else {
        ++m_stale;
        drop_stale_entries();
    }
    return callable;
}

std::vector<std::uint32_t> TaskQueue::slots_of(TaskId id) const
{
    std::vector<std::uint32_t> slots;
    const auto fresh = std::lower_bound(m_fresh.begin(), m_fresh.end(), id,
                                        [](const FreshEntry& entry, TaskId id) { return entry.id < id; });
    if (fresh != m_fresh.end() && fresh->id == id && fresh->slot != none)
        slots.push_back(fresh->slot);
    if (const IdBucket* bucket = find_bucket(id)) {
        for (std::uint32_t slot = bucket->first; slot != none; slot = at(slot).next_same_id)
            slots.push_back(slot);
    }
    std::sort(slots.begin(), slots.end(),
              [this](std::uint32_t a, std::uint32_t b) { return list_before(at(a), at(b)); });
    return slots;
}

bool TaskQueue::before(const Entry& a, const Entry& b)
{
    if (a.due != b.due)
        return a.due < b.due;
    if (a.newer_run != b.newer_run)
        return a.newer_run < b.newer_run;
    return a.serial < b.serial;
}

bool TaskQueue::list_before(const Task& a, const Task& b)
{
    if (a.run_mark != b.run_mark)
        return a.run_mark > b.run_mark;
    return a.serial < b.serial;
}

std::int64_t TaskQueue::due_of(const Task& task)
{
    return task.period == 0 ? at_once : task.last + task.period;
}

TaskQueue::Entry TaskQueue::entry_of(std::uint32_t slot) const
{
    const Task& task = at(slot);
    return Entry{due_of(task), ~task.run_mark, task.serial, slot};
}

void TaskQueue::push(Entry entry)
{
    std::size_t index = m_heap.size();
    m_heap.push_back(entry);
    while (index > 0) {
        const std::size_t parent = (index - 1) / 2;
        if (!before(entry, m_heap[parent]))
            break;
        m_heap[index] = m_heap[parent];
        index = parent;
    }
    m_heap[index] = entry;
}

void TaskQueue::sift_down(std::size_t index)
{
    const Entry moving = m_heap[index];
    const std::size_t size = m_heap.size();
    for (;;) {
        std::size_t child = 2 * index + 1;
        if (child >= size)
            break;
        if (child + 1 < size && before(m_heap[child + 1], m_heap[child]))
            ++child;
        if (!before(m_heap[child], moving))
            break;
        m_heap[index] = m_heap[child];
        index = child;
    }
    m_heap[index] = moving;
}

void TaskQueue::pop_front()
{
    m_heap.front() = m_heap.back();
    m_heap.pop_back();
    if (!m_heap.empty())
        sift_down(0);
}

void TaskQueue::push_now(std::uint32_t slot)
{
    const Task& task = at(slot);
    if (m_now_runs.empty() || m_now_runs.back().run_mark != task.run_mark)
        m_now_runs.push_back(NowRun{task.run_mark, m_now.size(), m_now.size()});
    m_now.push_back(NowEntry{task.serial, slot});
}

const TaskQueue::NowEntry* TaskQueue::now_front() const
{
    return m_now_runs.empty() ? nullptr : &m_now[m_now_runs.back().front];
}

// The top run loses its front; an emptied run is dropped and the one below it is on top.
void TaskQueue::pop_now_front()
{
    NowRun& top = m_now_runs.back();
    if (++top.front < m_now.size())
        return;
    m_now.resize(top.begin);
    m_now_runs.pop_back();
}

// Entries of removed tasks wait until they come to the front; when they outnumber the
// listed tasks they are dropped all at once, so the heap stays within twice the list.
void TaskQueue::drop_stale_entries()
{
    if (m_stale < 64 || m_stale < m_listed)
        return;
    std::erase_if(m_heap, [this](const Entry& entry) { return at(entry.slot).serial != entry.serial; });
    std::make_heap(m_heap.begin(), m_heap.end(), [](const Entry& a, const Entry& b) { return before(b, a); });
    std::vector<NowRun> runs;
    std::size_t kept = 0;
    for (std::size_t run = 0; run < m_now_runs.size(); ++run) {
        const std::size_t end = run + 1 < m_now_runs.size() ? m_now_runs[run + 1].begin : m_now.size();
        const std::size_t begin = kept;
        for (std::size_t i = m_now_runs[run].front; i < end; ++i) {
            if (at(m_now[i].slot).serial == m_now[i].serial)
                m_now[kept++] = m_now[i];
        }
        if (kept > begin)
            runs.push_back(NowRun{m_now_runs[run].run_mark, begin, begin});
    }
    m_now.resize(kept);
    m_now_runs = std::move(runs);
    m_stale = 0;
}

// The id index: open addressing over a power-of-two table, at most half full.
std::size_t TaskQueue::bucket_of(TaskId id) const
{
    const std::uint64_t key = id;
    const std::uint64_t mixed = key * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(mixed >> 32) & (m_buckets.size() - 1);
}

TaskQueue::IdBucket* TaskQueue::find_bucket(TaskId id)
{
    return const_cast<IdBucket*>(std::as_const(*this).find_bucket(id));
}

const TaskQueue::IdBucket* TaskQueue::find_bucket(TaskId id) const
{
    const std::size_t mask = m_buckets.size() - 1;
    for (std::size_t index = bucket_of(id);; index = (index + 1) & mask) {
        const IdBucket& bucket = m_buckets[index];
        if (bucket.id == id)
            return &bucket;
        if (bucket.id == 0)
            return nullptr;
    }
}

void TaskQueue::link_id(std::uint32_t slot)
{
    Task& task = at(slot);
    task.next_same_id = none;
    if (IdBucket* bucket = find_bucket(task.id)) {
        task.prev_same_id = bucket->last;
        at(bucket->last).next_same_id = slot;
        bucket->last = slot;
        return;
    }
    if (2 * (m_ids + 1) > m_buckets.size())
        grow_buckets();
    const std::size_t mask = m_buckets.size() - 1;
    std::size_t index = bucket_of(task.id);
    while (m_buckets[index].id != 0)
        index = (index + 1) & mask;
    m_buckets[index] = IdBucket{task.id, slot, slot};
    task.prev_same_id = none;
    ++m_ids;
}

void TaskQueue::unlink_id(std::uint32_t slot)
{
    Task& task = at(slot);
    const std::size_t mask = m_buckets.size() - 1;
    std::size_t index = bucket_of(task.id);
    while (m_buckets[index].id != task.id)
        index = (index + 1) & mask;
    IdBucket& bucket = m_buckets[index];
    if (task.prev_same_id == none)
        bucket.first = task.next_same_id;
    else
        at(task.prev_same_id).next_same_id = task.next_same_id;
    if (task.next_same_id == none)
        bucket.last = task.prev_same_id;
    else
        at(task.next_same_id).prev_same_id = task.prev_same_id;
    task.prev_same_id = none;
    task.next_same_id = none;
    if (bucket.first == none)
        erase_bucket(index);
}

// The entry is marked; when most entries are marked they are dropped at once.
void TaskQueue::unlink_fresh(std::uint32_t slot)
{
    m_fresh[at(slot).fresh_index].slot = none;
    at(slot).fresh_index = none;
    if (++m_fresh_left < 64 || 2 * m_fresh_left < m_fresh.size())
        return;
    std::erase_if(m_fresh, [](const FreshEntry& entry) { return entry.slot == none; });
    for (std::size_t index = 0; index < m_fresh.size(); ++index)
        at(m_fresh[index].slot).fresh_index = static_cast<std::uint32_t>(index);
    m_fresh_left = 0;
}

// Removes a bucket and shifts the ones after it back into the gap, so that every id stays
// reachable from its home bucket without tombstones.
void TaskQueue::erase_bucket(std::size_t index)
{
    const std::size_t mask = m_buckets.size() - 1;
    std::size_t gap = index;
    for (std::size_t next = (gap + 1) & mask; m_buckets[next].id != 0; next = (next + 1) & mask) {
        const std::size_t home = bucket_of(m_buckets[next].id);
        // The entry may fill the gap when its home does not lie in (gap, next].
        const bool home_after_gap = gap <= next ? (home > gap && home <= next) : (home > gap || home <= next);
        if (!home_after_gap) {
            m_buckets[gap] = m_buckets[next];
            gap = next;
        }
    }
    m_buckets[gap] = IdBucket{};
    --m_ids;
}

void TaskQueue::grow_buckets()
{
    std::vector<IdBucket> old(m_buckets.size() * 2);
    old.swap(m_buckets);
    const std::size_t mask = m_buckets.size() - 1;
    for (const IdBucket& bucket : old) {
        if (bucket.id == 0)
            continue;
        std::size_t index = bucket_of(bucket.id);
        while (m_buckets[index].id != 0)
            index = (index + 1) & mask;
        m_buckets[index] = bucket;
    }
}

}
