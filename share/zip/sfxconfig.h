// The settings of the extractor stub's dialog, turned into the configuration block that
// a package carries between the stub and the archive, and the extraction of the stub
// from the tail of a gobu executable.
#pragma once

#include <cstdint>
#include <string>

#include "share/zip/sfxformat.h"

enum TsfxOverwriteMode { omPrompt = 0, omAlways = 1, omNever = 2 };

class TSFXConfig {
public:
    virtual ~TSFXConfig() = default;

    bool UserCanDisableCmdLine = false;
    bool UserCanChooseFiles = false;
    bool UserCanChangeOverwrite = false;
    TsfxOverwriteMode OverwriteMode = omAlways;
    bool AutoExtract = false;
    std::string Caption = SFX_DEFAULT_TITLE;
    std::string DefaultPath;  // "": the folder the stub runs in; "><": the temporary folder
    std::string CmdLine;      // program "|" parameters; "><" stands for the destination
    std::string InfoText;
    std::string InfoTitle;

    // The block built last, and its size.
    std::string ConfigBlock;
    uint16_t ConfigBlockSize = 0;

    // Builds ConfigBlock from the settings, replacing any earlier block. A string longer
    // than its length field can say throws std::length_error and keeps the old block:
    // cut short, it would make the stub misread everything behind it.
    virtual void BuildConfigBlock();
};

// "sfxstub32.bin" in the folder of exePath.
std::string StubPathOf(const std::string& exePath);

// Writes the last StubSize bytes of the executable exePath to "sfxstub32.bin" beside it,
// unless that file exists already (it is then used as it is). Reports nothing: when any
// step fails, no stub file is left, and building a package then fails for want of it.
void ExtractStubFile(const std::string& exePath);
