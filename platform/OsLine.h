// The About box's system line, as pure functions: the line a Windows host gets from its
// version numbers, and the same shape filled from a Unix host (uname, os-release).
#pragma once

#include <QString>
#include <cstdint>
#include <string>

namespace OsLine {

// The fields of the Windows version structure that the line uses.
struct TWindowsVersion {
    uint32_t PlatformId = 0; // 1: Windows 95 family, 2: NT family
    uint32_t MajorVersion = 0;
    uint32_t MinorVersion = 0;
    uint32_t BuildNumber = 0;
    std::string CSDVersion; // service pack text, a 128-byte field ending at its first NUL
};

// "running Windows XP 5.1 build:2600\r\nService Pack 2": the name from platform, major
// and minor (95, 98, ME, NT, 2000, XP, else none); the whole build number on the NT
// family, its low 16 bits otherwise.
QString ForWindows(const TWindowsVersion& Version);

struct THostVersion {
    QString SystemName;   // uname: "Linux"
    QString Release;      // uname: "6.1.0-18-amd64"
    QString Build;        // the kernel's build number, KernelBuild()
    QString Distribution; // DistributionName()
};

// "running Linux 6.1.0-18-amd64 build:1\r\nDebian GNU/Linux 12 (bookworm)".
QString ForHost(const THostVersion& Version);

// The build number from uname's version text: its first word without the "#"
// ("#1 SMP PREEMPT_DYNAMIC ..." gives "1").
QString KernelBuild(const QString& UnameVersion);

// PRETTY_NAME of an os-release file (NAME when it has none; empty without either), with
// its shell quoting taken off.
QString DistributionName(const QString& OsRelease);

} // namespace OsLine
