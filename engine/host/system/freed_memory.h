#pragma once

namespace kq::host {

/// Gives the memory the heap holds freed back to the system. The heap otherwise keeps it for
/// later allocations (see the OpenGL device); after a load, whose decoding and parsing free
/// much more than a frame ever takes again, it is called once.
void give_back_freed_memory();

}
