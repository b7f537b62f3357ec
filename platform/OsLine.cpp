// The system line of the About box.
#include "OsLine.h"

#include <QStringList>

namespace OsLine {

namespace {

QString Line(const QString& System, const QString& Version, const QString& Build, const QString& Second) {
    return QStringLiteral("running %1 %2 build:%3\r\n%4").arg(System, Version, Build, Second);
}

const char* WindowsName(uint32_t Platform, uint32_t Major, uint32_t Minor) {
    if (Platform == 1 && Major == 4) {
        if (Minor == 0) return "95 ";
        if (Minor == 10) return "98 ";
        if (Minor == 90) return "ME ";
    }
    if (Platform == 2) {
        if (Major == 3 || Major == 4) return "NT ";
        if (Major == 5 && Minor == 0) return "2000 ";
        if (Major == 5 && Minor == 1) return "XP ";
    }
    return "";
}

// One value of an os-release line: "..." with backslash escapes, '...' literal, or bare.
QString Unquote(const QString& Value) {
    if (Value.size() >= 2 && Value.front() == u'\'' && Value.back() == u'\'')
        return Value.mid(1, Value.size() - 2);
    if (Value.size() < 2 || Value.front() != u'"' || Value.back() != u'"') return Value;
    QString Text;
    for (qsizetype i = 1; i + 1 < Value.size(); ++i) {
        if (Value[i] == u'\\' && i + 2 < Value.size()) ++i;
        Text.append(Value[i]);
    }
    return Text;
}

} // namespace

QString ForWindows(const TWindowsVersion& Version) {
    const uint32_t Build = Version.PlatformId == 2 ? Version.BuildNumber : Version.BuildNumber & 0xFFFF;
    const std::string ServicePack = Version.CSDVersion.substr(0, 128).c_str();
    return Line(
        QStringLiteral("Windows"),
        QString::fromLatin1(WindowsName(Version.PlatformId, Version.MajorVersion, Version.MinorVersion)) +
            QStringLiteral("%1.%2").arg(Version.MajorVersion).arg(Version.MinorVersion),
        QString::number(Build), QString::fromLatin1(ServicePack));
}

QString ForHost(const THostVersion& Version) {
    return Line(Version.SystemName, Version.Release, Version.Build, Version.Distribution);
}

QString KernelBuild(const QString& UnameVersion) {
    const QString Text = UnameVersion.trimmed();
    const QString First = Text.section(u' ', 0, 0);
    if (First.startsWith(u'#')) return First.mid(1);
    return First;
}

QString DistributionName(const QString& OsRelease) {
    QString Name;
    for (const QString& Row : OsRelease.split(u'\n')) {
        const QString Entry = Row.trimmed();
        if (Entry.startsWith(QLatin1String("PRETTY_NAME="))) return Unquote(Entry.mid(12));
        if (Entry.startsWith(QLatin1String("NAME="))) Name = Unquote(Entry.mid(5));
    }
    return Name;
}

} // namespace OsLine
