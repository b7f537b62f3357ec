// What a failed write left in a host file: the file's version as the system reports it,
// and the line that tells the user whether anything was written.
#pragma once

#include <QString>

#include <cstdint>
#include <string>

// Which file a path names and the version of it; a write changes the times, a replace
// by rename the inode.
struct TFileState {
    bool Exists = false;
    uint64_t Device = 0;
    uint64_t Inode = 0;
    int64_t Size = 0;
    int64_t ModifiedNs = 0;
    int64_t ChangedNs = 0;

    static TFileState Of(const std::string& Path);
    bool operator==(const TFileState&) const = default;
};

// The line added to the message of a failed write: that nothing has been written to
// the file, or that part of the change has.
QString FailedWriteNote(bool NothingWritten);
