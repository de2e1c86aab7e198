// gobuzip [-0 ... -9] [--prefix FILE] OUT.zip FILE...
// Writes OUT.zip from the files, in that order, with the archive writer the program
// uses for sharing: level 9 unless told otherwise, bare file names, and FILE's bytes
// copied ahead of the archive when a prefix is given. Prints the number of entries
// written; on failure prints the error and exits with status 1 (2 for bad usage).
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "share/zip/zipwriter.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: gobuzip [-0 ... -9] [--prefix FILE] OUT.zip FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int level = 9;
    const char* prefixPath = nullptr;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; i++) {
        const char* a = argv[i];
        if (a[1] >= '0' && a[1] <= '9' && a[2] == '\0') {
            level = a[1] - '0';
        } else if (std::strcmp(a, "--prefix") == 0 && i + 1 < argc) {
            prefixPath = argv[++i];
        } else if (std::strcmp(a, "--") == 0) {
            i++;
            break;
        } else {
            return Usage();
        }
    }
    if (argc - i < 2) return Usage();

    std::ifstream prefix;
    TZipWriter writer;
    writer.ZipName = argv[i++];
    writer.PackLevel = level;
    writer.StorePaths = false;
    for (; i < argc; i++) writer.FilesList.push_back(argv[i]);
    if (prefixPath != nullptr) {
        prefix.open(prefixPath, std::ios::binary);
        if (!prefix) {
            std::fprintf(stderr, "gobuzip: cannot open the prefix %s\n", prefixPath);
            return 1;
        }
        writer.PackagePrefix = &prefix;
    }
    try {
        std::printf("%u\n", unsigned(writer.WriteArchive()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gobuzip: %s\n", e.what());
        return 1;
    }
    return 0;
}
