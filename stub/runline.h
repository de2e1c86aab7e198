// Texts of the stub's dialog and run step: bounded copies into fixed buffers, the
// command line's split and destination marker, and the free-space check. No library.
#pragma once

#include <stdint.h>

uint32_t TextLength(const char* s);

// Appends n bytes of from to the terminated text in out, a buffer of size bytes. False,
// with out unchanged, when the result would not fit.
bool AppendText(char* out, uint32_t size, const char* from, uint32_t n);
bool AppendText(char* out, uint32_t size, const char* from);

// The program part of a command line (all of it up to its first "|") and the
// parameter part (the rest; empty without a "|").
struct CmdLineParts {
    const char* program;
    uint32_t programLength;
    const char* params;
    uint32_t paramsLength;
};
CmdLineParts SplitCmdLine(const char* cmdLine);

// Appends n bytes of text to out with every "><" replaced by folder ending in "\".
bool AppendWithDestination(char* out, uint32_t size, const char* text, uint32_t n, const char* folder);

// The caption of the dialog's run box: "After extraction, run : ", the program part and,
// when there is one, a blank and the parameter part, each with every "><" shown as the
// folder it will stand for. False when it does not fit out, a buffer of size bytes.
bool RunBoxText(char* out, uint32_t size, const char* cmdLine, const char* folder);

// True when files of needed bytes fit into free bytes; otherwise the message that says
// so, naming both sizes, is put into out.
bool RoomFor(uint64_t needed, uint64_t free, char* out, uint32_t size);
