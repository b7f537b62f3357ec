// Host file access for image files and exported files: opened and closed within each
// operation, with advisory locks (shared while reading, exclusive while writing), whole
// files replaced so that they are never left half written (by a rename, or in place with
// a journal that the next open restores from), private temporary files that a later run
// can tell from live ones, the version of a file this program last read or wrote (to
// notice other programs' changes), and locks a command holds from start to end. Host errors are raised as
// std::system_error naming the file and carrying the system's reason.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace HostFile {

// Tests set this to make an operation fail: it gets the operation's name ("open",
// "read", "write", "create" (the temporary file of a replace), "fallocate", "fsync",
// "fsyncdir" (a folder), "rename") and returns an errno value to fail with, or 0;
// EndOfFile for "read" makes the file end there, as a file cut short while reading.
using TFaultHook = std::function<int(const char* Operation)>;
constexpr int EndOfFile = -1;
void SetFaultHook(TFaultHook Hook);

// How long an operation waits for another program's lock before it gives up.
constexpr std::chrono::milliseconds LockWait{2000};

bool Exists(const std::string& Path);
bool IsRegularFile(const std::string& Path);

// Which file, and which version of it, the system reports: a replace by rename changes
// the inode, every write the size or the times.
struct TFileStamp {
    uint64_t Device = 0;
    uint64_t Inode = 0;
    uint64_t Size = 0;
    int64_t ModifiedNs = 0;
    int64_t ChangedNs = 0;
    bool operator==(const TFileStamp&) const = default;
};

// An open file; closed by the destructor.
class TFile {
  public:
    // ReadUnlocked: a file read once as any program reads it (an import's input), without
    // waiting for or taking a lock.
    enum class TMode { Read, Write, ReadUnlocked };
    TFile(const std::string& Path, TMode Mode);
    ~TFile();
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    uint64_t Size() const;
    TFileStamp Stamp() const;
    // Reads up to Count bytes; returns how many arrived (fewer only at end of file).
    size_t Read(uint8_t* Buffer, size_t Count);
    // Reads up to Count bytes from Offset, without moving the read position.
    size_t ReadAt(uint64_t Offset, uint8_t* Buffer, size_t Count);
    void WriteAt(uint64_t Offset, const uint8_t* Data, size_t Count);
    void Sync();
    // Cuts the file to Size bytes.
    void Truncate(uint64_t Size);
    // Sets aside the disk space for the Count bytes of Data about to be written from
    // the start, so that writing them cannot run out of it. Where the file system cannot
    // reserve, the part of Data beyond the file's end is written first, which changes
    // no old byte and reserves as well.
    void Reserve(const uint8_t* Data, size_t Count);

  private:
    friend struct TReplaceSteps;
    std::string Path;
    int Fd = -1;
    uint64_t ReadPosition = 0;
};

// The stamp of a file as this program last read or wrote it, and a hash of each 256-byte
// block of its contents, to tell whether another program has changed it since.
class TKnownVersion {
  public:
    static constexpr size_t BlockSize = 256;

    bool Known() const { return FKnown; }
    void Forget();
    // The whole file as it now stands.
    void Record(const TFileStamp& Stamp, const uint8_t* Data, size_t Count);
    // Bytes this program has just written at Offset (a multiple of BlockSize); Stamp is
    // the file's after the write.
    void RecordPart(const TFileStamp& Stamp, uint64_t Offset, const uint8_t* Data, size_t Count);
    // True when File still holds the recorded version: the same stamp, or else the same
    // bytes (a program that rewrote identical contents changed nothing).
    bool Matches(TFile& File) const;

  private:
    static uint64_t BlockHash(const uint8_t* Data, size_t Count);
    bool FKnown = false;
    TFileStamp FStamp;
    uint64_t FSize = 0;
    std::vector<uint64_t> FHashes;
};

// Called with the file about to be replaced (locked exclusively), before anything is
// written; it may raise to leave the file alone.
using TReplaceCheck = std::function<void(TFile& Old)>;

// Folders whose sync several replaces leave to one call at their end: each folder is
// synced once after them all.
class TFolderSyncs {
  public:
    void Add(const std::string& Folder);
    // Syncs every folder added, once; raises for the first that fails.
    void SyncAll();

  private:
    std::vector<std::string> FFolders;
};

// Writes Data as the whole new contents of Path. Normally through a temporary file in
// the same folder (created 0600, locked while written, given the old file's mode just
// before it is renamed over Path), so that the old contents stay whole until the new
// ones are complete. In place when no temporary file can be made in the folder, when the
// file has other hard links, or when a new file would get another owner or group: the
// bytes about to change are saved to a journal first (beside the file where its folder
// takes it, else in $XDG_STATE_HOME/kobaltmandrexis), the space is reserved, only then
// the file is written and synced, and the journal removed; a failed write puts the old
// bytes back. A journal left by an interrupted write is restored first. A symbolic link
// is followed to its target; an existing file's permissions are kept; the folder is
// synced. Returns the stamp of the written file.
TFileStamp ReplaceWhole(const std::string& Path, const uint8_t* Data, size_t Count,
                        const TReplaceCheck& Check = {});

