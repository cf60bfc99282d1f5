#pragma once

#include "engine/base/intrusive.h"

#include <boost/pool/pool.hpp>

namespace kq {

struct RefCounter;

/// The pool of count blocks. The default pool lives from its first use until both the
/// process has ended and the last block handed out has come back.
class RefPool : public IntrusivePolymorph, private boost::pool<boost::default_user_allocator_new_delete> {
public:
    /// Blocks refill 16384 at a time at first.
    RefPool();
    ~RefPool() override;

    /// The default pool, created on first call.
    static RefPool& instance();

    /// A zeroed block, holding one link on this pool; null when memory is exhausted.
    RefCounter* take_block();

    /// Gives `block` back to the default pool it came from and drops its link on that pool.
    static void return_block(RefCounter* block);
};

}
