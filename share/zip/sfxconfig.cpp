#include "share/zip/sfxconfig.h"

#include <stdexcept>
#include <vector>

#include "share/zip/zipfs.h"

namespace {

void CheckLength(const std::string& text, size_t max, const char* what) {
    if (text.size() > max)
        throw std::length_error(std::string("The ") + what + " of the package is longer than " +
                                std::to_string(max) + " bytes.");
}

}  // namespace

void TSFXConfig::BuildConfigBlock() {
    CheckLength(Caption, 0xFF, "caption");
    CheckLength(DefaultPath, 0xFF, "destination folder");
    CheckLength(CmdLine, 0xFF, "command line");
    CheckLength(InfoText, 0xFFFF, "information text");
    CheckLength(InfoTitle, 0xFF, "information title");
    size_t size = kSfxHeadSize + Caption.size() + DefaultPath.size() + CmdLine.size() + InfoText.size() +
                  InfoTitle.size() + kSfxTailSize;
    if (size > kSfxMaxBlockSize) throw std::length_error("The configuration block would exceed 65535 bytes.");

    uint8_t flags = 0;
    if (UserCanDisableCmdLine) flags |= kSfxUserCanDisableCmdLine;
    if (UserCanChooseFiles) flags |= kSfxUserCanChooseFiles;
    if (!UserCanChangeOverwrite) flags |= kSfxOverwriteLocked;
    if (OverwriteMode == omAlways) flags |= kSfxOverwriteAlways;
    if (OverwriteMode == omNever) flags |= kSfxOverwriteNever;
    if (AutoExtract) flags |= kSfxAutoExtract;

    std::string b = "SFX";
    b += char(flags);
    b += char(Caption.size());
    b += char(DefaultPath.size());
    b += char(CmdLine.size());
    b += char(InfoText.size() & 0xFF);
    b += char(InfoText.size() >> 8);
    b += char(InfoTitle.size());
    b += Caption + DefaultPath + CmdLine + InfoText + InfoTitle;
    b += char(size & 0xFF);
    b += char(size >> 8);
    ConfigBlock = b;
    ConfigBlockSize = uint16_t(size);
}

std::string StubPathOf(const std::string& exePath) {
    size_t slash = exePath.find_last_of("\\/:");
    return exePath.substr(0, slash == std::string::npos ? 0 : slash + 1) + "sfxstub32.bin";
}

void ExtractStubFile(const std::string& exePath) {
    std::string stubPath = StubPathOf(exePath);
    if (ZipFileExists(stubPath)) return;
    TZipFile exe, stub;
    if (!exe.OpenRead(exePath) || exe.Size() < StubSize || !exe.Seek(exe.Size() - StubSize)) return;
    std::vector<char> bytes(StubSize);
    size_t got = 0;
    while (got < bytes.size()) {
        ptrdiff_t n = exe.Read(bytes.data() + got, bytes.size() - got);
        if (n <= 0) return;
        got += size_t(n);
    }
    if (!stub.CreateNew(stubPath)) return;
    // A stub file that exists is never replaced, so a partial one must not stay: it
    // would become the head of every package built from this folder.
    if (stub.Write(bytes.data(), bytes.size()) < bytes.size()) {
        stub.Close();
        ZipDeleteFile(stubPath);
    }
}
