// Tokenising speed of the text data format on a generated skin-like document, beside a plain
// byte scan of the same text as the reference: compare the bytes_per_second figures.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/base/buffer.h"
#include "engine/base/tstream.h"

namespace {

constexpr std::size_t document_size = 10 * 1024 * 1024;

std::string make_document()
{
    std::string text;
    text.reserve(document_size + 1024);
    for (int node = 0; text.size() < document_size; ++node) {
        const std::string n = std::to_string(node);
        text += "// panel " + n + "\r\n";
        text += "panel_" + n + "\r\n{\r\n";
        text += "  class \"class kq::Panel\"\r\n";
        text += "  pos (" + n + ", 24.5)\r\n";
        text += "  size (640, 480)\r\n";
        text += "  image ui/panels/panel_" + n + ".png\r\n";
        text += "  caption \"{#caption_" + n + "} \\\"quoted\\\"\"\r\n";
        text += "  rules [ a [b] \"]\" ]\r\n";
        text += "  /* colour of the frame */ color 0xff8080ff\r\n";
        text += "  visible true\r\n";
        text += "}\r\n";
    }
    return text;
}

const std::string& document()
{
    static const std::string text = make_document();
    return text;
}

std::size_t count_tokens(kq::Buffer& buffer)
{
    kq::TStream stream(buffer);
    std::size_t tokens = 0;
    while (!stream.is_eof()) {
        stream.advance();
        ++tokens;
    }
    return tokens;
}

void tokenise(benchmark::State& state)
{
    kq::StringBuffer buffer(document());
    for (auto _ : state) {
        buffer.seek(0, kq::seek_begin);
        benchmark::DoNotOptimize(count_tokens(buffer));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document().size()));
}

// The same document read from a file, as skin documents are: the file buffer's own reads
// are what this adds to the in-memory figure.
void tokenise_file(benchmark::State& state)
{
    const std::string path = (std::filesystem::temp_directory_path() / "bench_tstream.sdt").string();
    {
        kq::FileBuffer out(path, kq::mode_create | kq::mode_write);
        out.write(document().data(), static_cast<std::uint32_t>(document().size()));
    }
    for (auto _ : state) {
        kq::FileBuffer buffer(path, kq::mode_read);
        benchmark::DoNotOptimize(count_tokens(buffer));
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document().size()));
}

void count_blanks(benchmark::State& state)
{
    const std::string& text = document();
    for (auto _ : state)
        benchmark::DoNotOptimize(std::count(text.begin(), text.end(), ' '));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

}

BENCHMARK(count_blanks)->Unit(benchmark::kMillisecond);
BENCHMARK(tokenise)->Unit(benchmark::kMillisecond);
BENCHMARK(tokenise_file)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
