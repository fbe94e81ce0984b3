// Reading an environment file with the suite's light XML parser, against a memcpy of the same bytes in the same
// run. usage: xml_bench FILE [benchmark flags]; both report bytes per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "common/xml/XmlDocument.h"

namespace {

std::vector<uint8_t>& FileBytes() {
    static std::vector<uint8_t> bytes;
    return bytes;
}

void BM_FileMemcpyBaseline(benchmark::State& state) {
    const std::vector<uint8_t>& from = FileBytes();
    std::vector<uint8_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * from.size()));
}
BENCHMARK(BM_FileMemcpyBaseline);

// As the launcher and the agent load the file: bytes to text, then the element tree.
void BM_ParseEnvironment(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = FileBytes();
    common::CXmlDocument document;
    for (auto _ : state) {
        bool isComplete = document.ParseBytes(bytes);
        benchmark::DoNotOptimize(isComplete);
    }
    if (!document.ParseBytes(bytes)) {
        state.SkipWithError("the file does not parse whole");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseEnvironment);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: xml_bench FILE [benchmark flags]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    FileBytes().assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (FileBytes().empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
