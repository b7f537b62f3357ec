// POSIX implementation of the host file access.
#include "hostfile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <pthread.h>
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

// A path's folder ("" or ending in '/') and its name in it.
struct TPathParts {
    std::string Folder;
    std::string Base;
};

TPathParts SplitPath(const std::string& Path) {
    const auto Slash = Path.find_last_of('/');
    if (Slash == std::string::npos) return {std::string(), Path};
    return {Path.substr(0, Slash + 1), Path.substr(Slash + 1)};
}

// Makes the renames, creations and removals in a folder durable. A folder that cannot
// be synced is a failure: what was done in it may not survive a power loss.
void SyncFolder(const std::string& Folder) {
    const std::string Name = Folder.empty() ? std::string(".") : Folder;
    int Dir = ::open(Name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Dir < 0) Fail(errno, "Can't sync folder", Name);
    int e = Injected("fsyncdir");
    // EINVAL: a file system that has nothing to sync for folders.
    if (!e && ::fsync(Dir) != 0 && errno != EINVAL) e = errno;
    ::close(Dir);
    if (e) Fail(e, "Can't sync folder", Name);
}

// Holds back the signals that end a command while it lives, so that a handler never
// runs between two steps that belong together.
class TSignalsHeld {
  public:
    TSignalsHeld() {
        sigset_t Set;
        sigemptyset(&Set);
        for (int Signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            sigaddset(&Set, Signal);
        pthread_sigmask(SIG_BLOCK, &Set, &FOld);
    }
    ~TSignalsHeld() { pthread_sigmask(SIG_SETMASK, &FOld, nullptr); }
    TSignalsHeld(const TSignalsHeld&) = delete;
    TSignalsHeld& operator=(const TSignalsHeld&) = delete;

  private:
    sigset_t FOld;
};

// Removes the files in an open folder (not the folder itself).
void EmptyFolder(int DirFd) {
    const int Own = ::dup(DirFd);
    if (Own < 0) return;
    DIR* Dir = ::fdopendir(Own);
    if (!Dir) {
        ::close(Own);
        return;
    }
    while (const dirent* Entry = ::readdir(Dir))
        if (std::strcmp(Entry->d_name, ".") != 0 && std::strcmp(Entry->d_name, "..") != 0)
            ::unlinkat(Own, Entry->d_name, 0);
    ::closedir(Dir);
}

// --- Journals of in-place writes ---
//
// Layout: "KBMJRNL1", the file's device, inode, old size and new size, then records of
// (offset, count, the old bytes there), then the end mark (offset ~0) and an FNV-1a
// hash of everything before it. A journal without a valid end was cut short while being
// written, before the file was touched.

constexpr char JournalMagic[8] = {'K', 'B', 'M', 'J', 'R', 'N', 'L', '1'};
constexpr size_t JournalHeader = 40;
constexpr uint64_t JournalEnd = ~uint64_t{0};

uint64_t Fnv1a(const uint8_t* Data, size_t Count) {
    uint64_t Hash = 14695981039346656037ull;
    for (size_t i = 0; i < Count; ++i)
        Hash = (Hash ^ Data[i]) * 1099511628211ull;
    return Hash;
}

void Put64(std::vector<uint8_t>& Out, uint64_t Value) {
    for (int i = 0; i < 8; ++i)
        Out.push_back(static_cast<uint8_t>(Value >> (8 * i)));
}

uint64_t Get64(const uint8_t* In) {
    uint64_t Value = 0;
    for (int i = 7; i >= 0; --i)
        Value = Value << 8 | In[i];
    return Value;
}

// The parts [from, to) of a file an in-place write changes.
using TRanges = std::vector<std::pair<uint64_t, uint64_t>>;

// The journal of writing Data (Count bytes) over File: the old bytes of every 4 KiB
// block that changes and of the end a shorter file loses. Changed gets the ranges of
// Data to write.
std::vector<uint8_t> BuildJournal(TFile& File, const TFileStamp& St, const uint8_t* Data, size_t Count,
                                  TRanges& Changed) {
    std::vector<uint8_t> Old(static_cast<size_t>(St.Size));
    Old.resize(File.ReadAt(0, Old.data(), Old.size()));
    const uint64_t Common = std::min<uint64_t>(Old.size(), Count);
    constexpr uint64_t Block = 4096;
    for (uint64_t At = 0; At < Common; At += Block) {
        const uint64_t End = std::min(At + Block, Common);
        if (std::memcmp(Old.data() + At, Data + At, End - At) == 0) continue;
        if (!Changed.empty() && Changed.back().second == At)
            Changed.back().second = End;
        else
            Changed.emplace_back(At, End);
    }
    std::vector<uint8_t> Journal(JournalMagic, JournalMagic + sizeof JournalMagic);
    for (uint64_t Value :
         {St.Device, St.Inode, static_cast<uint64_t>(Old.size()), static_cast<uint64_t>(Count)})
        Put64(Journal, Value);
    const auto AddOld = [&](uint64_t From, uint64_t To) {
        Put64(Journal, From);
        Put64(Journal, To - From);
        Journal.insert(Journal.end(), Old.begin() + static_cast<ptrdiff_t>(From),
                       Old.begin() + static_cast<ptrdiff_t>(To));
    };
    for (const auto& [From, To] : Changed)
        AddOld(From, To);
    if (Old.size() > Count) AddOld(Count, Old.size());
    if (Count > Old.size()) Changed.emplace_back(Old.size(), Count);
    Put64(Journal, JournalEnd);
    Put64(Journal, Fnv1a(Journal.data(), Journal.size()));
    return Journal;
}

enum class TJournalState { Incomplete, OtherFile, Valid };

TJournalState CheckJournal(const std::vector<uint8_t>& Journal, const TFileStamp& St) {
    const size_t Size = Journal.size();
    if (Size < JournalHeader || std::memcmp(Journal.data(), JournalMagic, sizeof JournalMagic) != 0)
        return TJournalState::Incomplete;
    for (size_t Pos = JournalHeader;;) {
        if (Size - Pos < 16) return TJournalState::Incomplete;
        if (Get64(&Journal[Pos]) == JournalEnd) {
            if (Size - Pos != 16 || Get64(&Journal[Pos + 8]) != Fnv1a(Journal.data(), Pos + 8))
                return TJournalState::Incomplete;
            break;
        }
        const uint64_t Count = Get64(&Journal[Pos + 8]);
        if (Count > Size - Pos - 16) return TJournalState::Incomplete;
        Pos += 16 + static_cast<size_t>(Count);
    }
    const bool Same = Get64(&Journal[8]) == St.Device && Get64(&Journal[16]) == St.Inode;
    return Same ? TJournalState::Valid : TJournalState::OtherFile;
}

// Puts the old bytes of a valid journal back into File.
void ApplyJournal(const std::vector<uint8_t>& Journal, TFile& File) {
    for (size_t Pos = JournalHeader; Get64(&Journal[Pos]) != JournalEnd;) {
        const uint64_t Count = Get64(&Journal[Pos + 8]);
        File.WriteAt(Get64(&Journal[Pos]), &Journal[Pos + 16], static_cast<size_t>(Count));
        Pos += 16 + static_cast<size_t>(Count);
    }
    File.Truncate(Get64(&Journal[24]));
    File.Sync();
}

// The user's folder for journals of files in folders he may not write, or "".
std::string StateFolder() {
    const char* State = std::getenv("XDG_STATE_HOME");
    if (State && State[0] == '/') return std::string(State) + "/kobaltmandrexis/";
    const char* Home = std::getenv("HOME");
    if (Home && Home[0] == '/') return std::string(Home) + "/.local/state/kobaltmandrexis/";
    return {};
}

// Where a file's journal may be: beside it, or in the state folder. Named after the
// file's device and inode, so that every name of the file finds it.
std::vector<std::string> JournalPlaces(const std::string& Path, const TFileStamp& St) {
    const std::string Name = std::to_string(St.Device) + "-" + std::to_string(St.Inode);
    std::vector<std::string> Places{SplitPath(Path).Folder + ".kbm-journal-" + Name};
    const std::string State = StateFolder();
    if (!State.empty()) Places.push_back(State + Name + ".journal");
    return Places;
}

void MakeFolders(const std::string& Folder) {
    for (size_t Slash = Folder.find('/', 1); Slash != std::string::npos; Slash = Folder.find('/', Slash + 1))
        ::mkdir(Folder.substr(0, Slash).c_str(), 0700);
}

// Writes and syncs a journal for Path, beside it where its folder takes one, else in the
// state folder; returns where. Raises when neither can hold it.
std::string WriteJournal(const std::string& Path, const TFileStamp& St, const std::vector<uint8_t>& Journal) {
    int FirstError = 0;
    for (const std::string& Place : JournalPlaces(Path, St)) {
        const auto Create = [&] {
            return ::open(Place.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
        };
        int Fd = Create();
        if (Fd < 0 && errno == ENOENT) {
            MakeFolders(SplitPath(Place).Folder);
            Fd = Create();
        }
        int e = Fd < 0 ? errno : 0;
        if (Fd >= 0) {
            try {
                WriteAll(Fd, Journal.data(), Journal.size(), 0, Place);
                Check("fsync", "Can't write file", Place, [&] { return ::fsync(Fd); });
            } catch (const std::system_error& Error) {
                e = Error.code().value();
                ::unlink(Place.c_str());
            }
            ::close(Fd);
        }
        if (!e) {
            SyncFolder(SplitPath(Place).Folder);
            return Place;
        }
        if (!FirstError) FirstError = e;
    }
    Fail(FirstError, "Can't write a journal for", Path);
}

void RemoveJournal(const std::string& Place) {
    if (::unlink(Place.c_str()) != 0 && errno != ENOENT) Fail(errno, "Can't remove file", Place);
    SyncFolder(SplitPath(Place).Folder);
}

// Restores File (locked exclusively) from the journal an interrupted write left.
bool RestoreFromJournals(const std::string& Path, TFile& File) {
    const TFileStamp St = File.Stamp();
    struct stat FileSt;
    if (::stat(Path.c_str(), &FileSt) != 0) return false;
    bool Restored = false;
    for (const std::string& Place : JournalPlaces(Path, St)) {
        struct stat JournalSt;
        if (::lstat(Place.c_str(), &JournalSt) != 0 || !S_ISREG(JournalSt.st_mode)) continue;
        // Only a journal this user or the file's owner wrote is trusted with its bytes.
        if (JournalSt.st_uid != ::geteuid() && JournalSt.st_uid != FileSt.st_uid) continue;
        std::vector<uint8_t> Journal;
        {
            TFile In(Place, TFile::TMode::Read);
            Journal.resize(In.Size());
            Journal.resize(In.Read(Journal.data(), Journal.size()));
        }
        const TJournalState State = CheckJournal(Journal, St);
        // A journal of another file that had this name is none of this one's business.
        if (State == TJournalState::OtherFile) continue;
        if (State == TJournalState::Valid) {
            ApplyJournal(Journal, File);
            Restored = true;
        }
        RemoveJournal(Place);
    }
    return Restored;
}

// Writes Data over File in place, so that at every moment either the file or its journal
// holds the old contents whole.
TFileStamp WriteInPlace(const std::string& Path, TFile& File, const uint8_t* Data, size_t Count) {
    // An interrupt waits until the file is whole again.
    TSignalsHeld Held;
    const TFileStamp St = File.Stamp();
    TRanges Changed;
    const std::vector<uint8_t> Journal = BuildJournal(File, St, Data, Count, Changed);
    const std::string Place = WriteJournal(Path, St, Journal);
    try {
        File.Reserve(Data, Count);
        for (const auto& [From, To] : Changed)
            File.WriteAt(From, Data + From, static_cast<size_t>(To - From));
        if (File.Size() > Count) File.Truncate(Count);
        File.Sync();
    } catch (...) {
        // Where even putting the old bytes back fails, the journal stays for the next open.
        try {
            ApplyJournal(Journal, File);
            RemoveJournal(Place);
        } catch (...) {
        }
        throw;
    }
    RemoveJournal(Place);
    return File.Stamp();
}

// Paths of temporary files, in fixed storage a signal handler may read.
// Room for a full batch of replaces and a few more.
constexpr int TempSlots = TReplaceBatch::Limit + 8;
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
    if (Mode == TMode::ReadUnlocked) {
        if (int e = Injected("open")) Fail(e, "Can't open file", Path);
        Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
        if (Fd < 0) Fail(errno, "Can't open file", Path);
        return;
    }
    // A program that replaced the file by a rename while we waited for its lock leaves
    // us holding the old, unlinked file: take the one the path names now, for as long
    // as the wait allows.
    const auto Start = std::chrono::steady_clock::now();
    for (;;) {
        if (int e = Injected("open")) Fail(e, "Can't open file", Path);
        Fd = ::open(Path.c_str(), (Writing ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
        if (Fd < 0) Fail(errno, "Can't open file", Path);
        struct stat St;
        if (::fstat(Fd, &St) == 0 && HeldByThisProcess(St, Writing)) return;
        const auto Waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Start);
        // Closes the file when it fails.
        LockOrFail(Fd, Writing ? LOCK_EX : LOCK_SH, Path,
                   std::max(LockWait - Waited, std::chrono::milliseconds(0)));
        if (NamesFile(Path, Fd)) return;
        ::close(Fd);
        Fd = -1;
        if (std::chrono::steady_clock::now() - Start >= LockWait)
            Fail(EAGAIN, "File keeps being replaced by another program:", Path);
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

void TFile::Reserve(const uint8_t* Data, size_t Count) {
    int e = Injected("fallocate");
    if (!e && Count > 0) {
        do
            e = ::posix_fallocate(Fd, 0, static_cast<off_t>(Count));
        while (e == EINTR);
    }
    if (e == EOPNOTSUPP || e == ENOSYS) {
        const uint64_t End = Size();
        if (Count > End) WriteAll(Fd, Data + End, Count - End, End, Path);
        return;
    }
    if (e) Fail(e, "Can't write file", Path);
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

void TFolderSyncs::Add(const std::string& Folder) {
    if (std::find(FFolders.begin(), FFolders.end(), Folder) == FFolders.end()) FFolders.push_back(Folder);
}

void TFolderSyncs::SyncAll() {
    std::vector<std::string> Folders;
    Folders.swap(FFolders);
    for (const std::string& Folder : Folders)
        SyncFolder(Folder);
}

// The steps of a replace by rename, which the single replace and the batch share.
struct TReplaceSteps {
    // The new contents written to a temporary file, not yet synced nor renamed; the old
    // file open and locked. Without a temporary file when it was written in place.
    struct TReady {
        std::string Path;
        std::string Folder;
        std::unique_ptr<TFile> Old;
        std::unique_ptr<TTemporary> Temp;
        TFileStamp InPlaceStamp;
    };

    // Path has its links resolved.
    static TReady Prepare(const std::string& Path, const uint8_t* Data, size_t Count,
                          const TReplaceCheck& CheckOld) {
        const TPathParts Parts = SplitPath(Path);
        TReady Ready{Path, Parts.Folder, nullptr, nullptr, {}};

        // The old file stays open and locked exclusively until the new one is in place, so
        // that a program reading it under a shared lock is not disturbed half way.
        std::unique_ptr<TFile>& Old = Ready.Old;
        struct stat OldSt = {};
        if (Exists(Path)) {
            Old = std::make_unique<TFile>(Path, TFile::TMode::Write);
            RestoreFromJournals(Path, *Old);
            if (CheckOld) CheckOld(*Old);
            OldSt = StatOf(Old->Fd, Path);
        }

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
        std::unique_ptr<TTemporary>& Temp = Ready.Temp;
        if (!InPlace) {
            try {
                if (int e = Injected("create")) Fail(e, "Can't create file", Path);
                Temp = std::make_unique<TTemporary>(Parts.Folder + TemporaryPrefix(Parts.Base) + "XXXXXX",
                                                    TTemporary::TKind::File);
            } catch (const std::system_error& Error) {
                // A folder this user may not write to can still hold a file he may write.
                if (!Old) Fail(Error.code().value(), "Can't create file", Path);
                InPlace = true;
            }
            struct stat TempSt;
            const bool OtherOwner = Temp && Old && ::fstat(Temp->Fd(), &TempSt) == 0 &&
                                    (TempSt.st_uid != OldSt.st_uid || TempSt.st_gid != OldSt.st_gid);
            // The file keeps its owner and group, or it is not replaced but rewritten.
            if (OtherOwner && ::fchown(Temp->Fd(), OldSt.st_uid, OldSt.st_gid) != 0) {
                Temp.reset();
                InPlace = true;
            }
        }
        if (InPlace) {
            Ready.InPlaceStamp = WriteInPlace(Path, *Old, Data, Count);
            return Ready;
        }

        const int Fd = Temp->Fd();
        WriteAll(Fd, Data, Count, 0, Path);
        // Nobody else could read it while it was written; now it gets the file's mode.
        Check("chmod", "Can't create file", Path, [&] { return ::fchmod(Fd, Mode); });
        return Ready;
    }

    // Puts the synced temporary file in place and lets the old file go; the folder's
    // sync is the caller's. Returns the stamp of the new file.
    static TFileStamp Rename(TReady& Ready) {
        const int Fd = Ready.Temp->Fd();
        Check("rename", "Can't replace file", Ready.Path,
              [&] { return ::rename(Ready.Temp->Path().c_str(), Ready.Path.c_str()); });
        const TFileStamp Stamp = StampOf(StatOf(Fd, Ready.Path));
        Ready.Temp->Keep();
        Ready.Old.reset();
        return Stamp;
    }
};

namespace {

// Syncs the open files Fds from several threads at once and sets each one's errno in
// Errors; a negative Fd is skipped.
void SyncTogether(const std::vector<int>& Fds, std::vector<int>& Errors) {
    constexpr size_t Threads = 8;
    std::atomic<size_t> Next{0};
    const auto Work = [&] {
        for (size_t i = Next++; i < Fds.size(); i = Next++)
            if (Fds[i] >= 0 && ::fsync(Fds[i]) != 0) Errors[i] = errno;
    };
    std::vector<std::thread> Helpers;
    {
        // The helpers hold the ending signals, so that their handlers run on this thread.
        TSignalsHeld Held;
        for (size_t n = 1; n < std::min(Threads, Fds.size()); ++n) {
            try {
                Helpers.emplace_back(Work);
            } catch (const std::system_error&) {
                break; // fewer helpers, the same work
            }
        }
    }
    Work();
    for (std::thread& Helper : Helpers)
        Helper.join();
}

} // namespace

TFileStamp ReplaceWhole(const std::string& APath, const uint8_t* Data, size_t Count,
                        const TReplaceCheck& CheckOld) {
    TReplaceSteps::TReady Ready = TReplaceSteps::Prepare(ResolveLinks(APath), Data, Count, CheckOld);
    if (!Ready.Temp) return Ready.InPlaceStamp;
    Check("fsync", "Can't write file", Ready.Path, [&] { return ::fsync(Ready.Temp->Fd()); });
    const TFileStamp Stamp = TReplaceSteps::Rename(Ready);
    // Make the rename itself durable.
    SyncFolder(Ready.Folder);
    return Stamp;
}

struct TReplaceBatch::TWaiting : TReplaceSteps::TReady {};

TReplaceBatch::TReplaceBatch() = default;

TReplaceBatch::~TReplaceBatch() = default;

void TReplaceBatch::Add(const std::string& APath, const uint8_t* Data, size_t Count) {
    const std::string Path = ResolveLinks(APath);
    // The waiting one holds the old file's lock, which the new one takes.
    std::erase_if(FWaiting, [&](const std::unique_ptr<TWaiting>& Waiting) { return Waiting->Path == Path; });
    if (FWaiting.size() >= Limit) Commit();
    TReplaceSteps::TReady Ready = TReplaceSteps::Prepare(Path, Data, Count, {});
    if (Ready.Temp) FWaiting.push_back(std::make_unique<TWaiting>(TWaiting{std::move(Ready)}));
}

void TReplaceBatch::Commit() {
    std::vector<std::unique_ptr<TWaiting>> Batch;
    Batch.swap(FWaiting);
    std::vector<int> Fds, Errors(Batch.size());
    for (size_t i = 0; i < Batch.size(); ++i) {
        Errors[i] = Injected("fsync");
        Fds.push_back(Errors[i] ? -1 : Batch[i]->Temp->Fd());
        // Every file's data is on its way to the disk before the first sync waits: the
        // syncs then wait for writes already in flight together, not each for its own.
        if (Fds[i] >= 0) ::sync_file_range(Fds[i], 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    SyncTogether(Fds, Errors);
    std::exception_ptr First;
    TFolderSyncs Folders;
    for (size_t i = 0; i < Batch.size(); ++i) {
        try {
            // A file whose data may not be on the disk never takes the name.
            if (Errors[i]) Fail(Errors[i], "Can't write file", Batch[i]->Path);
            TReplaceSteps::Rename(*Batch[i]);
            Folders.Add(Batch[i]->Folder);
        } catch (const std::system_error&) {
            if (!First) First = std::current_exception();
        }
        Batch[i].reset();
    }
    Folders.SyncAll();
    if (First) std::rethrow_exception(First);
}

bool HasInterruptedWrite(const std::string& APath) {
    const std::string Path = ResolveLinks(APath);
    struct stat St;
    if (::stat(Path.c_str(), &St) != 0) return false;
    for (const std::string& Place : JournalPlaces(Path, StampOf(St)))
        if (::lstat(Place.c_str(), &St) == 0 && S_ISREG(St.st_mode)) return true;
    return false;
}

bool RestoreInterruptedWrite(const std::string& APath) {
    if (!HasInterruptedWrite(APath)) return false;
    const std::string Path = ResolveLinks(APath);
    try {
        TFile File(Path, TFile::TMode::Write);
        return RestoreFromJournals(Path, File);
    } catch (const std::system_error& Error) {
        // Reading it as it is would show a half-written file as if it were whole.
        Fail(Error.code().value(), "Can't restore the interrupted save of", Path);
    }
}

TTemporary::TTemporary(const std::string& Pattern, TKind Kind) : FKind(Kind) {
    // Created and listed as one step.
    TSignalsHeld Held;
    for (int Attempt = 0;; ++Attempt) {
        if (Attempt == 10) Fail(EAGAIN, "Can't create file", Pattern);
        FPath = Pattern;
        if (Kind == TKind::Folder) {
            if (!::mkdtemp(FPath.data())) Fail(errno, "Can't create folder", Pattern);
            FFd = ::open(FPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (FFd < 0) {
                const int e = errno;
                ::rmdir(FPath.c_str());
                Fail(e, "Can't create folder", Pattern);
            }
        } else {
            FFd = ::mkostemp(FPath.data(), O_CLOEXEC);
            if (FFd < 0) Fail(errno, "Can't create file", Pattern);
        }
        RegisterTemporaryFile(FPath);
        // A cleaner that took it for stale between its creation and this lock has
        // removed it: make another.
        while (::flock(FFd, LOCK_EX) != 0 && errno == EINTR) {
        }
        if (NamesFile(FPath, FFd)) return;
        UnregisterTemporaryFile(FPath);
        ::close(FFd);
    }
}

TTemporary::~TTemporary() {
    if (FFd < 0) return;
    if (FKind == TKind::Folder) {
        EmptyFolder(FFd);
        ::rmdir(FPath.c_str());
    } else {
        ::unlink(FPath.c_str());
    }
    UnregisterTemporaryFile(FPath);
    ::close(FFd); // only now the lock goes
}

void TTemporary::Keep() {
    UnregisterTemporaryFile(FPath);
    ::close(FFd);
    FFd = -1;
}

std::string TemporaryPrefix(const std::string& Base) {
    return "." + Base + ".kbm-";
}

void RemoveStaleTemporaries(const std::string& Folder, const std::vector<std::string>& Prefixes) {
    DIR* Dir = ::opendir(Folder.empty() ? "." : Folder.c_str());
    if (!Dir) return;
    const int DirFd = ::dirfd(Dir);
    while (const dirent* Entry = ::readdir(Dir)) {
        const std::string_view Name = Entry->d_name;
        if (std::none_of(Prefixes.begin(), Prefixes.end(), [&](const std::string& Prefix) {
                return Name.size() == Prefix.size() + 6 && Name.substr(0, Prefix.size()) == Prefix;
            }))
            continue;
        const int Fd = ::openat(DirFd, Entry->d_name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (Fd < 0) continue;
        struct stat St, ByName;
        // A live program keeps its temporary files locked; another user's are his.
        const bool Stale = ::fstat(Fd, &St) == 0 && St.st_uid == ::geteuid() &&
                           (S_ISREG(St.st_mode) || S_ISDIR(St.st_mode)) &&
                           ::flock(Fd, LOCK_EX | LOCK_NB) == 0 &&
                           ::fstatat(DirFd, Entry->d_name, &ByName, AT_SYMLINK_NOFOLLOW) == 0 &&
                           ByName.st_ino == St.st_ino && ByName.st_dev == St.st_dev;
        if (Stale && S_ISDIR(St.st_mode)) {
            EmptyFolder(Fd);
            ::unlinkat(DirFd, Entry->d_name, AT_REMOVEDIR);
        } else if (Stale) {
            ::unlinkat(DirFd, Entry->d_name, 0);
        }
        ::close(Fd);
    }
    ::closedir(Dir);
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
    // Files first, so that the folders that held them are empty when their turn comes.
    for (int i = 0; i < TempSlots; ++i)
        if (TempUsed[i] && ::unlink(TempPaths[i]) == 0) TempUsed[i] = 0;
    for (int i = 0; i < TempSlots; ++i) {
        if (TempUsed[i]) {
            ::rmdir(TempPaths[i]);
            TempUsed[i] = 0;
        }
    }
}

} // namespace HostFile
