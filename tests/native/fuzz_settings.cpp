// The fuzz target of the settings reader: any bytes read into a model whose every field
// lies in its range, and the file saved from that model reads back to the same file,
// so that a gobu never loses a setting to its own save. Built with libFuzzer on demand,
// and driven by a bounded mutation run in the ordinary tests.
#include <cstdlib>
#include <string>

#include "app/settings.h"

namespace {

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

std::string Unchanged(const std::string& path) { return path; }

// Files missing at their place are looked for beside the gobu, as when it starts; here
// every name of an even length exists.
std::string Resolve(const std::string& path) {
    return ResolveListedPath(path, "c:\\gobus", [](const std::string& p) { return p.size() % 2 == 0; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GobuSettings read;
    ReadSettings(std::string(reinterpret_cast<const char*>(data), size), true, Resolve, read);
    if (!InRange(read.transition, -1, kEffectCount - 1) ||
        !InRange(read.duration, kMinDuration, kMaxDuration) ||
        !InRange(read.destination, -1, kDestinationCount - 1))
        abort();
    std::string saved = FormatSettings(read);
    GobuSettings back;
    ReadSettings(saved, true, Unchanged, back);
    if (FormatSettings(back) != saved) abort();
    return 0;
}
