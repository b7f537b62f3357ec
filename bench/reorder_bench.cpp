// Timing of reordering a full directory (144 files) end to end in the engine: the image
// opened, every listed slot rewritten in a new order, the image saved.
#include "Reorder.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <string>
#include <unistd.h>

namespace {

// A 144-file image (names in descending order) in a folder of the run's own.
std::string FullDirectory() {
    static const std::string Path = [] {
        std::string Template = (std::filesystem::temp_directory_path() / "kbm-reorder-XXXXXX").string();
        const std::string Dir = mkdtemp(Template.data());
        static const std::string Removed = Dir;
        std::atexit([] { std::filesystem::remove_all(Removed); });
        const std::string Image = Dir + "/dir144.d64";
        auto Disk = TC64Disk::CreateDiskImage(Image, dt35Tracks, deCbmDos);
        Disk->BeginUpdate();
        for (int i = 143; i >= 0; --i) {
            uint8_t Entry[32] = {0, 0, 0x82};
            StringToPetscii("FILE " + std::to_string(1000 + i), Entry + 5, 15);
            Entry[30] = 1;
            Disk->AddFile(ByteArray(200, static_cast<uint8_t>(i)), Entry);
        }
        Disk->EndUpdate(true);
        return Image;
    }();
    return Path;
}

// Open, reverse the whole directory, save: every slot changes each time.
void BM_ReverseFullDirectory(benchmark::State& State) {
    const std::string Image = FullDirectory();
    std::vector<size_t> Reversed(144);
    std::iota(Reversed.rbegin(), Reversed.rend(), 0);
    for (auto _ : State) {
        auto Disk = TC64Disk::OpenDiskImage(Image, deCbmDos);
        ReorderDirectory(*Disk, Reversed);
    }
}
BENCHMARK(BM_ReverseFullDirectory)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
