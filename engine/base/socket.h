#pragma once

#include <functional>
#include <list>
#include <memory>

namespace kq {

template <class Signature>
class Socket;

/// A signal: callables connected with an owner tag, all called, in connection order, when
/// the socket is emitted. Copies start without connections.
template <class... Args>
class Socket<void(Args...)>
{
public:
    using Handler = std::function<void(Args...)>;

    /// A socket without handlers.
    Socket() : m_state(std::make_shared<State>()) {}
    /// A socket without handlers: connections belong to the socket they were made on.
    Socket(const Socket&) : Socket() {}
    /// Keeps this socket's own handlers.
    Socket& operator=(const Socket&) { return *this; }
    /// Drops every handler; an emission in progress calls none of them any more.
    ~Socket() { disconnect_all(); }

    /// Adds a copy of the handler after those already connected; the same handler and owner
    /// may be connected several times.
    void connect(Handler handler, const void* owner)
    {
        m_state->handlers.push_back(Entry{std::move(handler), owner, false});
    }

    /// Drops every handler connected with this owner tag; others are untouched.
    void disconnect(const void* owner)
    {
        drop_if([owner](const Entry& entry) { return entry.owner == owner; });
    }

    /// Calls every handler with the arguments, in connection order; handlers connected during
    /// the emission are called in it too, handlers disconnected during it are not. An empty
    /// handler throws `std::bad_function_call` there, and the later ones are not called.
    void emit(Args... args)
    {
        // Holding the state lets a handler destroy this socket without ending the walk badly.
        const std::shared_ptr<State> state = m_state;
        ++state->emitting;
        try {
            for (auto entry = state->handlers.begin(); entry != state->handlers.end(); ++entry)
                if (!entry->dropped)
                    entry->handler(args...);
        } catch (...) {
            finish_emission(*state);
            throw;
        }
        finish_emission(*state);
    }

private:
    struct Entry
    {
        Handler handler;
        const void* owner;
        bool dropped;
    };
    // Handlers dropped during an emission are only marked: the one running may be among them,
    // and the walk holds a position in the list.
    struct State
    {
        std::list<Entry> handlers;
        int emitting = 0;
    };

    template <class Predicate>
    void drop_if(Predicate predicate)
    {
        if (m_state->emitting == 0) {
            m_state->handlers.remove_if(predicate);
            return;
        }
        for (Entry& entry : m_state->handlers)
            if (predicate(entry))
                entry.dropped = true;
    }

    void disconnect_all()
    {
        drop_if([](const Entry&) { return true; });
    }

    static void finish_emission(State& state)
    {
        if (--state.emitting == 0)
            state.handlers.remove_if([](const Entry& entry) { return entry.dropped; });
    }

    std::shared_ptr<State> m_state;
};

}
