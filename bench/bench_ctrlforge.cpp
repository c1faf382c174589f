// The in-memory core of ctrlforge: source bytes to listing, object and map.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ctrlforge/ctrlforge.hpp"
#include "ctrlforge/decode.hpp"
#include "generators.hpp"

namespace {

void Run(benchmark::State& state, const std::string& source, bool expectFailure) {
    std::size_t lines = bench::CountLines(source);
    std::size_t outBytes = 0;
    for (auto _ : state) {
        ctrlforge::CtrlOutput out = ctrlforge::AssembleText(source, {});
        outBytes = out.listing.size() + out.object.size() + out.map.size();
        if (out.failed != expectFailure) {
            state.SkipWithError("unexpected assembly result");
            return;
        }
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.size()));
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(lines),
                                                   benchmark::Counter::kIsRate);
    state.counters["out_bytes"] = static_cast<double>(outBytes);
}

void BM_CtrlFill(benchmark::State& state) {
    static const std::string source = bench::CtrlFillProgram();
    Run(state, source, false);
}
BENCHMARK(BM_CtrlFill)->Unit(benchmark::kMillisecond);

// The same run with the source model asked for, as an editor asks for it:
// every statement, label and token of a full control store.
void BM_CtrlFillModel(benchmark::State& state) {
    static const std::string source = bench::CtrlFillProgram();
    std::size_t statements = 0;
    for (auto _ : state) {
        ctrlforge::SourceModel model;
        ctrlforge::CtrlOutput out = ctrlforge::AssembleText(source, {}, {.model = &model});
        if (out.failed) {
            state.SkipWithError("unexpected assembly result");
            return;
        }
        statements = model.statements.size();
        benchmark::DoNotOptimize(model);
    }
    state.counters["statements"] = static_cast<double>(statements);
}
BENCHMARK(BM_CtrlFillModel)->Unit(benchmark::kMillisecond);

// The words of a full control store read back: decoded field by field, and
// written as a microprogram that assembles back to them.
void Decoding(benchmark::State& state, bool asSource) {
    std::vector<image::PlacedWord> words;
    if (ctrlforge::AssembleText(bench::CtrlFillProgram(), {}, {.placed = &words}).failed) {
        state.SkipWithError("unexpected assembly result");
        return;
    }
    for (auto _ : state) {
        if (asSource) {
            ctrlforge::DecodedSource decoded = ctrlforge::DecodeAsSource(words, "FILL");
            benchmark::DoNotOptimize(decoded);
        } else {
            std::string text = ctrlforge::DecodeWords(words);
            benchmark::DoNotOptimize(text);
        }
    }
    state.counters["words"] = static_cast<double>(words.size());
}
void BM_CtrlFillDecode(benchmark::State& state) { Decoding(state, false); }
void BM_CtrlFillDecodeAsSource(benchmark::State& state) { Decoding(state, true); }
BENCHMARK(BM_CtrlFillDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CtrlFillDecodeAsSource)->Unit(benchmark::kMillisecond);
// As an editor has it modelled: the model alone, kept from run to run, and
// no file chosen.
void BM_CtrlFillModelOnly(benchmark::State& state) {
    static const std::string source = bench::CtrlFillProgram();
    ctrlforge::SourceModel model;
    for (auto _ : state) {
        const ctrlforge::Result result = ctrlforge::AssembleSource(source, {}, {.model = &model});
        if (result.failed) {
            state.SkipWithError("unexpected assembly result");
            return;
        }
        benchmark::DoNotOptimize(model);
    }
    state.counters["statements"] = static_cast<double>(model.statements.size());
}
BENCHMARK(BM_CtrlFillModelOnly)->Unit(benchmark::kMillisecond);

void BM_CtrlOverflow(benchmark::State& state) {
    const std::string source = bench::CtrlOverflowProgram(static_cast<std::size_t>(state.range(0)));
    Run(state, source, true);
}
BENCHMARK(BM_CtrlOverflow)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Every statement labelled and branching forward; the statements past the
// control store make the run fail, as in the overflow program.
void BM_CtrlLabels(benchmark::State& state) {
    const std::string source = bench::CtrlLabelProgram(static_cast<std::size_t>(state.range(0)));
    Run(state, source, true);
}
BENCHMARK(BM_CtrlLabels)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
