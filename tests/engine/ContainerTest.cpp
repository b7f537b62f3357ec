// Opening images by size, sector access, soft write protection, write-through and saving.
#include "TestImage.h"
#include "hostfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

using namespace testing_support;

namespace {

class ContainerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TC64Disk::SetNotifyHook([this](const std::string& Text) { Notes.push_back(Text); });
    }
    void TearDown() override {
        TC64Disk::SetNotifyHook(nullptr);
        HostFile::SetFaultHook(nullptr);
    }
    std::string MakeFile(const std::string& Name, size_t Size, const std::string& Head = "") {
        ByteArray Bytes(Size, 0);
        std::copy(Head.begin(), Head.end(), Bytes.begin());
        WriteHostFile(Dir.Path(Name), Bytes);
        return Dir.Path(Name);
    }
    TTempDir Dir;
    std::vector<std::string> Notes;
};

TEST_F(ContainerTest, FileSizeSelectsDiskType) {
    struct Case {
        size_t Size;
        TDiskType Type;
        TDosEmulation Emulation;
        int Tracks;
    };
    for (Case c :
         {Case{174848, dt35Tracks, deCbmDos, 35}, Case{175531, dt35TracksErrorInfo, deCbmDos, 35},
          Case{196608, dt40Tracks, deSpeedDos, 40}, Case{197376, dt40TracksErrorInfo, deSpeedDos, 40}}) {
        auto Disk = TC64Disk::OpenDiskImage(MakeFile("x.d64", c.Size), deCbmDos);
        ASSERT_TRUE(Disk);
        EXPECT_EQ(Disk->DiskType(), c.Type);
        EXPECT_EQ(Disk->ImageSize(), c.Size);
        EXPECT_EQ(Disk->DosEmulation(), c.Emulation);
        EXPECT_EQ(Disk->GetTrackCount(), c.Tracks);
        EXPECT_TRUE(Disk->IgnoreSoftWriteProtection);
    }
}

TEST_F(ContainerTest, UnsupportedKindsNotifyAndGiveNoDisk) {
    EXPECT_FALSE(TC64Disk::OpenDiskImage(MakeFile("d.g64", 1000, "GCR-1541"), deCbmDos));
    EXPECT_EQ(Notes, (std::vector<std::string>{"G64 disks not supported yet!"}));
}

TEST_F(ContainerTest, BadFilesAreRefusedWithTheirMessages) {
    EXPECT_THROW_MSG(TC64Disk::OpenDiskImage(MakeFile("e.bin", 1000, "GCR-1540"), deCbmDos),
                     EC64DiskException, "Unknown diskformat!");
    EXPECT_THROW_MSG(TC64Disk::OpenDiskImage(MakeFile("f.bin", 0), deCbmDos), EC64DiskException,
                     "Unknown diskformat!");
    EXPECT_THROW_MSG(TC64Disk::OpenDiskImage(Dir.Path("missing.d64"), deCbmDos), EC64DiskException,
                     "Can't find specified diskimage!");
    // A folder or a pipe is no image, and opening a pipe must not block.
    std::filesystem::create_directory(Dir.Path("folder.d64"));
    EXPECT_THROW_MSG(TC64Disk::OpenDiskImage(Dir.Path("folder.d64"), deCbmDos), EC64DiskException,
                     "Unknown diskformat!");
    ASSERT_EQ(mkfifo(Dir.Path("pipe.d64").c_str(), 0600), 0);
    EXPECT_THROW_MSG(TC64Disk::OpenDiskImage(Dir.Path("pipe.d64"), deCbmDos), EC64DiskException,
                     "Unknown diskformat!");
    EXPECT_THROW_MSG(TD64(MakeFile("g.d64", 174848), dePrologicDos), EC64DiskException,
                     "Can't create PrologicDos disk!");
    EXPECT_THROW_MSG(TD64("", deCbmDos), EC64DiskException, "No Filename specified!");
    EXPECT_THROW_MSG(TD64(MakeFile("h.d64", 174847), deCbmDos), EC64DiskException, "Format unsupported!");
}

