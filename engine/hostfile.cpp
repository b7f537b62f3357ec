// POSIX implementation of the host file access.
#include "hostfile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace HostFile {
namespace {

TFaultHook FaultHook;

[[noreturn]] void Fail(int Error, const std::string& What, const std::string& Path) {
    throw std::system_error(Error, std::generic_category(), What + " \"" + Path + "\"");
}

// Returns the injected errno for an operation, or 0.
int Injected(const char* Operation) {
    return FaultHook ? FaultHook(Operation) : 0;
}

// Runs one system call, failing with its errno (or an injected one) and the file's name.
template <typename TCall>
void Check(const char* Operation, const std::string& What, const std::string& Path, TCall Call) {
    if (int e = Injected(Operation)) Fail(e, What, Path);
    if (Call() < 0) Fail(errno, What, Path);
}

int64_t Nanoseconds(const timespec& Time) {
    return static_cast<int64_t>(Time.tv_sec) * 1000000000 + Time.tv_nsec;
}

TFileStamp StampOf(const struct stat& St) {
    return TFileStamp{static_cast<uint64_t>(St.st_dev), static_cast<uint64_t>(St.st_ino),
                      static_cast<uint64_t>(St.st_size), Nanoseconds(St.st_mtim), Nanoseconds(St.st_ctim)};
}

struct stat StatOf(int Fd, const std::string& Path) {
    struct stat St;
    if (::fstat(Fd, &St) != 0) Fail(errno, "Can't read file", Path);
    return St;
}

// The files this process holds a command-long lock on.
struct THeld {
    uint64_t Device;
    uint64_t Inode;
    bool Exclusive;
};
std::vector<THeld> HeldLocks;

bool HeldByThisProcess(const struct stat& St, bool Exclusive) {
    return std::any_of(HeldLocks.begin(), HeldLocks.end(), [&](const THeld& Held) {
        return Held.Device == static_cast<uint64_t>(St.st_dev) &&
               Held.Inode == static_cast<uint64_t>(St.st_ino) && (Held.Exclusive || !Exclusive);
    });
}

// Takes a lock, waiting up to Wait while another program holds it; OnWait hears how
// long it has waited so far. The file is closed when this fails.
void LockOrFail(int Fd, int How, const std::string& Path, std::chrono::milliseconds Wait,
                const TLockWaitNote& OnWait = {}) {
    const auto Start = std::chrono::steady_clock::now();
    for (;;) {
        if (::flock(Fd, How | LOCK_NB) == 0) return;
        const int e = errno;
        if (e == EINTR) continue;
        const auto Waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Start);
        if (e == EWOULDBLOCK && Waited < Wait) {
            if (OnWait) OnWait(Waited);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        ::close(Fd);
        if (e == EWOULDBLOCK) Fail(e, "File is locked by another program:", Path);
        Fail(e, "Can't lock file", Path);
    }
}

void WriteAll(int Fd, const uint8_t* Data, size_t Count, uint64_t Offset, const std::string& Path) {
    while (Count > 0) {
        if (int e = Injected("write")) Fail(e, "Can't write file", Path);
        ssize_t n = ::pwrite(Fd, Data, Count, static_cast<off_t>(Offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(errno, "Can't write file", Path);
        }
        Data += n;
        Count -= static_cast<size_t>(n);
        Offset += static_cast<uint64_t>(n);
    }
}

std::string ResolveLinks(const std::string& Path) {
    char Buffer[PATH_MAX];
    struct stat St;
    if (::lstat(Path.c_str(), &St) == 0 && S_ISLNK(St.st_mode) && ::realpath(Path.c_str(), Buffer))
        return Buffer;
    return Path;
}

// True when Path still names the file open as Fd.
bool NamesFile(const std::string& Path, int Fd) {
    struct stat ByName, ByFd;
    return ::stat(Path.c_str(), &ByName) == 0 && ::fstat(Fd, &ByFd) == 0 && ByName.st_dev == ByFd.st_dev &&
           ByName.st_ino == ByFd.st_ino;
}

void SyncFolder(const std::string& Folder) {
    int Dir = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Dir >= 0) {
        ::fsync(Dir);
        ::close(Dir);
    }
}

// Paths of temporary files, in fixed storage a signal handler may read.
constexpr int TempSlots = 8;
char TempPaths[TempSlots][PATH_MAX];
volatile sig_atomic_t TempUsed[TempSlots];

} // namespace

void SetFaultHook(TFaultHook Hook) {
    FaultHook = std::move(Hook);
}

bool Exists(const std::string& Path) {
    struct stat St;
    return ::stat(Path.c_str(), &St) == 0;
}

bool IsRegularFile(const std::string& Path) {
    struct stat St;
    return ::stat(Path.c_str(), &St) == 0 && S_ISREG(St.st_mode);
}

