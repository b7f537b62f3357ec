// Sector chain iterator over a file's directory entry.
#include "iterator.h"

TSimpleSectorIterator::TSimpleSectorIterator(TC64Disk* ADisk, const uint8_t* AEntry) : Entry(AEntry), Disk(ADisk) {
    if (!ADisk || !AEntry) throw EC64DiskException("Invalid parameters! Cannot create SimleSectorIterator.");
}

bool TSimpleSectorIterator::HasNext() {
    if (Entry) return Entry[3] != 0;
    return Current && Current[0] != 0;
}

uint8_t* TSimpleSectorIterator::Next() {
    if (!HasNext()) throw ENoSuchElementException("No more sectors to iterate!");
    if (Entry) {
        Current = Disk->GetSector(MakeTrackSector(Entry[3], Entry[4]));
        Entry = nullptr;
    } else {
        Current = Disk->GetSector(ReadTrackSector(Current));
    }
    return Current;
}