TEST_F(ContainerTest, ReadErrorsAndLocksReachTheCaller) {
    const std::string Path = MakeFile("x.d64", 174848);
    HostFile::SetFaultHook([](const char* Op) { return std::string(Op) == "read" ? EIO : 0; });
    EXPECT_THROW(TC64Disk::OpenDiskImage(Path, deCbmDos), std::system_error);
    // The file is cut short between measuring and reading it: the header read gets its
    // 8 bytes, the image read gets nothing.
    int Reads = 0;
    HostFile::SetFaultHook(
        [&](const char* Op) { return std::string(Op) == "read" && ++Reads > 1 ? HostFile::EndOfFile : 0; });
    EXPECT_THROW_MSG(TC64Disk::OpenDiskImage(Path, deCbmDos), EC64DiskException,
                     "Error while reading: " + Path);
    HostFile::SetFaultHook(nullptr);

    // Another program writing the image holds an exclusive lock.
    int Fd = open(Path.c_str(), O_RDWR);
    ASSERT_EQ(flock(Fd, LOCK_EX), 0);
    EXPECT_THROW(TC64Disk::OpenDiskImage(Path, deCbmDos), std::system_error);
    close(Fd);
    EXPECT_TRUE(TC64Disk::OpenDiskImage(Path, deCbmDos));
}

TEST_F(ContainerTest, SectorAccessFollowsTheGeometry) {
    auto Disk35 = NewImage(Dir.Path("a.d64"));
    auto Disk40 = NewImage(Dir.Path("b.d64"), dt40Tracks, deSpeedDos);
    EXPECT_THROW_MSG(Disk35->GetSector(MakeTrackSector(36, 0)), EC64DiskException,
                     "Illegal Track/Sector value T:36/S:0");
    EXPECT_EQ(Disk40->GetSector(MakeTrackSector(36, 0)) - Disk40->Image(), 174848);
    EXPECT_EQ(Disk40->GetSector(MakeTrackSector(40, 16)) - Disk40->Image(), 192256 + 16 * 256);
    EXPECT_THROW_MSG(Disk35->GetSector(MakeTrackSector(18, 19)), EC64DiskException,
                     "Illegal Track/Sector value T:18/S:19");
    EXPECT_EQ(Disk35->GetSector(MakeTrackSector(17, 20)) - Disk35->Image(), 91392 - 256);
    EXPECT_EQ(Disk35->GetSector(MakeTrackSector(31, 0)) - Disk35->Image(), 153088);
    EXPECT_THROW_MSG(Disk35->GetSector(MakeTrackSector(0, 0)), EC64DiskException,
                     "Illegal Track/Sector value T:0/S:0");
    EXPECT_THROW_MSG(Disk40->GetSector(MakeTrackSector(41, 0)), EC64DiskException,
                     "Illegal Track/Sector value T:41/S:0");
    EXPECT_THROW_MSG(Disk40->GetSector(MakeTrackSector(36, 17)), EC64DiskException,
                     "Illegal Track/Sector value T:36/S:17");
    EXPECT_THROW_MSG(Disk35->WriteSector(MakeTrackSector(1, 0), nullptr), EC64DiskException,
                     "WriteSector(): sector pointer is null!");
}

