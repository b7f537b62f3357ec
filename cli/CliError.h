// ECliError: a failure of d64tool itself rather than of the engine (host files,
// names that match no file, image kinds the engine declines): exit status 1.
#pragma once

#include <stdexcept>

class ECliError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
