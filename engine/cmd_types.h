// Shared value types of the disk image engine: geometry handles, disk and DOS kinds,
// directory records and the callback and iterator interfaces built on them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A file's contents.
using ByteArray = std::vector<uint8_t>;

// Raw 8-bit PETSCII text. Never translated: the bytes are the bytes of the image.
using PetsciiString = std::string;

// Track in the low byte, sector in the high byte: the byte order of a sector link,
// so the first two bytes of a sector read little-endian are a TTrackSector.
using TTrackSector = uint16_t;

constexpr TTrackSector MakeTrackSector(int Track, int Sector) {
    return static_cast<TTrackSector>((static_cast<uint8_t>(Sector) << 8) | static_cast<uint8_t>(Track));
}
constexpr int TrackOf(TTrackSector ts) { return ts & 0xFF; }
constexpr int SectorOf(TTrackSector ts) { return ts >> 8; }
inline TTrackSector ReadTrackSector(const uint8_t* p) { return MakeTrackSector(p[0], p[1]); }
inline void WriteTrackSector(uint8_t* p, TTrackSector ts) {
    p[0] = static_cast<uint8_t>(TrackOf(ts));
    p[1] = static_cast<uint8_t>(SectorOf(ts));
}

enum TDiskType : uint8_t {
    dtNone = 0,
    dt35Tracks = 1,
    dt35TracksErrorInfo = 2,
    dt40Tracks = 3,
    dt40TracksErrorInfo = 4,
    // The 1571 image: two sides of 35 tracks.
    dt71 = 5,
    dt71ErrorInfo = 6,
    // The 1581: 80 tracks of 40 sectors.
    dtD81 = 7,
    dtD81ErrorInfo = 8,
};

// Decides where the BAM of tracks 36-40 lies.
enum TDosEmulation : uint8_t {
    deCbmDos = 0,
    deSpeedDos = 1,
    deDolphinDos = 2,
    dePrologicDos = 3,
};

enum TFileKind : uint8_t {
    fkUnknown = 0,
    fkEmpty = 1,
    fkDel = 2,
    fkSeq = 3,
    fkPrg = 4,
    fkUsr = 5,
    fkRel = 6,
    fkOther = 7,
};

struct TFileTypeInfo {
    TFileKind Kind = fkEmpty;
    uint8_t Locked = 0;
    uint8_t Closed = 0;
};

// A set of file kinds in one byte, bit k standing for kind k.
class TFileKindSet {
  public:
    constexpr TFileKindSet() = default;
    constexpr explicit TFileKindSet(uint8_t bits) : Bits(bits) {}
    constexpr TFileKindSet(std::initializer_list<TFileKind> kinds) {
        for (TFileKind k : kinds) Bits |= static_cast<uint8_t>(1u << k);
    }
    constexpr bool Contains(TFileKind k) const { return (Bits >> k) & 1u; }
    constexpr uint8_t Value() const { return Bits; }
    // Every kind a listing shows: all but fkEmpty.
    static constexpr TFileKindSet AllListed() { return TFileKindSet(253); }

  private:
    uint8_t Bits = 0;
};

// What a directory walk hands its callback. Entry points at the 32-byte slot inside
// the disk's buffer and stays valid as long as the disk object lives.
struct TC64DirRecord {
    PetsciiString Name;
    int32_t Blocks = 0;
    TFileKind Kind = fkEmpty;
    uint8_t Locked = 0;
    uint8_t Closed = 0;
    uint8_t Track = 0;
    uint8_t Sector = 0;
    uint8_t* Entry = nullptr;
};

using TDirEntryCallback = std::function<void(const TC64DirRecord&)>;

// Walks the sectors of a file chain. Shared ownership stands for the reference count.
class ISectorIterator {
  public:
    virtual ~ISectorIterator() = default;
    virtual bool HasNext() = 0;
    virtual uint8_t* Next() = 0;
};
using ISectorIteratorPtr = std::shared_ptr<ISectorIterator>;

// One emulator's settings, held by the main window.
struct TEmulatorSettings {
    std::string Location;
    bool AutoRun = false;
    bool FastLoad = false;
    bool Windowed = false;
};
