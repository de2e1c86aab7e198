// gobuzip [-0 ... -9] [--prefix FILE] OUT.zip FILE...
// gobuzip [-0 ... -9] --sfx STUB [--caption TEXT] [--dest PATH] [--run CMDLINE]
//         [--overwrite prompt|always|never] [--changeable] [--auto] OUT.exe FILE...
// gobuzip --extract-stub EXE
// Writes OUT.zip from the files, in that order, with the archive writer the program
// uses for sharing: level 9 unless told otherwise, bare file names, and FILE's bytes
// copied ahead of the archive when a prefix is given. With --sfx it writes a
// self-extracting package instead: the stub, a configuration block with the options
// given, and the archive. Prints the number of entries written; on failure prints the
// error and exits with status 1 (2 for bad usage). --extract-stub writes
// sfxstub32.bin beside EXE from EXE's tail, as sharing does, and exits with status 1
// when there is no such file afterwards.
#include <cstdio>
#include <cstring>
#include <string>

#include "share/zip/sfxconfig.h"
#include "share/zip/zipfs.h"
#include "share/zip/zipwriter.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: gobuzip [-0 ... -9] [--prefix FILE] OUT.zip FILE...\n"
                 "       gobuzip [-0 ... -9] --sfx STUB [--caption TEXT] [--dest PATH] [--run CMDLINE]\n"
                 "               [--overwrite prompt|always|never] [--changeable] [--auto] OUT.exe FILE...\n"
                 "       gobuzip --extract-stub EXE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int level = 9;
    const char* prefixPath = nullptr;
    const char* stubPath = nullptr;
    TSFXConfig config;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; i++) {
        const char* a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a[1] >= '0' && a[1] <= '9' && a[2] == '\0') {
            level = a[1] - '0';
        } else if (std::strcmp(a, "--extract-stub") == 0 && hasValue && i + 2 == argc) {
            ExtractStubFile(argv[i + 1]);
            return ZipFileExists(StubPathOf(argv[i + 1])) ? 0 : 1;
        } else if (std::strcmp(a, "--prefix") == 0 && hasValue) {
            prefixPath = argv[++i];
        } else if (std::strcmp(a, "--sfx") == 0 && hasValue) {
            stubPath = argv[++i];
        } else if (std::strcmp(a, "--caption") == 0 && hasValue) {
            config.Caption = argv[++i];
        } else if (std::strcmp(a, "--dest") == 0 && hasValue) {
            config.DefaultPath = argv[++i];
        } else if (std::strcmp(a, "--run") == 0 && hasValue) {
            config.CmdLine = argv[++i];
        } else if (std::strcmp(a, "--overwrite") == 0 && hasValue) {
            std::string mode = argv[++i];
            if (mode == "prompt")
                config.OverwriteMode = omPrompt;
            else if (mode == "never")
                config.OverwriteMode = omNever;
            else if (mode == "always")
                config.OverwriteMode = omAlways;
            else
                return Usage();
        } else if (std::strcmp(a, "--changeable") == 0) {
            config.UserCanChangeOverwrite = true;
        } else if (std::strcmp(a, "--auto") == 0) {
            config.AutoExtract = true;
        } else if (std::strcmp(a, "--") == 0) {
            i++;
            break;
        } else {
            return Usage();
        }
    }
    if (argc - i < 2 || (prefixPath != nullptr && stubPath != nullptr)) return Usage();

    TZipFile prefix;
    TZipWriter writer;
    std::string out = argv[i++];
    writer.ZipName = out;
    writer.PackLevel = level;
    writer.StorePaths = false;
    for (; i < argc; i++) writer.FilesList.push_back(argv[i]);
    if (prefixPath != nullptr) {
        if (!prefix.OpenRead(prefixPath)) {
            std::fprintf(stderr, "gobuzip: cannot open the prefix %s\n", prefixPath);
            return 1;
        }
        writer.PackagePrefix = &prefix;
    }
    try {
        uint32_t count;
        if (stubPath != nullptr) {
            config.BuildConfigBlock();
            count = writer.WritePackage(stubPath, out, config.ConfigBlockSize, config.ConfigBlock);
        } else {
            count = writer.WriteArchive();
        }
        std::printf("%u\n", unsigned(count));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gobuzip: %s\n", e.what());
        return 1;
    }
    return 0;
}
