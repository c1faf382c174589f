// The in-memory core of wordforge: source bytes to listing and object file.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "wordforge/disassemble.hpp"
#include "wordforge/wordforge.hpp"
#include "generators.hpp"

namespace {

enum class Model { None, Fresh, Kept };

// With a model, each run also fills a source model: a fresh one, or one
// kept from the run before, whose vectors keep their room.
void Run(benchmark::State& state, const std::string& source, Model modelled = Model::None) {
    std::size_t lines = bench::CountLines(source);
    std::size_t outBytes = 0;
    wordforge::SourceModel kept;
    for (auto _ : state) {
        wordforge::SourceModel fresh;
        wordforge::Collectors collect;
        if (modelled != Model::None) collect.model = modelled == Model::Fresh ? &fresh : &kept;
        wordforge::WordResult out = wordforge::AssembleText(source, collect);
        outBytes = out.listing.size() + out.object.size();
        if (out.errorCount != 0) {
            state.SkipWithError("the generated program has errors");
            return;
        }
        benchmark::DoNotOptimize(out);
        benchmark::DoNotOptimize(fresh);
        benchmark::DoNotOptimize(kept);
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
// A program of 65,536 words, every mnemonic among them: without the model
// (0), with a fresh one (1) and with one kept from run to run (2).
void BM_WordModel(benchmark::State& state) {
    static const std::string source = bench::WordProgramOfWords(65536);
    Run(state, source, static_cast<Model>(state.range(0)));
}
BENCHMARK(BM_WordModel)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The same program as an editor has it modelled: the model alone, kept from
// run to run, and no file written (null sinks).
void BM_WordModelOnly(benchmark::State& state) {
    static const std::string source = bench::WordProgramOfWords(65536);
    wordforge::SourceModel model;
    for (auto _ : state) {
        const wordforge::Result result = wordforge::AssembleSource(source, {}, {.model = &model});
        if (result.failed) {
            state.SkipWithError("the generated program has errors");
            return;
        }
        benchmark::DoNotOptimize(model);
    }
    state.counters["lines"] = static_cast<double>(model.lines.size());
}
BENCHMARK(BM_WordModelOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
