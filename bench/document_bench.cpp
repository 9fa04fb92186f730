// Saving and loading a 5,000-row program, through files and in memory.
#include "document/ladder_document.h"
#include "document/program_file.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>

namespace {

constexpr int kRows = 5000;

// A dense program: every row a rung of contacts with operands and descriptions, and a coil.
document::LadderDocument bigProgram() {
    document::LadderDocument program;
    program.AddRows(kRows - program.rowCount());
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < 9; ++col) {
            program.SetCellCode(row, col, col % 3 == 0 ? 101 : 1);
            program.SetCellText(row, col,
                                "#A%I" + std::to_string(1000 + col) + "#1opis#2\xB3\xF3\x64\xBC#");
        }
        program.SetCellCode(row, 9, 3);
        program.SetCellText(row, 9, "#A%Q0001#");
    }
    return program;
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
