// The in-memory core of wordforge: source bytes to listing and object file.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "wordforge/disassemble.hpp"
#include "wordforge/wordforge.hpp"
#include "generators.hpp"

namespace {

void Run(benchmark::State& state, const std::string& source) {
    std::size_t lines = bench::CountLines(source);
    std::size_t outBytes = 0;
    for (auto _ : state) {
        wordforge::WordResult out = wordforge::AssembleText(source);
        outBytes = out.listing.size() + out.object.size();
        if (out.errorCount != 0) {
            state.SkipWithError("the generated program has errors");
            return;
        }
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.size()));
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(lines),
                                                   benchmark::Counter::kIsRate);
    state.counters["out_bytes"] = static_cast<double>(outBytes);
}

void BM_Word(benchmark::State& state) {
    Run(state, bench::WordProgram(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_Word)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A label on every fourth line, half of the references forward.
void BM_WordLabels(benchmark::State& state) {
    Run(state, bench::WordLabelProgram(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_WordLabels)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// All 65,536 words of main memory assembled, and read back: disassembled
// into source with and without the listing-like comments.
void BM_WordMemory(benchmark::State& state) { Run(state, bench::WordMemoryProgram()); }
BENCHMARK(BM_WordMemory)->Unit(benchmark::kMillisecond);

void Disassembly(benchmark::State& state, bool annotate) {
    std::vector<image::PlacedWord> words;
    const std::string source = bench::WordMemoryProgram();
    if (wordforge::AssembleText(source, {.placed = &words}).errorCount != 0 || words.size() != 65536) {
        state.SkipWithError("the generated program has errors");
        return;
    }
    for (auto _ : state) {
        std::string text = wordforge::Disassemble(words, {"MEMORY", annotate});
        benchmark::DoNotOptimize(text);
    }
    state.counters["words"] = static_cast<double>(words.size());
}
void BM_DisassembleMemory(benchmark::State& state) { Disassembly(state, false); }
void BM_DisassembleMemoryAnnotated(benchmark::State& state) { Disassembly(state, true); }
BENCHMARK(BM_DisassembleMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DisassembleMemoryAnnotated)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
