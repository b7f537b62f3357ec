// Host file writes that must never lose the old contents: in-place writes reserved and
// journaled, interrupted ones restored on open, temporary files private and cleaned up.
#include "hostfile.h"
#include "TestImage.h"

#include <cstdlib>
#include <map>
#include <set>
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
    std::set<std::string> Names(const std::string& Folder) {
        std::set<std::string> Found;
        for (const auto& Item : std::filesystem::directory_iterator(Folder))
            Found.insert(Item.path().filename().string());
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
    FailNth("fallocate", 1, ENOSPC);
    EXPECT_THROW_MSG(HostFile::ReplaceWhole(Path, New.data(), New.size()), std::system_error,
                     "Can't write file \"" + Path + "\": No space left on device");
    EXPECT_EQ(ReadHostFile(Path), Old);
    // A write failing half way (the journal is write 1): the old bytes are put back.
    FailNth("write", 3, EIO);
    EXPECT_THROW(HostFile::ReplaceWhole(Path, New.data(), New.size()), std::system_error);
    EXPECT_EQ(ReadHostFile(Path), Old);
    EXPECT_EQ(Names(Dir.Path("")), (std::set<std::string>{"link.prg", "out.prg"}));
    // A file system that cannot reserve gets the new end written first.
    FailNth("fallocate", 1, EOPNOTSUPP);
    HostFile::ReplaceWhole(Path, New.data(), New.size());
    EXPECT_EQ(ReadHostFile(Dir.Path("link.prg")), New);
}

TEST_F(HostFileTest, InPlaceSaveKilledHalfWayIsRestoredOnOpen) {
    const std::string Path = Dir.Path("a.d64");
    NewImage(Path);
    ASSERT_EQ(link(Path.c_str(), Dir.Path("b.d64").c_str()), 0);
    const ByteArray Old = ReadHostFile(Path);
    if (fork() == 0) {
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
    wait(&Status);
    ASSERT_EQ(WEXITSTATUS(Status), 9);
    ASSERT_NE(ReadHostFile(Path), Old) << "the save was not cut short";

    // Every name of the image finds the journal.
    auto Disk = TC64Disk::OpenDiskImage(Dir.Path("b.d64"), deCbmDos);
    EXPECT_EQ(ReadHostFile(Path), Old);
    EXPECT_EQ(ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()), Old);
    EXPECT_EQ(Notes, std::vector<std::string>{"An interrupted save to " + Dir.Path("b.d64") +
                                              " was undone: the diskimage was restored from its journal."});
    EXPECT_EQ(Names(Dir.Path("")), (std::set<std::string>{"a.d64", "b.d64"}));
}

TEST_F(HostFileTest, TemporaryFilesArePrivateStaleOnesRemovedFolderSyncChecked) {
    const std::string Path = Dir.Path("p.d64");
    WriteHostFile(Path, Pattern(100));
    chmod(Path.c_str(), 0644);
    // The temporary file is the owner's alone while written, the image's mode after.
    std::vector<std::filesystem::perms> Modes;
    HostFile::SetFaultHook([&](const char* Op) {
        for (const auto& Item : std::filesystem::directory_iterator(Dir.Path("")))
            if (std::string(Op) == "write" && Item.path().filename().string().starts_with(".p.d64.kbm-"))
                Modes.push_back(Item.status().permissions());
        return 0;
    });
    HostFile::ReplaceWhole(Path, Pattern(200).data(), 200);
    EXPECT_EQ(Modes, std::vector<std::filesystem::perms>{std::filesystem::perms(0600)});
    EXPECT_EQ(std::filesystem::status(Path).permissions(), std::filesystem::perms(0644));

    // Left by killed programs: a file and a folder. In use: a live one. Not ours: notes.
    const std::string Prefix = Dir.Path(HostFile::TemporaryPrefix("p.d64"));
    WriteHostFile(Prefix + "Stale1", Pattern(10));
    std::filesystem::create_directory(Prefix + "Stale2");
    WriteHostFile(Prefix + "Stale2/p.d64", Pattern(10));
    HostFile::TTemporary Live(Prefix + "XXXXXX", HostFile::TTemporary::TKind::File);
    WriteHostFile(Prefix + "notes", Pattern(10));
    HostFile::RemoveStaleTemporaries(Dir.Path(""), {HostFile::TemporaryPrefix("p.d64")});
    const std::string LiveName = std::filesystem::path(Live.Path()).filename().string();
    EXPECT_EQ(Names(Dir.Path("")), (std::set<std::string>{LiveName, ".p.d64.kbm-notes", "p.d64"}));

    FailNth("fsyncdir", 1, EIO);
    EXPECT_THROW_MSG(HostFile::ReplaceWhole(Path, Pattern(10).data(), 10), std::system_error,
                     "Can't sync folder \"" + Dir.Path("") + "\": Input/output error");
}

} // namespace

// A batch of replaces: nothing takes its name before the commit; a file whose sync fails
// keeps its old contents while the others land; a path added twice gets the later bytes.
TEST_F(HostFileTest, BatchSyncsEveryFileBeforeItsRenameAndTheFolderOnce) {
    const std::string A = Dir.Path("a.prg"), B = Dir.Path("b.prg"), C = Dir.Path("c.prg");
    WriteHostFile(B, Pattern(7));
    WriteHostFile(C, Pattern(8));
    {
        HostFile::TReplaceBatch Dropped;
        Dropped.Add(A, Pattern(10).data(), 10);
    }
    EXPECT_EQ(Names(Dir.Path("")), (std::set<std::string>{"b.prg", "c.prg"}));

    std::map<std::string, int> Calls;
    HostFile::SetFaultHook(
        [&Calls](const char* Op) { return ++Calls[Op] == 2 && std::string(Op) == "fsync" ? EIO : 0; });
    HostFile::TReplaceBatch Batch;
    Batch.Add(A, Pattern(300).data(), 300);
    Batch.Add(B, Pattern(400).data(), 400);
    Batch.Add(C, Pattern(5).data(), 5);
    Batch.Add(C, Pattern(500).data(), 500);
    EXPECT_EQ(ReadHostFile(B), Pattern(7));
    EXPECT_FALSE(HostFile::Exists(A));
    EXPECT_THROW_MSG(Batch.Commit(), std::system_error, "Can't write file \"" + B + "\": Input/output error");
    EXPECT_EQ(Calls["fsync"], 3);
    EXPECT_EQ(Calls["fsyncdir"], 1);
    EXPECT_EQ(ReadHostFile(A), Pattern(300));
    EXPECT_EQ(ReadHostFile(B), Pattern(7));
    EXPECT_EQ(ReadHostFile(C), Pattern(500));
    EXPECT_EQ(Names(Dir.Path("")), (std::set<std::string>{"a.prg", "b.prg", "c.prg"}));
}
