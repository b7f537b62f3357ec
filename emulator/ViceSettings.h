// The settings of VICE, the emulator of Linux desktops (x64sc): where it is and how it
// starts an image. Each option maps to one of VICE's own command-line options.
#pragma once

#include <string>

struct TViceSettings {
    std::string Location = "x64sc"; // a bare name is looked up on PATH
    bool AutoRun = true;            // -autostart, else -autoload (loaded, not run)
    bool FastLoad = true;           // warp while autostart loads: -autostart-warp
    bool TrueDrive = true;          // hardware-level drive 8: -drive8truedrive
    bool Windowed = true;           // +fullscreen, else -fullscreen
};
