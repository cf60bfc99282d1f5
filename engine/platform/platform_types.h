#pragma once

namespace kq {

/// Registers the platform library's types: the names of `Key`, then the handle classes of
/// textures and samples, each with the handle base as its base. Later calls do nothing.
void register_platform_types();

/// Appends the window service's skin start-up entry: "window/window.sdt".
void register_window_skin_entries();
/// Appends the audio service's skin start-up entry: "audio/audio.sdt".
void register_audio_skin_entries();
/// Appends the renderer's skin start-up entry: "dxdraw/dxdraw.sdt".
void register_renderer_skin_entries();

}
