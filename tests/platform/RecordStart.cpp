// Stands in for an emulator in the launch tests: writes its working folder and then
// each argument, one per line, to the file that KBM_RECORD_FILE names (so the variable
// also shows that the environment arrived). The file appears complete or not at all.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    const char* Target = std::getenv("KBM_RECORD_FILE");
    if (!Target) return 2;
    char Folder[4096];
    if (!getcwd(Folder, sizeof Folder)) return 3;
    const std::string Partial = std::string(Target) + ".part";
    FILE* File = std::fopen(Partial.c_str(), "wb");
    if (!File) return 4;
    std::fprintf(File, "%s\n", Folder);
    for (int i = 1; i < argc; ++i)
        std::fprintf(File, "%s\n", argv[i]);
    std::fclose(File);
    return std::rename(Partial.c_str(), Target) == 0 ? 0 : 5;
}
