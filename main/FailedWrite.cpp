// What a failed write left in a host file.
#include "FailedWrite.h"

#include <sys/stat.h>

TFileState TFileState::Of(const std::string& Path) {
    struct stat Info;
    if (::stat(Path.c_str(), &Info) != 0) return {};
    return {true,
            static_cast<uint64_t>(Info.st_dev),
            static_cast<uint64_t>(Info.st_ino),
            static_cast<int64_t>(Info.st_size),
            Info.st_mtim.tv_sec * 1000000000LL + Info.st_mtim.tv_nsec,
            Info.st_ctim.tv_sec * 1000000000LL + Info.st_ctim.tv_nsec};
}

QString FailedWriteNote(bool NothingWritten) {
    if (NothingWritten) return QStringLiteral("\r\nNothing has been written to it.");
    return QStringLiteral("\r\nPart of the change has been written to it: it is shown as it now stands.");
}
