// POSIX implementation of the image file access.
#include "hostfile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace HostFile {
namespace {

TFaultHook FaultHook;

[[noreturn]] void Fail(int Error, const std::string& What, const std::string& Path) {
    throw std::system_error(Error, std::generic_category(), What + " \"" + Path + "\"");
}

// Returns the injected errno for an operation, or 0.
int Injected(const char* Operation) { return FaultHook ? FaultHook(Operation) : 0; }

// Runs one system call, failing with its errno (or an injected one) and the file's name.
template <typename TCall>
void Check(const char* Operation, const std::string& What, const std::string& Path, TCall Call) {
    if (int e = Injected(Operation)) Fail(e, What, Path);
    if (Call() < 0) Fail(errno, What, Path);
}

void LockOrFail(int Fd, int How, const std::string& Path) {
    if (flock(Fd, How | LOCK_NB) != 0) {
        int e = errno;
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

} // namespace

void SetFaultHook(TFaultHook Hook) { FaultHook = std::move(Hook); }

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
    if (int e = Injected("open")) Fail(e, "Can't open file", Path);
    Fd = ::open(Path.c_str(), (Writing ? O_WRONLY : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
    if (Fd < 0) Fail(errno, "Can't open file", Path);
    LockOrFail(Fd, Writing ? LOCK_EX : LOCK_SH, Path); // closes the file when it fails
}

TFile::~TFile() {
    if (Fd >= 0) ::close(Fd); // closing releases the lock
}

uint64_t TFile::Size() const {
    struct stat St;
    if (::fstat(Fd, &St) != 0) Fail(errno, "Can't read file", Path);
    return static_cast<uint64_t>(St.st_size);
}

size_t TFile::Read(uint8_t* Buffer, size_t Count) {
    size_t Total = 0;
    while (Total < Count) {
        const int e = Injected("read");
        if (e == EndOfFile) break;
        if (e) Fail(e, "Can't read file", Path);
        ssize_t n = ::read(Fd, Buffer + Total, Count - Total);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(errno, "Can't read file", Path);
        }
        if (n == 0) break;
        Total += static_cast<size_t>(n);
    }
    return Total;
}

void TFile::WriteAt(uint64_t Offset, const uint8_t* Data, size_t Count) { WriteAll(Fd, Data, Count, Offset, Path); }

void ReplaceWhole(const std::string& APath, const uint8_t* Data, size_t Count) {
    const std::string Path = ResolveLinks(APath);
    const auto Slash = Path.find_last_of('/');
    const std::string Folder = Slash == std::string::npos ? std::string(".") : Path.substr(0, Slash + 1);
    const std::string Base = Slash == std::string::npos ? Path : Path.substr(Slash + 1);

    // Keep the permissions of the file being replaced; a new file gets the usual
    // default of 0666 less the umask, as if created directly.
    mode_t Mode;
    struct stat St;
    if (::stat(Path.c_str(), &St) == 0) {
        Mode = St.st_mode & 07777;
    } else {
        mode_t Mask = ::umask(0);
        ::umask(Mask);
        Mode = 0666 & ~Mask;
    }

    // Hold the exclusive lock of the old file while the new one is written, so that
    // a program reading it under a shared lock is not disturbed half way.
    int OldFd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (OldFd >= 0) LockOrFail(OldFd, LOCK_EX, Path);

    std::string Temp = (Folder == "." ? std::string() : Folder) + "." + Base + ".XXXXXX";
    std::vector<char> Name(Temp.begin(), Temp.end());
    Name.push_back('\0');
    int Fd = -1;
    try {
        if (int e = Injected("open")) Fail(e, "Can't create file", Path);
        Fd = ::mkstemp(Name.data());
        if (Fd < 0) Fail(errno, "Can't create file", Path);
        Check("chmod", "Can't create file", Path, [&] { return ::fchmod(Fd, Mode); });
        WriteAll(Fd, Data, Count, 0, Path);
        Check("fsync", "Can't write file", Path, [&] { return ::fsync(Fd); });
        const int Closing = Fd;
        Fd = -1;
        Check("close", "Can't write file", Path, [&] { return ::close(Closing); });
        Check("rename", "Can't replace file", Path, [&] { return ::rename(Name.data(), Path.c_str()); });
    } catch (...) {
        if (Fd >= 0) ::close(Fd);
        ::unlink(Name.data());
        if (OldFd >= 0) ::close(OldFd);
        throw;
    }
    if (OldFd >= 0) ::close(OldFd);
    // Make the rename itself durable.
    int Dir = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Dir >= 0) {
        ::fsync(Dir);
        ::close(Dir);
    }
}

} // namespace HostFile
