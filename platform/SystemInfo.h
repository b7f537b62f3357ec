// What the About box reads from the host: the program's own file version and a line
// describing the running system. THostSystemInfo asks the host; tests may use
// TFixedSystemInfo.
#pragma once

#include <QString>
#include <optional>

class ISystemInfo {
  public:
    virtual ~ISystemInfo() = default;

    // The FileVersion string of the program's version block ("0.2.0.70"); empty when the
    // program carries none.
    virtual QString FileVersion() = 0;
    // "running <system> <version> build:<build>\r\n<second line>" (OsLine.h); nothing
    // when the system cannot be asked.
    virtual std::optional<QString> SystemLine() = 0;
};
