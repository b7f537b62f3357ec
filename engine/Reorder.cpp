// Moving, sorting and renaming directory entries: the listed files' slot contents
// (bytes 2-31) are permuted among the listed slots, whose first two bytes stay put.
#include "Reorder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>

namespace {

constexpr size_t EntryBody = 30; // bytes 2-31 of a slot: everything but the sector link

// A name as the drive compares it: up to its first shifted space.
PetsciiString DriveName(const uint8_t* Entry) {
    return PetsciiToString(Entry + 5, 15);
}

// The listing index of each given entry, in listing order; raises for one not listed.
std::vector<size_t> IndexesOf(const std::vector<uint8_t*>& Listed,
                              const std::vector<const uint8_t*>& Entries) {
    std::vector<size_t> Indexes;
    for (const uint8_t* Entry : Entries) {
        const auto Found = std::find(Listed.begin(), Listed.end(), Entry);
        if (Found == Listed.end()) throw EC64DiskException("The file to move is not in the directory!");
        Indexes.push_back(static_cast<size_t>(Found - Listed.begin()));
    }
    std::sort(Indexes.begin(), Indexes.end());
    Indexes.erase(std::unique(Indexes.begin(), Indexes.end()), Indexes.end());
    return Indexes;
}

// The slots that the files at Indexes hold once Order is applied.
std::vector<uint8_t*> SlotsAfter(const std::vector<uint8_t*>& Listed, const std::vector<size_t>& Order,
                                 const std::vector<size_t>& Indexes) {
    std::vector<uint8_t*> Slots;
    for (size_t i = 0; i < Order.size(); ++i)
        if (std::binary_search(Indexes.begin(), Indexes.end(), Order[i])) Slots.push_back(Listed[i]);
    return Slots;
}

int TypeRank(uint8_t TypeByte) {
    const int Code = TypeByte & 7;
    return Code <= 4 ? Code : 5;
}

} // namespace

std::vector<uint8_t*> ListedEntries(TC64Disk& Disk) {
    std::vector<uint8_t*> Entries;
    Disk.ReadDirectory(TFileKindSet::AllListed(),
                       [&](const TC64DirRecord& Record) { Entries.push_back(Record.Entry); });
    return Entries;
}

void ReorderDirectory(TC64Disk& Disk, const std::vector<size_t>& Order) {
    const std::vector<uint8_t*> Listed = ListedEntries(Disk);
    std::vector<size_t> Check = Order;
    std::sort(Check.begin(), Check.end());
    if (Check.size() != Listed.size() || std::adjacent_find(Check.begin(), Check.end()) != Check.end() ||
        (!Check.empty() && Check.back() >= Listed.size()))
        throw EC64DiskException("Internal TC64Disk Error: new order does not list every file once");
    if (std::is_sorted(Order.begin(), Order.end())) return; // nothing moves: nothing to write
    Disk.CheckWriteAccess();

    std::vector<std::array<uint8_t, EntryBody>> Bodies(Listed.size());
    for (size_t i = 0; i < Listed.size(); ++i)
        std::memcpy(Bodies[i].data(), Listed[i] + 2, EntryBody);
    const auto Write = [&](const std::vector<size_t>& From) {
        for (size_t i = 0; i < Listed.size(); ++i)
            std::memcpy(Listed[i] + 2, Bodies[From[i]].data(), EntryBody);
    };
    const bool WasUpdating = Disk.Updating();
    Disk.BeginUpdate();
    Write(Order);
    if (WasUpdating) return; // the caller's bracket saves
    try {
        Disk.EndUpdate(true);
    } catch (...) {
        std::vector<size_t> Same(Listed.size());
        std::iota(Same.begin(), Same.end(), 0);
        Write(Same);
        throw;
    }
}

