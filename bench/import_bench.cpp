// Timing of an import as the window and d64tool run it: 144 one-block host files (a full
// directory) read, named, planned and written into an empty image in one save.
#include "ImportPlan.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string BenchDir() {
    static const std::string Dir = [] {
        std::string Template = (std::filesystem::temp_directory_path() / "kbm-import-bench-XXXXXX").string();
        return std::string(mkdtemp(Template.data()));
    }();
    static const bool RemovedAtExit = std::atexit([] { std::filesystem::remove_all(BenchDir()); }) == 0;
    (void)RemovedAtExit;
    return Dir;
}

void ImportFullDirectory(benchmark::State& State) {
    std::vector<std::string> Paths;
    for (int i = 0; i < 144; ++i) {
        Paths.push_back(BenchDir() + "/file" + std::to_string(i) + ".prg");
        std::ofstream(Paths.back(), std::ios::binary) << std::string(200, static_cast<char>(i));
    }
    const std::string Image = BenchDir() + "/empty.d64";
    for (auto _ : State) {
        State.PauseTiming();
        TC64Disk::CreateDiskImage(Image, dt35Tracks, deCbmDos)->Save();
        State.ResumeTiming();
        auto Disk = TC64Disk::OpenDiskImage(Image, deCbmDos);
        std::vector<TImportFile> Files;
        for (const std::string& Path : Paths)
            for (TImportFile& File : ReadHostFile(Path, true))
                Files.push_back(std::move(File));
        const TImportPlan Plan =
            PlanImport(*Disk, std::move(Files), [](const PetsciiString&) { return TSameName::Skip; });
        benchmark::DoNotOptimize(RunImport(*Disk, Plan));
    }
}
BENCHMARK(ImportFullDirectory)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
