#pragma once

#include <functional>
#include <tuple>
#include <utility>

#include "engine/base/mainframe.h"

namespace kq {

/// A socket handler that delivers later: each emission stores a copy of its arguments and
/// lists a period-0 run-once task that calls the target with them at the next scheduler
/// step. Removing the tasks of `id` delivers the pending calls at once.
template <class... Args>
class sign_deffered_impl
{
public:
    using Target = std::function<void(Args...)>;

    /// An adapter calling `target`; its tasks carry `id` (as a rule the owner's address).
    sign_deffered_impl(Target target, Mainframe::TaskId id) : m_target(std::move(target)), m_id(id) {}

    /// Lists the delivery task with a copy of the arguments.
    void operator()(const std::decay_t<Args>&... args) const
    {
        Mainframe::add_task(
            [target = m_target, stored = std::make_tuple(args...)]() mutable { std::apply(target, stored); },
            m_id, 0, Mainframe::run_once_or_on_removal);
    }

private:
    Target m_target;
    Mainframe::TaskId m_id;
};

}
