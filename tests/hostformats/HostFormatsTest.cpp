// Host file formats: PC64 headers, T64 tape images, and a batch that goes in whole or not at all.
#include "ImportPlan.h"
#include "Pc64.h"
#include "T64.h"
#include "TestImage.h"

#include <cstring>

using namespace testing_support;

namespace {

ByteArray Bytes(const std::string& Text) {
    return ByteArray(Text.begin(), Text.end());
}

// A T64 slot: entry kind, 1541 type byte, start and end address, data offset, name.
void PutSlot(ByteArray& Tape, int Slot, uint8_t Kind, uint8_t Type, uint16_t Start, uint16_t End,
             uint32_t Offset, const std::string& Name) {
    uint8_t* p = Tape.data() + 64 + 32 * Slot;
    p[0] = Kind;
    p[1] = Type;
    p[2] = Start & 0xFF, p[3] = Start >> 8, p[4] = End & 0xFF, p[5] = End >> 8;
    for (int i = 0; i < 4; ++i)
        p[8 + i] = static_cast<uint8_t>(Offset >> (8 * i));
    std::memset(p + 16, ' ', 16);
    std::memcpy(p + 16, Name.data(), Name.size());
}

} // namespace

TEST(Pc64Test, HeaderGivesNameTypeAndRecordLength) {
    ByteArray File = Bytes(std::string("C64File\0", 8) + "MY\xA0REL" + std::string(11, '\0'));
    File.push_back(64);
    const ByteArray Data = Pattern(300);
    File.insert(File.end(), Data.begin(), Data.end());
    const TImportFile Rel = ReadPc64(File, "dir/my rel.R07");
    EXPECT_EQ(Rel.Name(), "MY\xA0REL");
    EXPECT_EQ(Rel.Entry[2], 0x84);
    EXPECT_EQ(Rel.Entry[23], 64);
    EXPECT_EQ(Rel.Entry[30], 3); // two data blocks and the side sector
    EXPECT_EQ(Rel.Bytes, Data);
    // Written back, the name keeps the padding of its directory entry.
    std::fill(File.begin() + 14, File.begin() + 24, 0xA0);
    EXPECT_EQ(WritePc64(Rel.Entry.data(), Rel.Bytes), File);

    EXPECT_EQ(Pc64KindOf("a.U12"), fkUsr);
    EXPECT_EQ(Pc64KindOf("a.D64"), fkUnknown); // a disk image, not a DEL file

    File[3] = 'f';
    EXPECT_THROW_MSG(ReadPc64(File, "x.p00"), EHostFileError,
                     "Not a PC64 file (no \"C64File\" header): x.p00");
}

TEST(T64Test, EntriesWithLoadAddressesAndLengthsCutToTheData) {
    ByteArray Tape(64 + 4 * 32, 0);
    std::memcpy(Tape.data(), "C64 tape image file", 19);
    Tape[0x22] = 4;
    const ByteArray First = Pattern(100, 1), Second = Pattern(40, 2);
    // The first entry's end address claims more than lies before the second's data.
    PutSlot(Tape, 0, 1, 0x82, 0x0801, 0xC3C6, 192, "GAME");
    PutSlot(Tape, 1, 0, 0, 0, 0, 0, "FREE");
    PutSlot(Tape, 3, 1, 0x81, 0x1000, 0x1028, 292, "NOTES");
    Tape.insert(Tape.end(), First.begin(), First.end());
    Tape.insert(Tape.end(), Second.begin(), Second.end());

    const std::vector<TImportFile> Files = ReadT64(Tape, "t.t64");
    ASSERT_EQ(Files.size(), 2u);
    EXPECT_EQ(Files[0].Name(), "GAME");
    EXPECT_EQ(Files[0].Entry[2], 0x82);
    ByteArray Program = {0x01, 0x08};
    Program.insert(Program.end(), First.begin(), First.end());
    EXPECT_EQ(Files[0].Bytes, Program);
    EXPECT_EQ(Files[1].Name(), "NOTES");
    EXPECT_EQ(Files[1].Entry[2], 0x81);
    EXPECT_EQ(Files[1].Bytes, Second);

    PutSlot(Tape, 2, 1, 0x82, 0x0801, 0x0901, 5000, "LOST");
    EXPECT_THROW_MSG(ReadT64(Tape, "t.t64"), EHostFileError,
                     "Damaged T64 tape image (entry 3 lies outside the file): t.t64");
}

TEST(ImportPlanTest, ABatchThatDoesNotFitChangesNothing) {
    TTempDir Dir;
    auto Disk = NewImage(Dir.Path("a.d64"));
    AddTestFile(*Disk, "OLD", Pattern(10));
    const ByteArray Before(Disk->Image(), Disk->Image() + Disk->ImageSize());
    const ByteArray FileBefore = ReadHostFile(Dir.Path("a.d64"));

    // 144 files where one is listed already: the last one finds no slot.
    TImportPlan Plan;
    for (int i = 0; i < 144; ++i)
        Plan.Files.push_back(MakeImportFile(Pattern(1, i), "F" + std::to_string(i), fkPrg, 0));
    Plan.Steps.resize(Plan.Files.size());
    EXPECT_THROW_MSG(RunImport(*Disk, Plan), EC64DiskFullException, "Maximum number of files reached!");
    EXPECT_EQ(ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()), Before);
    EXPECT_EQ(ReadHostFile(Dir.Path("a.d64")), FileBefore);

    // A replaced file is put back with the rest when the batch fails.
    Plan = PlanImport(
        *Disk,
        {MakeImportFile(Pattern(10), "OLD", fkSeq, 0), MakeImportFile(Pattern(170000), "HUGE", fkPrg, 0)},
        [](const PetsciiString&) { return TSameName::Replace; });
    EXPECT_THROW_MSG(RunImport(*Disk, Plan), EC64DiskFullException, "Disk is full!");
    EXPECT_EQ(ByteArray(Disk->Image(), Disk->Image() + Disk->ImageSize()), Before);
    EXPECT_EQ(ReadHostFile(Dir.Path("a.d64")), FileBefore);
}
