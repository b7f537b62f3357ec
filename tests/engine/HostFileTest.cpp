// Host file writes that must never lose the old contents: in-place writes reserved and
// journaled, interrupted ones restored on open, temporary files private and cleaned up.
#include "hostfile.h"
#include "TestImage.h"

#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

using namespace testing_support;

namespace {

class HostFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("XDG_STATE_HOME", Dir.Path("state").c_str(), 1);
        TC64Disk::SetNotifyHook([this](const std::string& Text) { Notes.push_back(Text); });
    }
    void TearDown() override {
        HostFile::SetFaultHook(nullptr);
        TC64Disk::SetNotifyHook(nullptr);
        unsetenv("XDG_STATE_HOME");
    }
    // The names in a folder, sorted.
    std::vector<std::string> Names(const std::string& Folder) {
        std::vector<std::string> Found;
        for (const auto& Item : std::filesystem::directory_iterator(Folder))
            Found.push_back(Item.path().filename().string());
        std::sort(Found.begin(), Found.end());
        return Found;
    }
    // Fails the Nth call of Operation (counting from 1) with Error.
    void FailNth(const std::string& Operation, int Nth, int Error) {
        HostFile::SetFaultHook(
            [=, Calls = 0](const char* Op) mutable { return Operation == Op && ++Calls == Nth ? Error : 0; });
    }
    TTempDir Dir;
    std::vector<std::string> Notes;
};

TEST_F(HostFileTest, InPlaceWriteThatRunsOutOfSpaceKeepsTheOldFile) {
    // A second hard link makes the replace write in place.
    const std::string Path = Dir.Path("out.prg");
    const ByteArray Old(5000, 0x55), New = Pattern(9000);
    WriteHostFile(Path, Old);
    ASSERT_EQ(link(Path.c_str(), Dir.Path("link.prg").c_str()), 0);
    const std::vector<std::string> Files = {"link.prg", "out.prg"};

    // No room for the new size: nothing is written at all.
    FailNth("fallocate", 1, ENOSPC);
    EXPECT_THROW_MSG(HostFile::ReplaceWhole(Path, New.data(), New.size()), std::system_error,
                     "Can't write file \"" + Path + "\": No space left on device");
    EXPECT_EQ(ReadHostFile(Path), Old);
    EXPECT_EQ(Names(Dir.Path("")), Files);

    // A write failing half way (the journal is write 1): the old bytes are put back.
    FailNth("write", 3, EIO);
    EXPECT_THROW(HostFile::ReplaceWhole(Path, New.data(), New.size()), std::system_error);
    EXPECT_EQ(ReadHostFile(Path), Old);
    EXPECT_EQ(Names(Dir.Path("")), Files);

    // A file system that cannot reserve gets the new end written first.
    FailNth("fallocate", 1, EOPNOTSUPP);
    HostFile::ReplaceWhole(Path, New.data(), New.size());
    EXPECT_EQ(ReadHostFile(Dir.Path("link.prg")), New);
    EXPECT_EQ(Names(Dir.Path("")), Files);
}

TEST_F(HostFileTest, InPlaceSaveKilledHalfWayIsRestoredOnOpen) {
    // Beside the image, and in the state folder where the beside one cannot be made.
    for (bool Beside : {true, false}) {
        TTempDir Folder;
        const std::string Path = Folder.Path("a.d64");
        NewImage(Path);
        ASSERT_EQ(link(Path.c_str(), Folder.Path("b.d64").c_str()), 0);
        struct stat St;
        stat(Path.c_str(), &St);
        const std::string Journal =
            ".kbm-journal-" + std::to_string(St.st_dev) + "-" + std::to_string(St.st_ino);
        if (!Beside) std::filesystem::create_directory(Folder.Path(Journal));
        const ByteArray Old = ReadHostFile(Path);
        const pid_t Child = fork();
        if (Child == 0) {
            // Dies as if killed before its second in-place write (the journal is write 1).
            HostFile::SetFaultHook([Calls = 0](const char* Op) mutable {
                if (std::string(Op) == "write" && ++Calls == 3) _exit(9);
                return 0;
            });
            auto Disk = TC64Disk::OpenDiskImage(Path, deCbmDos);
            Disk->BeginUpdate();
            Disk->WriteSectorData(MakeTrackSector(1, 0), 0, ByteArray(254, 0xEE));
            Disk->SetDiskName("TORN");
            Disk->EndUpdate(true);
            _exit(0);
        }
        int Status = 0;
        waitpid(Child, &Status, 0);
        ASSERT_EQ(WEXITSTATUS(Status), 9);
        ASSERT_NE(ReadHostFile(Path), Old) << "the save was not cut short";

        Notes.clear();
        auto Disk = TC64Disk::OpenDiskImage(Folder.Path("b.d64"), deCbmDos);
        EXPECT_EQ(ReadHostFile(Path), Old) << Beside;
        EXPECT_EQ(ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()), Old);
        EXPECT_EQ(Notes,
                  std::vector<std::string>{"An interrupted save to " + Folder.Path("b.d64") +
                                           " was undone: the diskimage was restored from its journal."});
        EXPECT_FALSE(HostFile::HasInterruptedWrite(Path));
    }
}

TEST_F(HostFileTest, TemporaryFilesArePrivateAndStaleOnesAreRemoved) {
    const std::string Path = Dir.Path("p.d64");
    WriteHostFile(Path, Pattern(100));
    chmod(Path.c_str(), 0644);
    // The temporary file is the owner's alone while written, the image's mode after.
    std::vector<mode_t> Modes;
    HostFile::SetFaultHook([&](const char* Op) {
        for (const auto& Item : std::filesystem::directory_iterator(Dir.Path("")))
            if (std::string(Op) == "write" && Item.path().filename().string().starts_with(".p.d64.kbm-"))
                Modes.push_back(static_cast<mode_t>(Item.status().permissions()));
        return 0;
    });
    HostFile::ReplaceWhole(Path, Pattern(200).data(), 200);
    EXPECT_EQ(Modes, std::vector<mode_t>{0600});
    struct stat St;
    stat(Path.c_str(), &St);
    EXPECT_EQ(St.st_mode & 0777, 0644u);

    // Left by killed programs: a file and a folder. In use: a live one. Not ours: the rest.
    const std::string Prefix = Dir.Path(HostFile::TemporaryPrefix("p.d64"));
    WriteHostFile(Prefix + "Stale1", Pattern(10));
    std::filesystem::create_directory(Prefix + "Stale2");
    WriteHostFile(Prefix + "Stale2/p.d64", Pattern(10));
    HostFile::TTemporary Live(Prefix + "XXXXXX", HostFile::TTemporary::TKind::File);
    WriteHostFile(Prefix + "notes", Pattern(10));
    HostFile::RemoveStaleTemporaries(Dir.Path(""), {HostFile::TemporaryPrefix("p.d64")});
    const std::string LiveName = std::filesystem::path(Live.Path()).filename().string();
    EXPECT_EQ(Names(Dir.Path("")), (std::vector<std::string>{LiveName, ".p.d64.kbm-notes", "p.d64"}));
}

TEST_F(HostFileTest, FailingFolderSyncIsReported) {
    const std::string Path = Dir.Path("s.d64");
    FailNth("fsyncdir", 1, EIO);
    EXPECT_THROW_MSG(HostFile::ReplaceWhole(Path, Pattern(10).data(), 10), std::system_error,
                     "Can't sync folder \"" + Dir.Path("") + "\": Input/output error");
}

} // namespace
