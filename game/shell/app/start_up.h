#pragma once

namespace kq {

/// Registers what the game's start needs before anything reads a skin: every library's
/// types (the UI group first, then the lowest library first) and the skin start-up list,
/// what each component attaches, defines and registers, in the order the skin service
/// carries it out (a document may use what stands before it). Called once, before the
/// application starts; the game, its tests, tools and benchmarks share it.
void register_game_start_up();

}
