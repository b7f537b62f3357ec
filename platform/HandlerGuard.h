// The one wrapper through which every handler runs: whatever a handler does not catch
// itself is shown by the application's error display and goes no further, so no
// exception ever crosses the Qt event loop.
#pragma once

#include "UserPrompts.h"

#include <functional>

// Runs Handler; an escaping std::exception is shown with its what() (Latin-1), anything
// else as "Unknown error". Returns true when the handler ran to its end.
bool RunGuarded(IUserPrompts& Prompts, const std::function<void()>& Handler);
