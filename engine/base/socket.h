#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <tuple>
#include <utility>

namespace kq {

template <class Signature>
class Socket;

/// A signal: callables connected with an owner tag, all called, in connection order, when
/// the socket is emitted. Copies start without connections.
///
/// All sockets of one signature keep their handlers in one shared map, keyed by the socket's
/// address; the map lives while the process or any socket of its signature does.
template <class... Args>
class Socket<void(Args...)>
{
    // The I-th argument type, or an unusable placeholder where the signature has none, so the
    // emit members of other argument shapes can be declared for every signature.
    struct NoArgument
    {
        NoArgument() = delete;
    };
    template <std::size_t I>
    static auto argument_at()
    {
        if constexpr (I < sizeof...(Args))
            return std::type_identity<std::tuple_element_t<I, std::tuple<Args...>>>{};
        else
            return std::type_identity<NoArgument>{};
    }
    template <std::size_t I>
    using Arg = std::remove_cvref_t<typename decltype(argument_at<I>())::type>;

public:
    using Handler = std::function<void(Args...)>;

    /// A socket without handlers.
    Socket() : m_map(handler_map()) {}
    /// A socket without handlers: connections belong to the socket they were made on.
    Socket(const Socket&) : Socket() {}
    /// Keeps this socket's own handlers.
    Socket& operator=(const Socket&) { return *this; }
    /// Drops every handler; an emission in progress calls none of them any more.
    ~Socket() { drop_if([](const Entry&) { return true; }); }

    /// Adds a copy of the handler after those already connected; the same handler and owner
    /// may be connected several times.
    void connect(Handler handler, const void* owner)
    {
        m_map->handlers.emplace(key(), Entry{std::move(handler), owner, false});
    }

    /// Drops every handler connected with this owner tag; other owners and sockets are
    /// untouched.
    void disconnect(const void* owner)
    {
        drop_if([owner](const Entry& entry) { return entry.owner == owner; });
    }

    /// Calls every handler with the arguments, in connection order; handlers connected to this
    /// socket during the emission are called in it too, handlers disconnected during it are
    /// not. An empty handler throws `std::bad_function_call` there, and the later ones are
    /// not called. A handler may destroy the socket it is called from.
    void emit(Args... args)
    {
        // Holding the map and the key keeps the walk sound if a handler destroys this socket.
        const std::shared_ptr<HandlerMap> map = m_map;
        const void* const socket = key();
        ++map->emitting;
        try {
            for (auto entry = map->handlers.lower_bound(socket);
                 entry != map->handlers.end() && entry->first == socket; ++entry)
                if (!entry->second.dropped)
                    entry->second.handler(args...);
        } catch (...) {
            finish_emission(*map);
            throw;
        }
        finish_emission(*map);
    }

    /// Emits a socket without arguments.
    void emit_void()
        requires(sizeof...(Args) == 0)
    {
        emit();
    }
    /// Emits a socket of one one-byte argument (a flag, a character).
    void emit_void(Arg<0> value)
        requires(sizeof...(Args) == 1 && sizeof(Arg<0>) == 1)
    {
        emit(value);
    }
    /// Emits a socket of one flag.
    void emit_bool(bool flag)
        requires(sizeof...(Args) == 1 && std::is_same_v<Arg<0>, bool>)
    {
        emit_void(flag);
    }
    /// Emits a socket of one 4-byte argument (a number, a key, a pointer-free value).
    void emit_value(const Arg<0>& value)
        requires(sizeof...(Args) == 1 && sizeof(Arg<0>) == 4)
    {
        emit(value);
    }
    /// Emits a socket of one 8-byte pair (a point).
    void emit_pair(const Arg<0>& pair)
        requires(sizeof...(Args) == 1 && sizeof(Arg<0>) == 8)
    {
        emit(pair);
    }
    /// Emits a socket of two 4-byte arguments, handed over as one pair.
    void emit_pair(const std::pair<Arg<0>, Arg<1>>& pair)
        requires(sizeof...(Args) == 2 && sizeof(Arg<0>) == 4 && sizeof(Arg<1>) == 4)
    {
        emit(pair.first, pair.second);
    }
    /// Emits a key socket: packs the key and its state into one pair.
    void emit_key_state(Arg<0> key, Arg<1> state)
        requires(sizeof...(Args) == 2 && sizeof(Arg<0>) == 4 && sizeof(Arg<1>) == 4)
    {
        emit_pair(std::pair<Arg<0>, Arg<1>>(key, state));
    }

private:
    struct Entry
    {
        Handler handler;
        const void* owner;
        bool dropped;
    };
    // Handlers dropped while any socket of the signature emits are only marked: the running
    // handler may be among them, and every walk in progress holds a position in the map.
    struct HandlerMap
    {
        std::multimap<const void*, Entry> handlers;
        int emitting = 0;
        std::size_t dropped = 0;
    };

    /// The signature's shared map, made on first use; the static holds one reference until
    /// exit and each socket one more, so sockets destroyed after it still find their map.
    static std::shared_ptr<HandlerMap> handler_map()
    {
        static const std::shared_ptr<HandlerMap> map = std::make_shared<HandlerMap>();
        return map;
    }

    const void* key() const { return this; }

    template <class Predicate>
    void drop_if(Predicate predicate)
    {
        HandlerMap& map = *m_map;
        auto [first, last] = map.handlers.equal_range(key());
        while (first != last) {
            if (first->second.dropped || !predicate(first->second)) {
                ++first;
            } else if (map.emitting == 0) {
                first = map.handlers.erase(first);
            } else {
                first->second.dropped = true;
                ++map.dropped;
                ++first;
            }
        }
    }

    static void finish_emission(HandlerMap& map)
    {
        if (--map.emitting > 0 || map.dropped == 0)
            return;
        std::erase_if(map.handlers, [](const auto& item) { return item.second.dropped; });
        map.dropped = 0;
    }

    std::shared_ptr<HandlerMap> m_map;
};

}
