// Reads any input as a folder's texture rules and looks a few texture names up in them;
// stream errors and expressions too costly to match are expected exceptions, anything else
// (a crash, a hang, a huge allocation, a sanitizer report) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/tstream.h"
#include "engine/platform/texture_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    kq::TextureRules rules;
    try {
        kq::StringBuffer buffer(input);
        kq::TStream stream(buffer);
        rules.read(stream);
    } catch (const kq::Exception&) {
        return 0;
    }
    for (const char* name : {"art/ok.png", "ui/buttons/a_long_name_of_a_button.png", ""}) {
        try {
            std::string atlas;
            rules.find_atlas(kq::FilePath("art/"), name, atlas);
        } catch (const kq::Exception&) {
        }
    }
    return 0;
}
