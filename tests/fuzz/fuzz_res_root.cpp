// Reads any input as a resource registry file; "REGISTER default.root" makes the same bytes
// a register file too. Format errors are expected exceptions, anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "engine/base/exception.h"
#include "engine/res/res.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // One folder per run, removed at exit.
    static const struct Folder {
        Folder() : path(std::filesystem::temp_directory_path() / ("kq_fuzz_res_root_" + std::to_string(::getpid())))
        {
            std::filesystem::create_directories(path);
        }
        ~Folder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
        std::filesystem::path path;
    } folder;
    const std::string root = (folder.path / "default.root").string();
    std::ofstream(root, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
    try {
        kq::SharedPtr<kq::Res> res(new kq::Res);
        res->read_root_file(root);
    } catch (const kq::Exception&) {
    }
    return 0;
}
