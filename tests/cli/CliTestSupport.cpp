// Helpers for the d64tool tests.
#include "CliTestSupport.h"

#include "Commands.h"
#include "d64.h"

#include <fstream>
#include <random>
#include <sstream>
#include <unistd.h>

namespace cli_test {

TTempDir::TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "d64tool-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    Dir = pattern;
}

TTempDir::~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(Dir, ec);
}

TRunResult RunTool(const std::vector<std::string>& Args) {
    std::ostringstream out, err;
    TRunResult result;
    result.Status = RunD64Tool(Args, out, err);
    result.Out = out.str();
    result.Err = err.str();
    return result;
}

ByteArray ReadBytes(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    return ByteArray(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& Path, const ByteArray& Bytes) {
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
}

ByteArray RandomBytes(size_t Size, unsigned Seed) {
    std::mt19937 gen(Seed);
    ByteArray bytes(Size);
    for (auto& b : bytes)
        b = static_cast<uint8_t>(gen());
    return bytes;
}

uint32_t SectorOffset(int Track, int Sector) {
    return TD64::TrackOffset(Track) + 256u * Sector;
}

ByteArray DirEntryBytes(const ByteArray& Image, int Sector, int Slot) {
    const auto start = Image.begin() + SectorOffset(18, Sector) + 32 * Slot;
    return ByteArray(start, start + 32);
}

std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> lines;
    std::istringstream in(Text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace cli_test
