// Application fonts for the life of the process.
#include "QtFontInstaller.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

QtFontInstaller::QtFontInstaller() : FSearchDirs(DefaultSearchDirs()) {}

QtFontInstaller::QtFontInstaller(const QStringList& SearchDirs) : FSearchDirs(SearchDirs) {}

QStringList QtFontInstaller::DefaultSearchDirs() {
    // An install (under any prefix, staged or moved whole) keeps the data folder at the
    // same place relative to the program's folder; the build folder has the fonts beside
    // the program.
    const QString ProgramDir = QCoreApplication::applicationDirPath();
    return {ProgramDir, QDir::cleanPath(ProgramDir + QStringLiteral("/" KBM_DATADIR_FROM_BINDIR))};
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
