// Writes the benchmark inputs to files.
//   bench_gen ctrl-fill OUT
//   bench_gen ctrl-overflow LINES OUT
//   bench_gen ctrl-labels LINES OUT
//   bench_gen word LINES OUT
//   bench_gen word-labels LINES OUT
//   bench_gen word-memory OUT
//   bench_gen gas LINES OUT
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "generators.hpp"

namespace {

int Usage() {
    std::fputs(
        "usage: bench_gen ctrl-fill OUT\n"
        "       bench_gen ctrl-overflow LINES OUT\n"
        "       bench_gen ctrl-labels LINES OUT\n"
        "       bench_gen word LINES OUT\n"
        "       bench_gen word-labels LINES OUT\n"
        "       bench_gen word-memory OUT\n"
        "       bench_gen gas LINES OUT\n",
        stderr);
    return 2;
}

bool ParseCount(const char* text, std::size_t& count) {
    char* end = nullptr;
    unsigned long long value = std::strtoull(text, &end, 10);
    if (end == text || *end != '\0' || value == 0) return false;
    count = static_cast<std::size_t>(value);
    return true;
}

int WriteFile(const char* name, const std::string& text) {
    std::FILE* file = std::fopen(name, "wb");
    if (file == nullptr) {
        std::perror(name);
        return 1;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::perror(name);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const char* kind = argv[1];
    if (std::strcmp(kind, "ctrl-fill") == 0) {
        if (argc != 3) return Usage();
        return WriteFile(argv[2], bench::CtrlFillProgram());
    }
    if (std::strcmp(kind, "word-memory") == 0) {
        if (argc != 3) return Usage();
        return WriteFile(argv[2], bench::WordMemoryProgram());
    }
    std::size_t lines = 0;
    if (argc != 4 || !ParseCount(argv[2], lines)) return Usage();
    if (std::strcmp(kind, "ctrl-overflow") == 0) return WriteFile(argv[3], bench::CtrlOverflowProgram(lines));
    if (std::strcmp(kind, "ctrl-labels") == 0) return WriteFile(argv[3], bench::CtrlLabelProgram(lines));
    if (std::strcmp(kind, "word") == 0) return WriteFile(argv[3], bench::WordProgram(lines));
    if (std::strcmp(kind, "word-labels") == 0) return WriteFile(argv[3], bench::WordLabelProgram(lines));
    if (std::strcmp(kind, "gas") == 0) return WriteFile(argv[3], bench::GasProgram(lines));
    return Usage();
}