TEST_F(ContainerTest, SoftWriteProtectionRefusesBeforeAnyChange) {
    const std::string Path = Dir.Path("p.d64");
    auto Disk = NewImage(Path);
    Disk->SetSoftWriteProtected(true);
    EXPECT_TRUE(Disk->IsSoftWriteProtected());
    EXPECT_EQ(ReadHostFile(Path)[91392 + 2], 0x01);
    const ByteArray Before = ReadHostFile(Path);

    Disk->IgnoreSoftWriteProtection = false;
    EXPECT_THROW_MSG(Disk->SetDiskName("NEW"), EC64DiskException, "Disk is Soft Write Protected!");
    EXPECT_THROW_MSG(Disk->WriteSectorData(MakeTrackSector(1, 0), 0, ByteArray(254, 1)), EC64DiskException,
                     "Disk is Soft Write Protected!");
    EXPECT_THROW_MSG(Disk->SetSectorUsed(MakeTrackSector(1, 0), true), EC64DiskException,
                     "Disk is Soft Write Protected!");
    EXPECT_THROW_MSG(Disk->SetFreeBlocks(3), EC64DiskException, "Disk is Soft Write Protected!");
    EXPECT_THROW_MSG(Disk->EndUpdate(true), EC64DiskException, "Disk is Soft Write Protected!");
    EXPECT_EQ(Disk->GetDiskName(), "KOBALTMANDREXIS");
    EXPECT_EQ(ReadHostFile(Path), Before);

    Disk->IgnoreSoftWriteProtection = true;
    Disk->SetDiskName("NEW");
    EXPECT_EQ(ReadHostFile(Path)[91392 + 144], 'N');
    EXPECT_EQ(ReadHostFile(Path)[91392 + 2], 0x01);

    // Protection can always be lifted.
    Disk->IgnoreSoftWriteProtection = false;
    Disk->SetSoftWriteProtected(false);
    EXPECT_FALSE(Disk->IsSoftWriteProtected());
    EXPECT_EQ(ReadHostFile(Path)[91392 + 2], 0x41);
}

TEST_F(ContainerTest, WritingASectorRewritesOnlyItsTrack) {
    const std::string Path = Dir.Path("e.d64");
    auto Disk = NewImage(Path, dt35TracksErrorInfo);
    for (size_t i = 174848; i < 175531; ++i)
        const_cast<uint8_t*>(Disk->Image())[i] = static_cast<uint8_t>(i);
    Disk->Save();
    struct stat Before;
    stat(Path.c_str(), &Before);
    const ByteArray File = ReadHostFile(Path);

    Disk->WriteSectorData(MakeTrackSector(1, 0), MakeTrackSector(0, 4), ByteArray{1, 2, 3});
    ByteArray After = ReadHostFile(Path);
    ASSERT_EQ(After.size(), 175531u);
    for (size_t i = 256; i < After.size(); ++i)
        ASSERT_EQ(After[i], File[i]) << "byte " << i;
    EXPECT_EQ(ByteArray(After.begin(), After.begin() + 6), (ByteArray{0, 4, 1, 2, 3, 0}));
    struct stat Now;
    stat(Path.c_str(), &Now);
    EXPECT_EQ(Now.st_ino, Before.st_ino); // written in place, not replaced
}

TEST_F(ContainerTest, ChangesByOtherProgramsAreNeverOverwritten) {
    const std::string Path = Dir.Path("shared.d64");
    auto Disk = NewImage(Path);
    AddTestFile(*Disk, "MINE", Pattern(300));

    // Another program writes the file in place, then replaces it by a rename.
    for (bool Replace : {false, true}) {
        ByteArray Theirs = ReadHostFile(Path);
        Theirs[Offset(3, 0)] ^= 0xFF;
        if (Replace) {
            WriteHostFile(Path + ".new", Theirs);
            std::filesystem::rename(Path + ".new", Path);
        } else {
            WriteHostFile(Path, Theirs);
        }
        EXPECT_THROW_MSG(Disk->SetDiskName("LOST?"), EC64DiskChangedException,
                         "The diskimage was changed by another program since it was read!\r\n"
                         "Nothing has been written to it.");
        EXPECT_THROW(AddTestFile(*Disk, "MORE", Pattern(10)), EC64DiskChangedException);
        Disk->BeginUpdate();
        EXPECT_THROW(Disk->EndUpdate(true), EC64DiskChangedException);
        EXPECT_EQ(ReadHostFile(Path), Theirs);
        Disk = TC64Disk::OpenDiskImage(Path, deCbmDos); // reading it again makes it ours
    }

    // Rewriting the same bytes, or touching the file, changes nothing that matters.
    WriteHostFile(Path, ReadHostFile(Path));
    Disk->SetDiskName("STILL MINE");
    EXPECT_EQ(ReadHostFile(Path)[Offset(18, 0) + 144], 'S');
    Disk->BeginUpdate();
    Disk->EndUpdate(true);
    Disk->SetDiskName("AND AGAIN"); // a save records the new version as well
    EXPECT_EQ(ReadHostFile(Path), ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()));
}

