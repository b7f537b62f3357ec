// Installs and removes font files for the life of the process (the C64 faces).
#pragma once

#include <QString>

class IFontInstaller {
  public:
    virtual ~IFontInstaller() = default;
    // FileName is a bare name such as "CBM64_G.fon"; the installer finds the file.
    virtual bool AddFont(const QString& FileName) = 0;
    virtual bool RemoveFont(const QString& FileName) = 0;
};
