// Rendering the directory and the allocation map of an image as text and JSON.
#include "Listing.h"

#include "NameConvention.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string Hex(const PetsciiString& Bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (char ch : Bytes) {
        const auto b = static_cast<uint8_t>(ch);
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

std::string PadRight(std::string Text, size_t Width) {
    if (Text.size() < Width) Text.append(Width - Text.size(), ' ');
    return Text;
}

} // namespace

std::string JsonString(const std::string& Text) {
    std::string out = "\"";
    for (char ch : Text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

void TListing::Read(TC64Disk& Disk) {
    HeaderLine = Disk.GetHeaderLine();
    DiskName = Disk.GetDiskName();
    DiskId = Disk.GetDiskID();
    DosType = Disk.GetDosType();
    FreeBlocks = Disk.GetFreeBlocks();
    Tracks = Disk.GetTrackCount();
    Files.clear();
    Disk.ReadDirectory(TFileKindSet::AllListed(),
                       [this](const TC64DirRecord& File) { Files.push_back(File); });
}

std::string FormatListingRow(const TC64DirRecord& File) {
    return PadRight(std::to_string(File.Blocks), 5) +
           PadRight("\"" + PetsciiToCliName(File.Name) + "\"", 18) + " " + PadRight(FileTypeText(File), 9) +
           " " + TrackSectorText(File);
}

std::string TListing::FormatText(bool WithSummary) const {
    std::string text = PetsciiToCliName(HeaderLine) + "\n";
    for (const auto& file : Files)
        text += FormatListingRow(file) + "\n";
    if (WithSummary) {
        char summary[64];
        std::snprintf(summary, sizeof summary, "%u BLOCKS FREE - %u FILE(S) ON DISK\n",
                      static_cast<unsigned>(FreeBlocks), static_cast<unsigned>(Files.size()));
        text += summary;
    }
    return text;
}

std::string TListing::FormatJson() const {
    std::string json = "{\n";
    json += "  \"header\": " + JsonString(PetsciiToCliName(HeaderLine)) + ",\n";
    json += "  \"disk_name\": " + JsonString(PetsciiToCliName(DiskName)) + ",\n";
    json += "  \"disk_name_hex\": " + JsonString(Hex(DiskName)) + ",\n";
    json += "  \"disk_id\": " + JsonString(PetsciiToCliName(DiskId)) + ",\n";
    json += "  \"dos_type\": " + JsonString(PetsciiToCliName(DosType)) + ",\n";
    json += "  \"free_blocks\": " + std::to_string(FreeBlocks) + ",\n";
    json += "  \"tracks\": " + std::to_string(Tracks) + ",\n";
    json += "  \"files\": [";
    for (size_t i = 0; i < Files.size(); ++i) {
        const TC64DirRecord& f = Files[i];
        json += i ? ",\n" : "\n";
        json += "    {\"name\": " + JsonString(PetsciiToCliName(f.Name)) +
                ", \"name_hex\": " + JsonString(Hex(f.Name)) + ", \"blocks\": " + std::to_string(f.Blocks) +
                ", \"type\": " + JsonString(FileKindText(f.Kind)) +
                ", \"locked\": " + (f.Locked ? "true" : "false") +
                ", \"closed\": " + (f.Closed ? "true" : "false") + ", \"track\": " + std::to_string(f.Track) +
                ", \"sector\": " + std::to_string(f.Sector) + "}";
    }
    json += Files.empty() ? "]\n" : "\n  ]\n";
    json += "}\n";
    return json;
}

std::string FormatBamChart(TC64Disk& Disk) {
    const int tracks = Disk.GetTrackCount();
    std::string tens = "trk  ", units = "     ";
    for (int t = 1; t <= tracks; ++t) {
        tens += static_cast<char>('0' + t / 10);
        units += static_cast<char>('0' + t % 10);
    }
    std::string chart = tens + "\n" + units + "\n";
    int rows = 0;
    for (int t = 1; t <= tracks; ++t)
        rows = std::max(rows, Disk.GetSectorsPerTrack(t));
    for (int s = 0; s < rows; ++s) {
        char label[8];
        std::snprintf(label, sizeof label, "%3d  ", s);
        std::string row = label;
        for (int t = 1; t <= tracks; ++t) {
            if (s >= Disk.GetSectorsPerTrack(t))
                row += ' ';
            else
                row += Disk.IsSectorUsed(MakeTrackSector(t, s)) ? '*' : '.';
        }
        while (!row.empty() && row.back() == ' ')
            row.pop_back();
        chart += row + "\n";
    }
    return chart;
}