TEST_F(ContainerTest, AReplaceWhileWaitingForTheLockIsSeen) {
    const std::string Path = Dir.Path("raced.d64");
    auto Disk = NewImage(Path);
    // Another program holds the lock, and replaces the file by a rename while our write
    // waits for it: the write must not go into the old, unlinked file.
    const int Holder = open(Path.c_str(), O_RDONLY);
    ASSERT_EQ(flock(Holder, LOCK_EX), 0);
    std::exception_ptr Failure;
    std::thread Writer([&] {
        try {
            Disk->SetDiskName("MINE");
        } catch (...) {
            Failure = std::current_exception();
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ByteArray Theirs = ReadHostFile(Path);
    Theirs[Offset(18, 0) + 144] = 'T';
    WriteHostFile(Path + ".new", Theirs);
    std::filesystem::rename(Path + ".new", Path);
    close(Holder);
    Writer.join();
    ASSERT_TRUE(Failure) << "the write went into the replaced file";
    EXPECT_THROW(std::rethrow_exception(Failure), EC64DiskChangedException);
    EXPECT_EQ(ReadHostFile(Path), Theirs);
}

TEST_F(ContainerTest, SavesKeepLinksAndOwnersAndWorkWithoutAWritableFolder) {
    auto SaveChanged = [](TC64Disk& Disk, const char* Name) {
        Disk.BeginUpdate();
        Disk.SetDiskName(Name);
        Disk.EndUpdate(true);
    };
    auto Inode = [](const std::string& Path) {
        struct stat St;
        stat(Path.c_str(), &St);
        return St.st_ino;
    };
    const std::string Path = Dir.Path("a.d64");
    auto Disk = NewImage(Path);

    // No temporary file can be made beside the image (the folder is not the user's).
    HostFile::SetFaultHook([](const char* Op) { return std::string(Op) == "create" ? EACCES : 0; });
    const auto Before = Inode(Path);
    SaveChanged(*Disk, "IN PLACE");
    HostFile::SetFaultHook(nullptr);
    EXPECT_EQ(Inode(Path), Before);
    EXPECT_EQ(ReadHostFile(Path), ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path("")), {}), 1);

    // Another hard link of the image sees the change.
    ASSERT_EQ(link(Path.c_str(), Dir.Path("other-name.d64").c_str()), 0);
    SaveChanged(*Disk, "LINKED");
    EXPECT_EQ(ReadHostFile(Dir.Path("other-name.d64")), ReadHostFile(Path));
    EXPECT_EQ(Inode(Path), Inode(Dir.Path("other-name.d64")));
    unlink(Dir.Path("other-name.d64").c_str());

    // An image that belongs to another user keeps its owner and group.
    if (geteuid() == 0) {
        ASSERT_EQ(chown(Path.c_str(), 65534, 65534), 0);
        SaveChanged(*Disk, "NOT MINE");
        struct stat St;
        stat(Path.c_str(), &St);
        EXPECT_EQ(St.st_uid, 65534u);
        EXPECT_EQ(St.st_gid, 65534u);
        EXPECT_EQ(ReadHostFile(Path)[Offset(18, 0) + 144], 'N');
    }

    // Without an old file and without a writable folder there is nothing to write to.
    HostFile::SetFaultHook([](const char* Op) { return std::string(Op) == "create" ? EACCES : 0; });
    EXPECT_THROW(Disk->SaveToFile(Dir.Path("new.d64")), std::system_error);
}

TEST_F(ContainerTest, UpdateBracketWritesOnceAtTheEnd) {
    const std::string Path = Dir.Path("u.d64");
    auto Disk = NewImage(Path);
    const ByteArray Before = ReadHostFile(Path);
    Disk->BeginUpdate();
    Disk->SetDiskName("BULK");
    Disk->WriteSectorData(MakeTrackSector(5, 0), 0, ByteArray(10, 9));
    Disk->SetSectorUsed(MakeTrackSector(5, 0), true);
    EXPECT_TRUE(Disk->Updating());
    EXPECT_EQ(ReadHostFile(Path), Before);
    Disk->EndUpdate(false);
    EXPECT_EQ(ReadHostFile(Path), Before);
    Disk->BeginUpdate();
    Disk->EndUpdate(true);
    ByteArray After = ReadHostFile(Path);
    EXPECT_EQ(After, ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()));
}

