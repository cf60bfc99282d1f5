// Reads arbitrary bytes as a save file, the way the game loads one: parsed, then corrected
// to what a small catalogue can play. Parse errors are expected exceptions; a crash, a hang,
// a sanitizer report, or corrected data that does not write and read back the same, is a
// fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/base/base_types.h"
#include "engine/base/exception.h"
#include "game/shell/progress/save_checks.h"
#include "game/shell/progress/save_data.h"

namespace {

const kq::Chapters& catalogue()
{
    static const kq::Chapters chapters = [] {
        kq::Chapters c;
        c[1].missions = {{1, {}}, {2, {}}};
        c[2].missions = {{1, {}}};
        return c;
    }();
    return chapters;
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kq::register_base_types();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (kq::save_data_version(bytes) > kq::save_file_version)
        return 0;
    kq::SaveData read;
    try {
        kq::read_save_data(bytes, read);
    } catch (const kq::Exception&) {
        return 0;
    }
    kq::correct_save_data(read, catalogue());
    kq::SaveData again;
    kq::read_save_data(kq::write_save_data(read), again);
    if (kq::correct_save_data(again, catalogue()) != 0 || again.profiles.size() != read.profiles.size() ||
        again.score_table != read.score_table || again.profile_name != read.profile_name)
        std::abort();
    return 0;
}