TFile::TFile(const std::string& APath, TMode Mode) : Path(APath) {
    const bool Writing = Mode == TMode::Write;
    // A program that replaced the file by a rename while we waited for its lock leaves
    // us holding the old, unlinked file: take the one the path names now.
    for (int Attempt = 0;; ++Attempt) {
        if (int e = Injected("open")) Fail(e, "Can't open file", Path);
        Fd = ::open(Path.c_str(), (Writing ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
        if (Fd < 0) Fail(errno, "Can't open file", Path);
        struct stat St;
        if (::fstat(Fd, &St) == 0 && HeldByThisProcess(St, Writing)) return;
        LockOrFail(Fd, Writing ? LOCK_EX : LOCK_SH, Path, LockWait); // closes the file when it fails
        if (NamesFile(Path, Fd)) return;
        ::close(Fd);
        Fd = -1;
        if (Attempt == 10) Fail(EAGAIN, "File keeps being replaced by another program:", Path);
    }
}

TFile::~TFile() {
    if (Fd >= 0) ::close(Fd); // closing releases the lock
}

uint64_t TFile::Size() const {
    return static_cast<uint64_t>(StatOf(Fd, Path).st_size);
}

TFileStamp TFile::Stamp() const {
    return StampOf(StatOf(Fd, Path));
}

size_t TFile::Read(uint8_t* Buffer, size_t Count) {
    const size_t n = ReadAt(ReadPosition, Buffer, Count);
    ReadPosition += n;
    return n;
}

size_t TFile::ReadAt(uint64_t Offset, uint8_t* Buffer, size_t Count) {
    size_t Total = 0;
    while (Total < Count) {
        const int e = Injected("read");
        if (e == EndOfFile) break;
        if (e) Fail(e, "Can't read file", Path);
        ssize_t n = ::pread(Fd, Buffer + Total, Count - Total, static_cast<off_t>(Offset + Total));
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(errno, "Can't read file", Path);
        }
        if (n == 0) break;
        Total += static_cast<size_t>(n);
    }
    return Total;
}

void TFile::WriteAt(uint64_t Offset, const uint8_t* Data, size_t Count) {
    WriteAll(Fd, Data, Count, Offset, Path);
}

void TFile::Sync() {
    Check("fsync", "Can't write file", Path, [&] { return ::fsync(Fd); });
}

void TFile::Truncate(uint64_t Size) {
    Check("truncate", "Can't write file", Path, [&] { return ::ftruncate(Fd, static_cast<off_t>(Size)); });
}

uint64_t TKnownVersion::BlockHash(const uint8_t* Data, size_t Count) {
    return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(Data), Count));
}

void TKnownVersion::Forget() {
    FKnown = false;
    FHashes.clear();
}

void TKnownVersion::Record(const TFileStamp& Stamp, const uint8_t* Data, size_t Count) {
    FKnown = true;
    FSize = Count;
    FHashes.clear();
    RecordPart(Stamp, 0, Data, Count);
}

void TKnownVersion::RecordPart(const TFileStamp& Stamp, uint64_t Offset, const uint8_t* Data, size_t Count) {
    if (!FKnown) return;
    FStamp = Stamp;
    FSize = std::max<uint64_t>(FSize, Offset + Count);
    FHashes.resize((FSize + BlockSize - 1) / BlockSize);
    for (size_t Done = 0; Done < Count; Done += BlockSize)
        FHashes[(Offset + Done) / BlockSize] = BlockHash(Data + Done, std::min(BlockSize, Count - Done));
}

bool TKnownVersion::Matches(TFile& File) const {
    if (!FKnown) return false;
    const TFileStamp Now = File.Stamp();
    if (Now == FStamp) return true;
    if (Now.Size != FSize) return false;
    uint8_t Block[BlockSize];
    for (size_t i = 0; i < FHashes.size(); ++i) {
        const size_t n = File.ReadAt(i * BlockSize, Block, BlockSize);
        if (BlockHash(Block, n) != FHashes[i]) return false;
    }
    return true;
}

