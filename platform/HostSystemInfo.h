// The real ISystemInfo: the version block embedded in the program, uname and the
// distribution's os-release file.
#pragma once

#include "SystemInfo.h"

class THostSystemInfo : public ISystemInfo {
  public:
    QString FileVersion() override;
    std::optional<QString> SystemLine() override;
};
