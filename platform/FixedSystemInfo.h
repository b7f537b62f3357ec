// Test double for ISystemInfo: answers with the values the test puts in.
#pragma once

#include "SystemInfo.h"

class TFixedSystemInfo : public ISystemInfo {
  public:
    QString Version = QStringLiteral("0.2.0.70");
    std::optional<QString> Line =
        QStringLiteral("running Linux 6.1.0 build:1\r\nDebian GNU/Linux 12 (bookworm)");

    QString FileVersion() override { return Version; }
    std::optional<QString> SystemLine() override { return Line; }
};
