// Saving and loading a 5,000-row program, through files and in memory.
#include "bench/bench_programs.h"

#include "document/ladder_document.h"
#include "document/program_file.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>

namespace {

constexpr int kRows = 5000;

// Every row a rung of contacts with operands and two description lines (one with Polish
// letters in code page 1250), and a coil.
document::LadderDocument bigProgram() {
    return bench::denseLadder(kRows, "#1opis#2\xB3\xF3\x64\xBC#");
}

std::filesystem::path benchFile() {
    std::random_device random;
    return std::filesystem::temp_directory_path() /
           ("wirtualon-bench-" + std::to_string(random()) + ".jar");
}

void removeFiles(const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::remove(file, error);
    std::filesystem::remove(document::textFilePath(file), error);
}

void BM_SaveProgram5000Rows(benchmark::State& state) {
    document::LadderDocument program = bigProgram();
    const std::filesystem::path file = benchFile();
    for (auto _ : state) {
        if (document::SaveProgram(program, file) != document::FileResult::Success) {
            state.SkipWithError("save failed");
            break;
        }
    }
    removeFiles(file);
}
BENCHMARK(BM_SaveProgram5000Rows)->Unit(benchmark::kMillisecond);

void BM_LoadProgram5000Rows(benchmark::State& state) {
    document::LadderDocument program = bigProgram();
    const std::filesystem::path file = benchFile();
    if (document::SaveProgram(program, file) != document::FileResult::Success) {
        state.SkipWithError("save failed");
        return;
    }
    document::LadderDocument loaded;
    for (auto _ : state) {
        if (document::LoadProgram(loaded, file) != document::FileResult::Success) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(loaded.rowCount());
    }
    removeFiles(file);
}
BENCHMARK(BM_LoadProgram5000Rows)->Unit(benchmark::kMillisecond);

void BM_ReadProgramInMemory5000Rows(benchmark::State& state) {
    const document::LadderDocument program = bigProgram();
    std::ostringstream codes;
    std::ostringstream texts;
    if (!document::writeProgram(program, codes, texts))
        return;
    const std::string codeBytes = codes.str();
    const std::string textBytes = texts.str();
    document::LadderDocument loaded;
    for (auto _ : state) {
        benchmark::DoNotOptimize(document::readProgram(loaded, codeBytes, textBytes));
    }
}
BENCHMARK(BM_ReadProgramInMemory5000Rows)->Unit(benchmark::kMillisecond);

}  // namespace