TFileStamp ReplaceWhole(const std::string& APath, const uint8_t* Data, size_t Count,
                        const TReplaceCheck& CheckOld) {
    const std::string Path = ResolveLinks(APath);
    const auto Slash = Path.find_last_of('/');
    const std::string Folder = Slash == std::string::npos ? std::string(".") : Path.substr(0, Slash + 1);
    const std::string Base = Slash == std::string::npos ? Path : Path.substr(Slash + 1);

    // The old file stays open and locked exclusively until the new one is in place, so
    // that a program reading it under a shared lock is not disturbed half way.
    std::unique_ptr<TFile> Old;
    if (Exists(Path)) Old = std::make_unique<TFile>(Path, TFile::TMode::Write);
    if (Old && CheckOld) CheckOld(*Old);
    struct stat OldSt = {};
    if (Old) OldSt = StatOf(Old->Fd, Path);

    // Keep the permissions of the file being replaced; a new file gets the usual
    // default of 0666 less the umask, as if created directly.
    mode_t Mode;
    if (Old) {
        Mode = OldSt.st_mode & 07777;
    } else {
        mode_t Mask = ::umask(0);
        ::umask(Mask);
        Mode = 0666 & ~Mask;
    }

    // A rename would cut the file off from its other hard links.
    bool InPlace = Old && OldSt.st_nlink > 1;
    std::string Temp = (Folder == "." ? std::string() : Folder) + "." + Base + ".XXXXXX";
    int Fd = -1;
    if (!InPlace) {
        int e = Injected("create");
        if (!e) {
            Fd = ::mkstemp(Temp.data());
            if (Fd < 0) e = errno;
        }
        if (e) {
            // A folder this user may not write to can still hold a file he may write.
            if (!Old) Fail(e, "Can't create file", Path);
            InPlace = true;
        } else {
            RegisterTemporaryFile(Temp);
            struct stat TempSt;
            const bool OtherOwner = ::fstat(Fd, &TempSt) == 0 && Old &&
                                    (TempSt.st_uid != OldSt.st_uid || TempSt.st_gid != OldSt.st_gid);
            // The file keeps its owner and group, or it is not replaced but rewritten.
            if (OtherOwner && ::fchown(Fd, OldSt.st_uid, OldSt.st_gid) != 0) {
                ::close(Fd);
                ::unlink(Temp.c_str());
                UnregisterTemporaryFile(Temp);
                Fd = -1;
                InPlace = true;
            }
        }
    }

    if (InPlace) {
        Old->WriteAt(0, Data, Count);
        if (Old->Size() > Count) Old->Truncate(Count);
        Old->Sync();
        return Old->Stamp();
    }

    TFileStamp Stamp;
    try {
        Check("chmod", "Can't create file", Path, [&] { return ::fchmod(Fd, Mode); });
        WriteAll(Fd, Data, Count, 0, Path);
        Check("fsync", "Can't write file", Path, [&] { return ::fsync(Fd); });
        Check("rename", "Can't replace file", Path, [&] { return ::rename(Temp.c_str(), Path.c_str()); });
        Stamp = StampOf(StatOf(Fd, Path));
    } catch (...) {
        ::close(Fd);
        ::unlink(Temp.c_str());
        UnregisterTemporaryFile(Temp);
        throw;
    }
    ::close(Fd);
    UnregisterTemporaryFile(Temp);
    Old.reset();
    // Make the rename itself durable.
    SyncFolder(Folder);
    return Stamp;
}

THeldLock::THeldLock(const std::string& Path, bool Exclusive, std::chrono::milliseconds Wait,
                     const TLockWaitNote& OnWait)
    : FPath(Path) {
    FFd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (FFd < 0) Fail(errno, "Can't open file", Path);
    LockOrFail(FFd, Exclusive ? LOCK_EX : LOCK_SH, Path, Wait, OnWait);
    const struct stat St = StatOf(FFd, Path);
    FDevice = static_cast<uint64_t>(St.st_dev);
    FInode = static_cast<uint64_t>(St.st_ino);
    HeldLocks.push_back({FDevice, FInode, Exclusive});
}

THeldLock::~THeldLock() {
    for (auto It = HeldLocks.begin(); It != HeldLocks.end(); ++It) {
        if (It->Device == FDevice && It->Inode == FInode) {
            HeldLocks.erase(It);
            break;
        }
    }
    ::close(FFd);
}

bool THeldLock::StillNamesFile() const {
    return NamesFile(FPath, FFd);
}

void RegisterTemporaryFile(const std::string& Path) {
    if (Path.size() >= PATH_MAX) return;
    for (int i = 0; i < TempSlots; ++i) {
        if (!TempUsed[i]) {
            std::memcpy(TempPaths[i], Path.c_str(), Path.size() + 1);
            TempUsed[i] = 1;
            return;
        }
    }
}

void UnregisterTemporaryFile(const std::string& Path) {
    for (int i = 0; i < TempSlots; ++i) {
        if (TempUsed[i] && Path == TempPaths[i]) {
            TempUsed[i] = 0;
            return;
        }
    }
}

void RemoveTemporaryFiles() noexcept {
    for (int i = 0; i < TempSlots; ++i) {
        if (TempUsed[i]) {
            ::unlink(TempPaths[i]);
            TempUsed[i] = 0;
        }
    }
}

} // namespace HostFile
