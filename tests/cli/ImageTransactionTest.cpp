// The locks and scratch copies of the commands that change an image.
#include "ImageTransaction.h"
#include "CliTestSupport.h"

#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

using namespace cli_test;

TEST(ImageTransactionTest, ImageReplacedAgainAndAgainIsWaitedForUntilTheTimeLimit) {
    TTempDir dir;
    const std::string Path = dir.Path("busy.d64");
    ASSERT_EQ(RunTool({"format", Path}).Status, 0);
    const ByteArray Bytes = ReadBytes(Path);
    // For two seconds another program replaces the image every few milliseconds, the new
    // file locked before it takes the name: each lock this program gets is on a file
    // already replaced, far more than a hundred times.
    std::atomic<bool> Started = false;
    std::thread Replacer([&] {
        int Held = open(Path.c_str(), O_RDONLY);
        flock(Held, LOCK_EX);
        Started = true;
        for (const auto End = std::chrono::steady_clock::now() + std::chrono::seconds(2);
             std::chrono::steady_clock::now() < End;) {
            WriteBytes(Path + ".next", Bytes);
            const int Next = open((Path + ".next").c_str(), O_RDONLY);
            flock(Next, LOCK_EX);
            rename((Path + ".next").c_str(), Path.c_str());
            close(Held);
            Held = Next;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        close(Held);
    });
    while (!Started)
        std::this_thread::yield();
    std::ostringstream Err;
    std::unique_ptr<TC64Disk> Disk;
    EXPECT_NO_THROW(Disk = OpenImage(Path, std::nullopt, Err));
    Replacer.join();
    EXPECT_TRUE(Disk);
    EXPECT_EQ(Err.str(), "d64tool: waiting for " + Path + ", which another program is using\n");
}

TEST(ImageTransactionTest, ScratchCopyIsPrivateAndOutOfTheTemporaryFolder) {
    TTempDir dir;
    std::filesystem::create_directory(dir.Path("run"));
    setenv("XDG_RUNTIME_DIR", dir.Path("run").c_str(), 1);
    {
        // The image's folder takes no new files (here: it does not exist).
        TScratchFile Scratch(dir.Path("gone/x.d64"));
        unsetenv("XDG_RUNTIME_DIR");
        EXPECT_EQ(Scratch.Path().parent_path().parent_path(), dir.Path("run"));
        EXPECT_EQ(std::filesystem::status(Scratch.Path().parent_path()).permissions(),
                  std::filesystem::perms(0700));
        auto Disk = TC64Disk::CreateDiskImage(dir.Path("x.d64"), dt35Tracks, deCbmDos);
        Disk->SaveToFile(Scratch.Path().string());
        EXPECT_EQ(std::filesystem::status(Scratch.Path()).permissions(), std::filesystem::perms(0600));
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("run")));
}