// Many files replaced together (an export): each is written to its temporary file as it
// is added; Commit syncs them all at once (the file system takes syncs that wait together
// in one commit of its journal, where one after another each waits for its own), then
// renames each into place in the order added and syncs each folder once. As durable as a
// ReplaceWhole of each: every file's data is synced before its rename, its folder after.
// A file that must be written in place is replaced as it is added. The old files stay
// locked until their renames; what the destructor finds uncommitted is removed.
class TReplaceBatch {
  public:
    // At most this many files wait at a time (Add commits them first), so that the open
    // files stay few: the most a disk's directory holds, one batch for a whole disk.
    static constexpr size_t Limit = 144;
    TReplaceBatch();
    ~TReplaceBatch();
    TReplaceBatch(const TReplaceBatch&) = delete;
    TReplaceBatch& operator=(const TReplaceBatch&) = delete;

    // Raises as ReplaceWhole does; the files added before stay waiting. A path added
    // again takes the later contents.
    void Add(const std::string& Path, const uint8_t* Data, size_t Count);
    // Raises for the first file that fails, after renaming the others and syncing the
    // folders.
    void Commit();

  private:
    struct TWaiting;
    std::vector<std::unique_ptr<TWaiting>> FWaiting;
};

// Told, again and again, how long a lock has been waited for so far.
using TLockWaitNote = std::function<void(std::chrono::milliseconds Waited)>;

// A lock held on a file for the length of a whole command, so that other programs that
// lock the file wait until the command is done. While it is held, this process's own
// opens of the file take no lock of their own.
class THeldLock {
  public:
    // Waits up to Wait for the lock while another program holds it, telling OnWait.
    // Raises std::system_error when the file cannot be opened or the wait runs out.
    THeldLock(const std::string& Path, bool Exclusive, std::chrono::milliseconds Wait,
              const TLockWaitNote& OnWait = {});
    ~THeldLock();
    THeldLock(const THeldLock&) = delete;
    THeldLock& operator=(const THeldLock&) = delete;

    // True when Path still names the locked file (another writer may have replaced it
    // between this program's open and its lock).
    bool StillNamesFile() const;

  private:
    std::string FPath;
    int FFd = -1;
    uint64_t FDevice = 0;
    uint64_t FInode = 0;
};

// True when an in-place write of Path was interrupted and left its journal.
bool HasInterruptedWrite(const std::string& Path);
// Restores the old contents of Path from the journal of an interrupted in-place write,
// under an exclusive lock, and removes the journal. Returns true when it restored;
// raises when a journal is there but cannot be restored.
bool RestoreInterruptedWrite(const std::string& Path);

// A temporary file (0600) or folder (0700) made from a name ending in XXXXXX, locked
// exclusively for as long as this object lives, so that RemoveStaleTemporaries can tell
// it is in use, and listed for RemoveTemporaryFiles. Signals wait while it is created
// and listed, so an interrupt never leaves it unlisted. The destructor removes it (a
// folder with the files in it) unless Keep was called.
class TTemporary {
  public:
    enum class TKind { File, Folder };
    TTemporary(const std::string& Pattern, TKind Kind);
    ~TTemporary();
    TTemporary(const TTemporary&) = delete;
    TTemporary& operator=(const TTemporary&) = delete;

    const std::string& Path() const { return FPath; }
    int Fd() const { return FFd; }
    // The file has been renamed to its final name: unlisted, closed, not removed.
    void Keep();

  private:
    std::string FPath;
    TKind FKind;
    int FFd = -1;
};

// How the names of the temporary files of a replace of the file named Base begin; six
// characters follow.
std::string TemporaryPrefix(const std::string& Base);

// Removes what interrupted programs left in Folder: files and folders named one of
// Prefixes plus six characters, of this user, that no process holds locked.
void RemoveStaleTemporaries(const std::string& Folder, const std::vector<std::string>& Prefixes);

// Temporary files this process is writing are listed here until they are renamed or
// removed, so that a signal handler can remove them. Register/Unregister are for the
// callers that make temporary files of their own.
void RegisterTemporaryFile(const std::string& Path);
void UnregisterTemporaryFile(const std::string& Path);
// Removes every listed temporary file, then every listed (by then empty) folder; safe
// to call from a signal handler.
void RemoveTemporaryFiles() noexcept;

} // namespace HostFile