TEST_F(ContainerTest, DeletedImageFileIsRecreatedWhole) {
    const std::string Path = Dir.Path("gone.d64");
    auto Disk = NewImage(Path);
    AddTestFile(*Disk, "KEEP", Pattern(600));
    std::filesystem::remove(Path);
    Disk->SetDiskName("BACK");
    EXPECT_EQ(ReadHostFile(Path), ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()));
}

TEST_F(ContainerTest, FailedSaveLeavesTheOldImage) {
    const std::string Path = Dir.Path("s.d64");
    auto Disk = NewImage(Path);
    const ByteArray Before = ReadHostFile(Path);
    chmod(Path.c_str(), 0640);
    for (const char* Failing : {"write", "fsync", "rename"}) {
        HostFile::SetFaultHook([Failing](const char* Op) { return std::string(Op) == Failing ? ENOSPC : 0; });
        Disk->BeginUpdate();
        Disk->SetDiskName("LOST");
        EXPECT_THROW(Disk->EndUpdate(true), std::system_error) << Failing;
        HostFile::SetFaultHook(nullptr);
        EXPECT_EQ(ReadHostFile(Path), Before) << Failing;
        // No temporary file is left behind.
        int Files = 0;
        for (auto& Item : std::filesystem::directory_iterator(Path.substr(0, Path.rfind('/'))))
            (void)Item, ++Files;
        EXPECT_EQ(Files, 1) << Failing;
    }
    Disk->Save();
    EXPECT_EQ(ReadHostFile(Path)[91392 + 144], 'L');
    struct stat St;
    stat(Path.c_str(), &St);
    EXPECT_EQ(St.st_mode & 0777, 0640u);
}

TEST_F(ContainerTest, SaveThroughASymbolicLinkUpdatesItsTarget) {
    const std::string Target = Dir.Path("real.d64");
    const std::string Link = Dir.Path("link.d64");
    NewImage(Target);
    std::filesystem::create_symlink(Target, Link);
    auto Disk = TC64Disk::OpenDiskImage(Link, deCbmDos);
    Disk->SetDiskName("VIA LINK");
    Disk->Save();
    EXPECT_TRUE(std::filesystem::is_symlink(Link));
    EXPECT_EQ(ReadHostFile(Target)[91392 + 144], 'V');
    EXPECT_EQ(TC64Disk::OpenDiskImage(Target, deCbmDos)->GetDiskName(), "VIA LINK");
}

TEST_F(ContainerTest, SaveNeedsAFileName) {
    auto Disk = NewImage(Dir.Path("n.d64"));
    EXPECT_THROW_MSG(Disk->SaveToFile(""), EC64DiskException, "SaveToFile():No Filename specified!");
    Disk->SaveToFile(Dir.Path("copy.d64"));
    EXPECT_EQ(Disk->FileName(), Dir.Path("copy.d64"));
    EXPECT_EQ(ReadHostFile(Dir.Path("copy.d64")).size(), 174848u);
}

} // namespace
