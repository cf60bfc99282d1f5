// Attaching the whole start-up list of skin documents from their text and from their binary
// copies. The copies exist to make start-up faster: compare the two times (binary / text).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "engine/base/directories.h"
#include "engine/base/file_path.h"
#include "engine/base/mainframe.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "engine/base/base_types.h"
#include "engine/res/res_skin_entries.h"
#include "engine/res/res_types.h"
#include "game/shell/shell_skin_entries.h"
#include "engine/res/skin_startup.h"

namespace {

namespace fs = std::filesystem;

constexpr int nodes_per_document = 1000;

// One document's tree under a top node of its own, so that documents merge without clashes.
std::string generated_document(int number)
{
    std::string text;
    const std::string top = "doc" + std::to_string(number);
    text += top + " {\n  base { x 1 y \"a text of some length\" z =or(1 2 4) }\n";
    for (int i = 0; i < nodes_per_document; ++i) {
        const std::string n = std::to_string(i);
        text += "  n" + n + " : .base {\n    x " + n + "\n    w #IF_ALL\n    r *.x\n    f =cat(a " + n +
                ")\n    c { a 1 b [(1.5, 2.5)] }\n  }\n";
    }
    return text + "}\n";
}

// A copy of the data tree's layout with every document of the start-up list filled.
void fill_data_tree(const fs::path& dir)
{
    // The build lays the game's data tree out beside the executable.
    const fs::path data = fs::path(kq::get_module_path().directory()) / "data";
    fs::create_directories(dir);
    fs::copy(data, dir / "data", fs::copy_options::recursive);
    int number = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir / "data" / "skin")) {
        if (entry.path().extension() == ".sdt")
            std::ofstream(entry.path(), std::ios::binary) << generated_document(number++);
    }
}

// Two such trees: one read-only, where no binary copy is ever written, so every start reads
// the texts; one writable, whose copies the first start writes.
const fs::path& bench_dir()
{
    static const fs::path dir = [] {
        const fs::path root = fs::temp_directory_path() / ("kq_bench_skin_" + std::to_string(::getpid()));
        fill_data_tree(root / "text");
        std::ofstream(root / "text" / "default.root") << "SOURCE 100 FILE \"\" READ_ONLY\nPATH data\n";
        fill_data_tree(root / "binary");
        std::ofstream(root / "binary" / "default.root") << "SOURCE 100 FILE \"\"\nPATH data\n";
        return root;
    }();
    return dir;
}

void attach_all(const char* tree)
{
    kq::Mainframe::create();
    kq::start_res_service();
    kq::Res::instance()->read_root_file((bench_dir() / tree / "default.root").string());
    kq::start_skin_service();
    kq::stop_skin_service();
    kq::stop_res_service();
    kq::Mainframe::destroy();
}

void BM_AttachFromText(benchmark::State& state)
{
    for (auto _ : state)
        attach_all("text");
}
BENCHMARK(BM_AttachFromText)->Unit(benchmark::kMillisecond);

void BM_AttachFromBinary(benchmark::State& state)
{
    attach_all("binary");
    for (auto _ : state)
        attach_all("binary");
}
BENCHMARK(BM_AttachFromBinary)->Unit(benchmark::kMillisecond);

}

int main(int argc, char** argv)
{
    kq::register_base_types();
    kq::register_res_types();
    kq::register_ui_skin_entries();
    kq::register_window_skin_entries();
    kq::register_res_skin_entries();
    kq::register_art_skin_entries();
    kq::register_audio_skin_entries();
    kq::register_shell_skin_entries();
    kq::register_renderer_skin_entries();
    kq::register_check_box_skin_entries();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(bench_dir(), ignored);
    return 0;
}
