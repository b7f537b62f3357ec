// The unscratch command over the engine's FindScratchedFiles and UnscratchFiles.
#include "UnscratchCommand.h"

#include "Commands.h"
#include "ImageTransaction.h"
#include "NameConvention.h"
#include "Unscratch.h"

int UnscratchImage(const TCommandLine& Line, std::ostream& Err) {
    TImageTransaction image(Line.Operands[0], Line.Dos, Line.IgnoreWriteProtection, Err);
    image.Begin();
    const std::vector<TScratchedFile> scratched = FindScratchedFiles(image.Disk());
    std::vector<uint8_t*> entries;
    for (size_t i = 1; i < Line.Operands.size(); ++i) {
        PetsciiString wanted = CliNameToPetscii(Line.Operands[i]);
        wanted = wanted.substr(0, wanted.find('\xA0')); // as the drive compares names
        int matches = 0;
        for (const TScratchedFile& file : scratched)
            if (file.Name == wanted) {
                entries.push_back(file.Entry);
                ++matches;
            }
        if (matches == 0) throw ECliError("No scratched file \"" + Line.Operands[i] + "\"");
        if (matches > 1 && !Line.All)
            throw ECliError("\"" + Line.Operands[i] + "\" names " + std::to_string(matches) +
                            " scratched files (use --all to take all of them)");
    }
    UnscratchFiles(image.Disk(), entries);
    image.Commit();
    return ecOk;
}
