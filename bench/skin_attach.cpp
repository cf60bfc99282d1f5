// Attaching the whole start-up list of skin documents from their text and from their binary
// copies, for generated trees of 10,000 and 100,000 nodes in all. The copies exist to make
// start-up faster: compare the two times (text / binary). A tree of one entry a document
// (asked for 300 nodes, it has 442) shows what both ways share whatever the documents
// hold (finding and opening the files, the services): no reader of the copies can make a
// start faster than that. Also reading one document of 1,000 to 100,000 nodes from its text:
// the time per node must not grow with the document.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <malloc.h>
#include <unistd.h>

#include "engine/base/bstream.h"
#include "engine/base/directories.h"
#include "engine/base/file_path.h"
#include "engine/base/mainframe.h"
#include "engine/base/tstream.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "engine/res/skin_document.h"
#include "engine/res/skin_node.h"
#include "engine/res/skin_startup.h"
#include "game/shell/app/start_up.h"

namespace {

namespace fs = std::filesystem;

// Nodes of one generated entry: the entry, x, w, r, f, c, c.a and c.b.
constexpr int nodes_per_entry = 8;

// One document's tree under a top node of its own, so that documents merge without clashes.
std::string generated_document(int number, int entries)
{
    std::string text;
    const std::string top = "doc" + std::to_string(number);
    text += top + " {\n  base { x 1 y \"a text of some length\" z =or(1 2 4) }\n";
    for (int i = 0; i < entries; ++i) {
        const std::string n = std::to_string(i);
        text += "  n" + n + " : .base {\n    x " + n + "\n    w #IF_ALL\n    r *.x\n    f =cat(a " + n +
                ")\n    c { a 1 b [(1.5, 2.5)] }\n  }\n";
    }
    return text + "}\n";
}

std::vector<fs::path> skin_documents(const fs::path& data)
{
    std::vector<fs::path> documents;
    for (const auto& entry : fs::recursive_directory_iterator(data / "skin")) {
        if (entry.path().extension() == ".sdt")
            documents.push_back(entry.path());
    }
    return documents;
}

// A copy of the data tree's layout with the documents of the start-up list filled with
// about `nodes` nodes in all.
void fill_data_tree(const fs::path& dir, int nodes)
{
    // The build lays the game's data tree out beside the executable.
    const fs::path data = fs::path(kq::get_module_path().directory()) / "data";
    fs::create_directories(dir);
    fs::copy(data, dir / "data", fs::copy_options::recursive);
    const std::vector<fs::path> documents = skin_documents(dir / "data");
    const int entries = std::max<int>(1, nodes / nodes_per_entry / static_cast<int>(documents.size()));
    int number = 0;
    for (const fs::path& document : documents)
        std::ofstream(document, std::ios::binary) << generated_document(number++, entries);
}

const fs::path& bench_root()
{
    static const fs::path root = fs::temp_directory_path() / ("kq_bench_skin_" + std::to_string(::getpid()));
    return root;
}

// Two trees of each size: one read-only, where no binary copy is ever written, so every start
// reads the texts; one writable, whose copies a first start writes before the measurement.
std::string tree(const char* kind, int nodes)
{
    const fs::path dir = bench_root() / (kind + std::to_string(nodes));
    if (!fs::exists(dir)) {
        fill_data_tree(dir, nodes);
        const bool read_only = std::string(kind) == "text";
        std::ofstream(dir / "default.root") << "SOURCE 100 FILE \"\"" << (read_only ? " READ_ONLY" : "")
                                            << "\nPATH data\n";
    }
    return (dir / "default.root").string();
}

// Starts the skin service over the tree: only its start-up is timed, not the services
// around it nor the shutdown.
void attach_all(const std::string& root_file, benchmark::State* state = nullptr)
{
    kq::Mainframe::create();
    kq::start_res_service();
    kq::Res::instance()->read_root_file(root_file);
    if (state)
        state->ResumeTiming();
    kq::start_skin_service();
    if (state)
        state->PauseTiming();
    kq::stop_skin_service();
    kq::stop_res_service();
    kq::Mainframe::destroy();
}

void BM_AttachFromText(benchmark::State& state)
{
    const std::string root_file = tree("text", static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        attach_all(root_file, &state);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AttachFromText)->Arg(300)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_AttachFromBinary(benchmark::State& state)
{
    const std::string root_file = tree("binary", static_cast<int>(state.range(0)));
    attach_all(root_file);
    for (auto _ : state) {
        state.PauseTiming();
        attach_all(root_file, &state);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AttachFromBinary)->Arg(300)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One document read from its text, all its entries in one node.
void BM_ReadDocument(benchmark::State& state)
{
    const int entries = static_cast<int>(state.range(0)) / nodes_per_entry;
    const std::string text = generated_document(0, entries);
    for (auto _ : state) {
        kq::StringBuffer buffer(text);
        kq::TStream stream(buffer);
        kq::SkinNode root;
        kq::SkinNode::parse_children(root, stream);
        benchmark::DoNotOptimize(root.children().size());
        // The tree's destruction is not reading.
        state.PauseTiming();
        root = kq::SkinNode();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * entries * nodes_per_entry);
}
BENCHMARK(BM_ReadDocument)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same document read from its binary copy in memory.
void BM_ReadCopy(benchmark::State& state)
{
    const int entries = static_cast<int>(state.range(0)) / nodes_per_entry;
    kq::StringBuffer text(generated_document(0, entries));
    kq::SkinDocument document;
    {
        kq::TStream stream(text);
        document.read_text(stream);
    }
    kq::StringBuffer copy;
    {
        kq::BStream stream(copy);
        document.store(stream);
    }
    for (auto _ : state) {
        auto read = std::make_unique<kq::SkinDocument>();
        {
            kq::StringBuffer buffer(copy.str());
            kq::BStream stream(buffer);
            read->load(stream);
        }
        benchmark::DoNotOptimize(read->root().get());
        // The tree's destruction is not reading, as in BM_ReadDocument.
        state.PauseTiming();
        read.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * entries * nodes_per_entry);
}
BENCHMARK(BM_ReadCopy)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Writing the binary copy of such a document into memory.
void BM_WriteCopy(benchmark::State& state)
{
    const int entries = static_cast<int>(state.range(0)) / nodes_per_entry;
    kq::StringBuffer text(generated_document(0, entries));
    kq::SkinDocument document;
    kq::TStream stream(text);
    document.read_text(stream);
    for (auto _ : state) {
        kq::StringBuffer copy;
        kq::BStream out(copy);
        document.store(out);
        benchmark::DoNotOptimize(copy.str().size());
    }
    state.SetItemsProcessed(state.iterations() * entries * nodes_per_entry);
}
BENCHMARK(BM_WriteCopy)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}

int main(int argc, char** argv)
{
    // Freed memory stays with the process, as it does in a game that runs for long: the
    // figures are then the reading's, not the system's paging in of memory a previous
    // iteration gave back (which made them depend on what ran before).
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    kq::register_game_start_up();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(bench_root(), ignored);
    return 0;
}
