// bench_package [--repeat N] [EXE]
// What a share costs, with gobu.exe (GOBU_BENCH_EXE by default) as the gobu:
// - the size of gobu.exe with its stub, and of the package of a fresh gobu that shows
//   only the built-in picture, each against its goal;
// - a share of a gobu with ten pictures of about 300 KB (photo-like JPEGs made with
//   ImageMagick's convert) and a 2 MB text file (the machine's licences and man pages):
//   the time from OK to the package on disk (stub extraction, configuration block and
//   package, as the Share dialog does them), best of N runs (default 5), beside Info-ZIP
//   `zip -9 -X` of the same files in the same order. Sizes compare like with like: zip's
//   archive is counted with the stub and block that ours carries in front, and its time
//   is that of zip alone, which favours zip by the copy of that prefix.
// Every package is checked with `unzip -t` before its figures count.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "app/utility.h"
#include "bench/benchmark.h"
#include "share/zip/sfxconfig.h"
#include "share/zip/zipwriter.h"

namespace {

const long long kExeGoal = 640000, kPackageGoal = 300000;
const double kSpeedGoal = 1.5, kSizeGoalPercent = 0.1;
const int kPictures = 10;
const long kTextSize = 2 * 1024 * 1024;

long long FileSize(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (long long)st.st_size : -1;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

void Report(const char* what, long long size, long long goal) {
    std::printf("%-44s %9lld bytes   goal at most %lld: %s\n", what, size, goal,
                size >= 0 && size <= goal ? "met" : "MISSED");
}

// A gobu in its folder: the executable and its settings file naming what it shows.
struct Gobu {
    std::string exe, settings, stub, package;
    std::vector<std::string> pictures, included;
    TSFXConfig config;

    Gobu(const std::string& folder, const std::string& name)
        : exe(folder + "/" + name + ".exe"),
          settings(folder + "/" + name + ".gobu"),
          stub(StubPathOf(exe)),
          package(folder + "/" + name + "_zip.exe") {
        config.UserCanChangeOverwrite = true;
        config.OverwriteMode = omAlways;
        config.Caption = CapitalizeFirst(name + ".exe");
        config.DefaultPath = "c:\\gobus";
        config.CmdLine = "><" + name + ".exe";
    }

    void WriteSettings() const {
        GobuSettings s;
        s.pictures = pictures;
        s.includeFiles = included;
        std::ofstream(settings, std::ios::binary) << FormatSettings(s);
    }

    // What the package holds, in the order the Share dialog packs it.
    std::vector<std::string> Files() const {
        std::vector<std::string> files = {exe, stub, settings};
        files.insert(files.end(), pictures.begin(), pictures.end());
        files.insert(files.end(), included.begin(), included.end());
        return files;
    }

    // The work between OK and the package on disk; the number of entries, 0 on failure.
    uint32_t Share() {
        ExtractStubFile(exe);
        config.BuildConfigBlock();
        TZipWriter writer;
        writer.ZipName = exe.substr(0, exe.size() - 4) + ".zip";
        writer.PackLevel = 9;
        writer.StorePaths = false;
        writer.FilesList = Files();
        unlink(package.c_str());
        try {
            return writer.WritePackage(stub, package, config.ConfigBlockSize, config.ConfigBlock);
        } catch (const EZipError& e) {
            std::fprintf(stderr, "bench_package: %s\n", e.what());
            return 0;
        }
    }

    // Info-ZIP's archive of the same files, counted with the prefix ours carries.
    long long PeerSize(const std::string& archive) const {
        return FileSize(stub) + config.ConfigBlockSize + FileSize(archive);
    }
};

std::string ZipCommand(const std::string& archive, const std::vector<std::string>& files) {
    std::string command = "zip -q -9 -X -j " + Quote(archive);
    for (const std::string& f : files) command += " " + Quote(f);
    return command;
}

bool PackageTests(const std::string& package) { return Run("unzip -tqq " + Quote(package)); }

// Ten photo-like pictures (plasma fractals, the same for the same seed) and the text:
// licences, man pages in name order and, where a machine has few man pages, the
// packages' copyright notes, cut at exactly kTextSize bytes.
bool MakeShareFiles(Gobu& gobu, const std::string& folder) {
    for (int i = 1; i <= kPictures; i++) {
        std::string path = folder + "/picture" + std::to_string(i) + ".jpg";
        if (!Run(std::string(GOBU_CONVERT) + " -seed " + std::to_string(i) +
                 " -size 1088x800 plasma:fractal -quality 90 " + Quote(path)))
            return false;
        gobu.pictures.push_back(path);
    }
    std::string text = folder + "/notes.txt";
    Run("export LC_ALL=C; { cat /usr/share/common-licenses/*; ls /usr/share/man/man1/*.1.gz | head -n 2000 |"
        " while read -r page; do gzip -dc \"$page\"; done; cat /usr/share/doc/*/copyright; } 2>/dev/null |"
        " head -c " +
        std::to_string(kTextSize) + " > " + Quote(text));
    if (FileSize(text) != kTextSize) {
        std::fprintf(stderr, "bench_package: too little text for %s\n", text.c_str());
        return false;
    }
    gobu.included.push_back(text);
    gobu.WriteSettings();
    return true;
}

// The first two parts: sizes only.
bool FreshGobu(const std::string& exe, const std::string& folder) {
    Gobu gobu(folder, "gobu");
    if (!Run("cp " + Quote(exe) + " " + Quote(gobu.exe))) return false;
    gobu.WriteSettings();
    bool ok = gobu.Share() != 0 && PackageTests(gobu.package);
    const std::string archive = folder + "/info.zip";
    long long peer = Run(ZipCommand(archive, gobu.Files())) ? gobu.PeerSize(archive) : -1;

    Report("gobu.exe with its 36352-byte stub", FileSize(exe), kExeGoal);
    Report("package of a fresh gobu (ours, level 9)", FileSize(gobu.package), kPackageGoal);
    std::printf("%-44s %9lld bytes   (stub, block and zip -9 -X of the same files)\n",
                "the same package by Info-ZIP", peer);
    return ok;
}

bool ShareWithPictures(const std::string& exe, const std::string& folder, int repeat) {
    Gobu gobu(folder, "holiday");
    if (!Run("cp " + Quote(exe) + " " + Quote(gobu.exe)) || !MakeShareFiles(gobu, folder)) return false;
    const std::vector<std::string> files = gobu.Files();
    const std::string archive = folder + "/info.zip";
    double ours = 1e9, theirs = 1e9;
    uint32_t entries = 0;
    bool zipOk = true;
    for (int r = 0; r < repeat; r++) {
        unlink(gobu.stub.c_str());  // every run is the first share, which extracts the stub
        Clock::time_point t = Clock::now();
        entries = gobu.Share();
        ours = std::min(ours, Seconds(t));

        unlink(archive.c_str());
        t = Clock::now();
        zipOk = Run(ZipCommand(archive, files)) && zipOk;
        theirs = std::min(theirs, Seconds(t));
    }
    long long input = 0;
    for (const std::string& f : files) input += FileSize(f);
    long long size = FileSize(gobu.package), peer = gobu.PeerSize(archive);
    double speed = theirs / ours, growth = 100.0 * (double(size) / double(peer) - 1);
    bool ok = entries == files.size() && PackageTests(gobu.package);

    std::printf(
        "\nShare of a gobu with %d pictures and a 2 MB text file: %zu files, %lld bytes, best of %d runs\n",
        kPictures, files.size(), input, repeat);
    std::printf("%-44s %12s %10s\n", "", "package", "seconds");
    std::printf("%-44s %12lld %10.3f\n", "ours (OK to package on disk)", size, ours);
    std::printf("%-44s %12lld %10.3f%s\n", "zip -9 -X (with the same stub and block)", peer, theirs,
                zipOk ? "" : "  (zip reported an error)");
    std::printf("speed: %.2fx zip's, goal at least %.1fx: %s\n", speed, kSpeedGoal,
                speed >= kSpeedGoal ? "met" : "MISSED");
    std::printf("size: %+.3f%% against zip's, goal at most %+.1f%%: %s\n", growth, kSizeGoalPercent,
                growth <= kSizeGoalPercent ? "met" : "MISSED");
    std::printf("our package %s unzip -t with all %zu entries\n", ok ? "passes" : "FAILS", files.size());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    int repeat = 5;
    const char* env = std::getenv("GOBU_BENCH_EXE");
    std::string exe = env ? env : "";
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++i]));
        else
            exe = argv[i];
    }
    if (exe.empty() || FileSize(exe) < 0) {
        std::fprintf(stderr, "usage: bench_package [--repeat N] EXE (or set GOBU_BENCH_EXE)\n");
        return 2;
    }
    char freshTemplate[] = "/tmp/bench_package.XXXXXX", shareTemplate[] = "/tmp/bench_share.XXXXXX";
    if (!mkdtemp(freshTemplate) || !mkdtemp(shareTemplate)) return 1;
    bool ok = FreshGobu(exe, freshTemplate);
    ok = ShareWithPictures(exe, shareTemplate, repeat) && ok;
    for (const char* folder : {freshTemplate, shareTemplate})
        if (!Run("rm -rf " + Quote(folder))) std::fprintf(stderr, "could not remove %s\n", folder);
    return ok ? 0 : 1;
}
