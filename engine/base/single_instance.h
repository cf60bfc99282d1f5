#pragma once

namespace kq {

/// The process-wide instance of T (a service, the application): T derives from
/// `SingleInstance<T>` and holds a `Slot` as its last member. The T made last is the
/// instance from when its members are built until its destructor's body has run, so the
/// members it destroys afterwards already see no instance; a T that dies while another is the
/// instance leaves that one in place.
template <class T>
class SingleInstance
{
public:
    /// The instance, or null when none lives.
    static T* instance() { return s_instance; }

protected:
    /// Makes its owner the instance for as long as it lives.
    class Slot
    {
    public:
        explicit Slot(T* owner) : m_owner(owner) { s_instance = owner; }
        ~Slot()
        {
            if (s_instance == m_owner)
                s_instance = nullptr;
        }
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;

    private:
        T* m_owner;
    };

private:
    static inline T* s_instance = nullptr;
};

}
