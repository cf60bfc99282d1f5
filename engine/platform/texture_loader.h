#pragma once

#include "engine/base/file_path.h"
#include "engine/res/simple_res_loader.h"

namespace kq {

/// Request flags of a texture: the low 4 bits are the texture's mode (7 or 8 opaque, 15 with
/// alpha, 0 the file's own format), and a texture with a mode is only ever its own file.
inline constexpr std::int32_t texture_request_mode_mask = 15;

/// Finds where a requested texture comes from, in this order: its own file; the atlas that
/// the first matching rule of its folder's "default.tah" names; the numbered atlases
/// "atlas1.res", "atlas2.res", ... of its folder up to the first that does not load; a
/// JPEG colour image "<stem>_rgb.jpg" merged with a PNG alpha image "<stem>_a.png". A request
/// with the flag `texture_request_direct` skips the atlases. A concrete loader supplies how a
/// texture is made from a file (`load_from_stream`).
class TextureLoader : public SimpleResLoader
{
public:
    /// The texture of the request by the order above; empty when none is found. Errors of
    /// a rules file, an atlas file or merging a pair pass through.
    SharedPtr<ResRecord> load(ResRequest& request) override;

private:
    SharedPtr<ResRecord> from_rules(const FilePath& path);
    SharedPtr<ResRecord> from_numbered_atlases(const FilePath& path);
    SharedPtr<ResRecord> from_atlas(const std::string& atlas, const std::string& name);
    SharedPtr<ResRecord> from_colour_alpha_pair(const FilePath& path);
};

}
