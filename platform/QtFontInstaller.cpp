// Application fonts for the life of the process.
#include "QtFontInstaller.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

QtFontInstaller::QtFontInstaller() : FSearchDirs(DefaultSearchDirs()) {}

QtFontInstaller::QtFontInstaller(const QStringList& SearchDirs) : FSearchDirs(SearchDirs) {}

QStringList QtFontInstaller::DefaultSearchDirs() {
    const QString ProgramDir = QCoreApplication::applicationDirPath();
    QStringList Dirs{ProgramDir, QDir::cleanPath(ProgramDir + QStringLiteral("/../share/kobaltmandrexis"))};
#ifdef KBM_INSTALL_DATADIR
    const QString Installed = QDir::cleanPath(QStringLiteral(KBM_INSTALL_DATADIR));
    if (!Dirs.contains(Installed)) Dirs.append(Installed);
#endif
    return Dirs;
}

QString QtFontInstaller::FindFile(const QString& FileName) const {
    // Only bare names are looked up, so a name cannot reach outside the search folders.
    if (FileName.isEmpty() || FileName.contains(u'/') || FileName.contains(u'\\')) return {};
    for (const QString& Dir : FSearchDirs) {
        const QFileInfo Candidate(QDir(Dir), FileName);
        if (Candidate.isFile()) return Candidate.absoluteFilePath();
    }
    return {};
}

bool QtFontInstaller::AddFont(const QString& FileName) {
    if (FFontIds.contains(FileName)) return true;
    const QString Path = FindFile(FileName);
    if (Path.isEmpty()) return false;
    const int Id = QFontDatabase::addApplicationFont(Path);
    if (Id < 0) return false;
    FFontIds.insert(FileName, Id);
    return true;
}

bool QtFontInstaller::RemoveFont(const QString& FileName) {
    const auto It = FFontIds.find(FileName);
    if (It == FFontIds.end()) return false;
    const bool Removed = QFontDatabase::removeApplicationFont(*It);
    FFontIds.erase(It);
    return Removed;
}
