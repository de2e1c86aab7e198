// bench_package [EXE]
// What every share carries: the size of gobu.exe (GOBU_BENCH_EXE by default) with its
// stub, and of the package of a fresh gobu that shows only the built-in picture (the
// exe, the stub file and the settings file, level 9, behind the stub and a block),
// each against its goal; beside ours, the same files packed by Info-ZIP's zip -9.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/settings.h"
#include "share/zip/sfxconfig.h"
#include "share/zip/zipwriter.h"

namespace {

const long long kExeGoal = 600000, kPackageGoal = 300000;

long long FileSize(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (long long)st.st_size : -1;
}

void Report(const char* what, long long size, long long goal) {
    std::printf("%-44s %9lld bytes   goal at most %lld: %s\n", what, size, goal,
                size >= 0 && size <= goal ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
    const char* env = std::getenv("GOBU_BENCH_EXE");
    std::string exe = argc > 1 ? argv[1] : env ? env : "";
    if (exe.empty() || FileSize(exe) < 0) {
        std::fprintf(stderr, "usage: bench_package EXE (or set GOBU_BENCH_EXE)\n");
        return 2;
    }
    char dirTemplate[] = "/tmp/bench_package.XXXXXX";
    if (!mkdtemp(dirTemplate)) return 1;
    const std::string dir = dirTemplate;
    const std::string gobu = dir + "/gobu.exe", settings = dir + "/gobu.gobu",
                      package = dir + "/gobu_zip.exe";
    std::string copy = "cp '" + exe + "' '" + gobu + "'";
    if (std::system(copy.c_str()) != 0) return 1;
    std::ofstream(settings, std::ios::binary) << FormatSettings(GobuSettings());
    ExtractStubFile(gobu);
    const std::string stub = StubPathOf(gobu);

    TSFXConfig config;
    config.DefaultPath = "c:\\gobus";
    config.CmdLine = "><gobu.exe";
    config.BuildConfigBlock();
    TZipWriter writer;
    writer.PackLevel = 9;
    writer.FilesList = {gobu, stub, settings};
    int status = 0;
    try {
        writer.WritePackage(stub, package, config.ConfigBlockSize, config.ConfigBlock);
    } catch (const EZipError& e) {
        std::fprintf(stderr, "bench_package: %s\n", e.what());
        status = 1;
    }
    const std::string infoZip = dir + "/info.zip";
    std::string zip = "zip -q -9 -X -j '" + infoZip + "' '" + gobu + "' '" + stub + "' '" + settings + "'";
    long long peer =
        std::system(zip.c_str()) == 0 ? FileSize(stub) + config.ConfigBlockSize + FileSize(infoZip) : -1;

    Report("gobu.exe with its 36352-byte stub", FileSize(exe), kExeGoal);
    Report("package of a fresh gobu (ours, level 9)", FileSize(package), kPackageGoal);
    std::printf("%-44s %9lld bytes   (stub, block and zip -9 -X of the same files)\n",
                "the same package by Info-ZIP", peer);
    std::string cleanup = "rm -rf '" + dir + "'";
    if (std::system(cleanup.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", dir.c_str());
    return status;
}
