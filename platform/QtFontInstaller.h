// IFontInstaller over QFontDatabase's application fonts. A bare file name is looked up
// in the program's folder, then in the installed data folder found from there.
#pragma once

#include "FontInstaller.h"

#include <QHash>
#include <QStringList>

class QtFontInstaller : public IFontInstaller {
  public:
    // Searches DefaultSearchDirs().
    QtFontInstaller();
    explicit QtFontInstaller(const QStringList& SearchDirs);

    // The program's folder and the installed data folder as seen from the installed
    // program's folder (<bin>/../share/kobaltmandrexis by default). Needs a
    // QCoreApplication.
    static QStringList DefaultSearchDirs();

    // Installs the first file of that name found in the search folders. Adding a name
    // that is already installed succeeds without loading it twice.
    bool AddFont(const QString& FileName) override;
    // Removes a font installed by AddFont; false for any other name.
    bool RemoveFont(const QString& FileName) override;

    QString FindFile(const QString& FileName) const;

  private:
    QStringList FSearchDirs;
    QHash<QString, int> FFontIds; // file name -> QFontDatabase id
};
