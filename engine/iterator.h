// TSimpleSectorIterator: walks a file's sector chain from its directory entry.
#pragma once

#include "c64disk.h"

class TSimpleSectorIterator : public ISectorIterator {
  public:
    TSimpleSectorIterator(TC64Disk* Disk, const uint8_t* Entry);
    bool HasNext() override;
    uint8_t* Next() override;

  private:
    const uint8_t* Entry;
    uint8_t* Current = nullptr;
    TC64Disk* Disk;
};
