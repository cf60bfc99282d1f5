#pragma once

namespace kq {

/// Starts the sprite subsystem: registers the loaders of bitmaps, fonts and sprites with `Res`.
/// Fails (logged and thrown) without a Mainframe or without `Res`; nothing is registered then.
void start_art_service();
/// Drops the loaded fonts, textures and sprites; the loaders stay with `Res`, and bitmaps
/// stay loaded.
void stop_art_service();

}