std::vector<uint8_t*> MoveEntries(TC64Disk& Disk, const std::vector<const uint8_t*>& Entries, int Step) {
    const std::vector<uint8_t*> Listed = ListedEntries(Disk);
    const std::vector<size_t> Indexes = IndexesOf(Listed, Entries);
    std::vector<size_t> Order(Listed.size());
    std::iota(Order.begin(), Order.end(), 0);
    const auto Moving = [&](size_t File) { return std::binary_search(Indexes.begin(), Indexes.end(), File); };
    // Up: from the top, each moving file swaps with an unmoving one above it; down the
    // same from the bottom, so that a block of files moves as one.
    if (Step < 0) {
        for (size_t i = 1; i < Order.size(); ++i)
            if (Moving(Order[i]) && !Moving(Order[i - 1])) std::swap(Order[i], Order[i - 1]);
    } else if (Step > 0) {
        for (size_t i = Order.size(); i-- > 1;)
            if (Moving(Order[i - 1]) && !Moving(Order[i])) std::swap(Order[i], Order[i - 1]);
    }
    ReorderDirectory(Disk, Order);
    return SlotsAfter(Listed, Order, Indexes);
}

std::vector<uint8_t*> MoveEntriesTo(TC64Disk& Disk, const std::vector<const uint8_t*>& Entries,
                                    size_t Position) {
    const std::vector<uint8_t*> Listed = ListedEntries(Disk);
    const std::vector<size_t> Indexes = IndexesOf(Listed, Entries);
    std::vector<size_t> Order;
    for (size_t i = 0; i < Listed.size(); ++i)
        if (!std::binary_search(Indexes.begin(), Indexes.end(), i)) Order.push_back(i);
    Position = std::min(Position, Order.size());
    Order.insert(Order.begin() + static_cast<ptrdiff_t>(Position), Indexes.begin(), Indexes.end());
    ReorderDirectory(Disk, Order);
    return SlotsAfter(Listed, Order, Indexes);
}

void SortDirectory(TC64Disk& Disk, TSortKey Key) {
    const std::vector<uint8_t*> Listed = ListedEntries(Disk);
    std::vector<size_t> Order(Listed.size());
    std::iota(Order.begin(), Order.end(), 0);
    std::vector<PetsciiString> Names;
    for (const uint8_t* Entry : Listed)
        Names.push_back(DriveName(Entry));
    const auto Blocks = [&](size_t i) { return Listed[i][30] | Listed[i][31] << 8; };
    std::stable_sort(Order.begin(), Order.end(), [&](size_t a, size_t b) {
        if (Key == TSortKey::Type && TypeRank(Listed[a][2]) != TypeRank(Listed[b][2]))
            return TypeRank(Listed[a][2]) < TypeRank(Listed[b][2]);
        if (Key == TSortKey::Size && Blocks(a) != Blocks(b)) return Blocks(a) < Blocks(b);
        return Names[a] < Names[b];
    });
    ReorderDirectory(Disk, Order);
}

const uint8_t* FindListedName(TC64Disk& Disk, const PetsciiString& Name, const uint8_t* Except) {
    const PetsciiString Wanted = Name.substr(0, Name.find('\xA0'));
    for (const uint8_t* Entry : ListedEntries(Disk))
        if (Entry != Except && DriveName(Entry) == Wanted) return Entry;
    return nullptr;
}

void RenameEntry(TC64Disk& Disk, uint8_t* Entry, const PetsciiString& Name, bool AllowDuplicate) {
    if (Name.empty() || Name[0] == '\xA0') throw EC64DiskException("A file needs a name!");
    if (Name.size() > 16) throw EC64DiskException("A file name has at most 16 characters!");
    const std::vector<uint8_t*> Listed = ListedEntries(Disk);
    if (std::find(Listed.begin(), Listed.end(), Entry) == Listed.end())
        throw EC64DiskException("The file to rename is not in the directory!");
    if (!AllowDuplicate && FindListedName(Disk, Name, Entry)) throw EC64DiskException("FILE EXISTS");
    Disk.RenameFile(Entry, Name);
}
