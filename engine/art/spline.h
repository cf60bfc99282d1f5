#pragma once

#include <cstdint>
#include <map>
#include <type_traits>

#include "engine/base/binary_io.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/text_io.h"

namespace kq {

/// A keyed curve: maps a time (in the units its user chooses) to a value of V by interpolating
/// between keys, at most one key per time, ordered by the float less-than alone. The kinds
/// differ in what a key holds and how an interval is interpolated; this is their common
/// interface. Held by its users through `SharedPtr`; copies are deep.
///
/// The system asks a spline without keys for no value or time; such a spline answers a
/// default value and the time 0.
template <class T, class V>
class Spline : public BinaryIO, public TextIO
{
    static_assert(std::is_same_v<T, float>, "key times are floats");

public:
    using time_type = T;
    using value_type = V;
    /// Key times to key values, ascending.
    using KeyMap = std::map<T, V>;

    /// Evaluates a spline at a time that only moves forward: it keeps its place among the keys
    /// so that stepping on costs no search, and computes a value only when asked after the
    /// time changed. It keeps a plain pointer to its spline and must not outlive it; while it
    /// exists, keys may be added but not erased, moved, cleared or re-read.
    class Tracker
    {
    public:
        virtual ~Tracker() = default;

        /// The current time.
        virtual T time() const = 0;
        /// The value at the current time, brought up to date first.
        virtual const V& value() = 0;
        /// Whether the place among the keys, as the last `value` left it, has passed the last key.
        virtual bool at_end() const = 0;
        /// Moves the time on by dt; the value is computed again when next asked.
        virtual void advance(T dt) = 0;
        /// Sets the time; the place among the keys never moves back.
        virtual void set_time(T t) = 0;
    };

    /// The value at time t: the first key's value before the first key, the last key's at or
    /// after the last key, interpolated between them.
    virtual V value(T t) const = 0;
    /// A new tracker at the first key's time, or an empty pointer for a kind without trackers.
    virtual SharedPtr<Tracker> create_tracker() const = 0;
    /// The time of the first key.
    virtual T first_time() const = 0;
    /// The time of the last key.
    virtual T last_time() const = 0;
    /// The time of the key nearest to t; a tie goes to the earlier key.
    virtual T nearest_time(T t) const = 0;
    /// True when there are no keys.
    virtual bool empty() const = 0;
    /// The number of keys.
    virtual std::uint32_t size() const = 0;
    /// Replaces the contents of `out` by every key's time and value.
    virtual void get_keys(KeyMap& out) const = 0;
    /// Replaces the keys by those of `in`, each set through `set_key`.
    virtual void set_keys(const KeyMap& in) = 0;
    /// Inserts the key t, or replaces its value by v.
    virtual void set_key(T t, const V& v) = 0;
    /// Removes the key at exactly t; returns the number removed (0 or 1).
    virtual std::uint32_t erase_key(T t) = 0;
    /// Removes every key.
    virtual void clear() = 0;
    /// Adds `delta` to the value of every key.
    virtual void offset(const V& delta) = 0;
    /// Moves the key at `from` to `to`, replacing a key there; a move from a time without a key
    /// leaves a key at `to` holding the kind's default record. Nothing when the times are equal.
    virtual void move_key(T from, T to) = 0;
};

}
