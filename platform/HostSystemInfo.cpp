// Version and system information of the running program and host.
#include "HostSystemInfo.h"

#include "OsLine.h"

#include <QFile>
#include <sys/utsname.h>

namespace {

// The program's version block: "key=value" lines, keys named as in a Windows version
// resource. The resources library embeds it, filled from the project's version.
const char* const VersionBlockPath = ":/versioninfo";
const char* const FileVersionKey = "StringFileInfo\\040704E4\\FileVersion";

QString ReadTextFile(const QString& Path) {
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(File.readAll());
}

} // namespace

QString THostSystemInfo::FileVersion() {
    const QString Key = QString::fromLatin1(FileVersionKey) + u'=';
    for (const QString& Row : ReadTextFile(VersionBlockPath).split(u'\n'))
        if (Row.startsWith(Key)) return Row.mid(Key.size()).trimmed();
    return QString();
}

std::optional<QString> THostSystemInfo::SystemLine() {
    utsname Host{};
    if (uname(&Host) != 0) return std::nullopt;
    // Where os-release lives: /etc, or /usr/lib when /etc has none.
    QString OsRelease = ReadTextFile(QStringLiteral("/etc/os-release"));
    if (OsRelease.isEmpty()) OsRelease = ReadTextFile(QStringLiteral("/usr/lib/os-release"));
    return OsLine::ForHost({QString::fromLocal8Bit(Host.sysname), QString::fromLocal8Bit(Host.release),
                            OsLine::KernelBuild(QString::fromLocal8Bit(Host.version)),
                            OsLine::DistributionName(OsRelease)});
}
