#include "app/settings.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

enum class LineKind { Number, List, Flag };

// How a number read from the file is fitted to its field.
enum class Range { Any, Clamp, Select };

struct SettingsField {
    const char* keyword;
    LineKind kind;
    int GobuSettings::*number;
    std::vector<std::string> GobuSettings::*list;
    bool GobuSettings::*flag;
    Range range;
    int low, high;
    bool geometry;
};

// Every line of the file, in the order they are written.
const SettingsField kFields[] = {
    {"gobu left ", LineKind::Number, &GobuSettings::windowLeft, nullptr, nullptr, Range::Any, 0, 0, true},
    {"gobu top ", LineKind::Number, &GobuSettings::windowTop, nullptr, nullptr, Range::Any, 0, 0, true},
    {"list left ", LineKind::Number, &GobuSettings::listLeft, nullptr, nullptr, Range::Any, 0, 0, true},
    {"list top ", LineKind::Number, &GobuSettings::listTop, nullptr, nullptr, Range::Any, 0, 0, true},
    {"list width ", LineKind::Number, &GobuSettings::listWidth, nullptr, nullptr, Range::Any, 0, 0, true},
    {"list height ", LineKind::Number, &GobuSettings::listHeight, nullptr, nullptr, Range::Any, 0, 0, true},
    {"picture ", LineKind::List, nullptr, &GobuSettings::pictures, nullptr, Range::Any, 0, 0, false},
    {"file ", LineKind::List, nullptr, &GobuSettings::linkedFiles, nullptr, Range::Any, 0, 0, false},
    {"include ", LineKind::List, nullptr, &GobuSettings::includeFiles, nullptr, Range::Any, 0, 0, false},
    {"transition ", LineKind::Number, &GobuSettings::transition, nullptr, nullptr, Range::Select, 0,
     kEffectCount - 1, false},
    {"duration ", LineKind::Number, &GobuSettings::duration, nullptr, nullptr, Range::Clamp, kMinDuration,
     kMaxDuration, false},
    {"destination ", LineKind::Number, &GobuSettings::destination, nullptr, nullptr, Range::Select, 0,
     kDestinationCount - 1, false},
    {"group launch", LineKind::Flag, nullptr, nullptr, &GobuSettings::groupLaunch, Range::Any, 0, 0, false},
    {"transparent", LineKind::Flag, nullptr, nullptr, &GobuSettings::transparent, Range::Any, 0, 0, false},
    {"animation", LineKind::Flag, nullptr, nullptr, &GobuSettings::animation, Range::Any, 0, 0, false},
    {"ontop", LineKind::Flag, nullptr, nullptr, &GobuSettings::stayOnTop, Range::Any, 0, 0, false},
};

bool StartsWith(const std::string& s, const char* prefix) {
    return s.compare(0, strlen(prefix), prefix) == 0;
}

// Reads a decimal number, saturating far outside 32 bits so that a clamped field
// still sees "huge" as huge.
bool ReadWide(const std::string& text, long long& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') i++;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    long long magnitude = 0;
    for (; i < text.size(); i++) {
        if (text[i] < '0' || text[i] > '9') return false;
        if (magnitude < (1LL << 40)) magnitude = magnitude * 10 + (text[i] - '0');
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

void ApplyNumber(const SettingsField& field, const std::string& text, GobuSettings& settings) {
    long long value;
    if (!ReadWide(text, value)) return;
    int& target = settings.*field.number;
    if (field.range == Range::Clamp) {
        target = int(value < field.low ? field.low : value > field.high ? field.high : value);
    } else if (value < INT_MIN || value > INT_MAX) {
        return;
    } else if (field.range == Range::Select && (value < field.low || value > field.high)) {
        target = -1;  // a drop-down left with no item selected
    } else {
        target = int(value);
    }
}

void ApplyLine(const std::string& line, bool withPositions,
               const std::function<std::string(const std::string&)>& resolve, GobuSettings& settings) {
    // Keywords match in any letter case; values are kept as written.
    const std::string lower = LowerAZ(line);
    for (const SettingsField& field : kFields) {
        if (field.kind == LineKind::Flag) {
            if (lower != field.keyword) continue;
            settings.*field.flag = true;
            return;
        }
        if (!StartsWith(lower, field.keyword)) continue;
        const std::string value = line.substr(strlen(field.keyword));
        if (field.kind == LineKind::List)
            (settings.*field.list).push_back(resolve(value));
        else if (withPositions || !field.geometry)
            ApplyNumber(field, value, settings);
        return;
    }
}

}  // namespace

std::string FormatSettings(const GobuSettings& settings) {
    std::string out;
    for (const SettingsField& field : kFields) {
        switch (field.kind) {
        case LineKind::Number:
            out += field.keyword + std::to_string(settings.*field.number) + "\r\n";
            break;
        case LineKind::List:
            for (const std::string& entry : settings.*field.list) out += field.keyword + entry + "\r\n";
            break;
        case LineKind::Flag:
            if (settings.*field.flag) out += std::string(field.keyword) + "\r\n";
            break;
        }
    }
    return out;
}

int ReadSettings(const std::string& bytes, bool withPositions,
                 const std::function<std::string(const std::string&)>& resolve, GobuSettings& settings) {
    settings.pictures.clear();
    settings.linkedFiles.clear();
    settings.includeFiles.clear();
    settings.groupLaunch = settings.transparent = settings.animation = settings.stayOnTop = false;

    // A line ends at CR, and one LF right after it belongs to that end; a lone LF is
    // part of the line. Ctrl-Z ends the file.
    const size_t end = std::min(bytes.find('\x1a'), bytes.size());
    int lines = 0;
    size_t pos = 0;
    while (pos < end) {
        size_t cr = std::min(bytes.find('\r', pos), end);
        ApplyLine(bytes.substr(pos, cr - pos), withPositions, resolve, settings);
        lines++;
        pos = cr + 1;
        if (pos < end && bytes[pos] == '\n') pos++;
    }
    return lines;
}

int DurationOfText(const std::string& text) {
    long long wide;
    if (!ReadWide(text, wide)) return kMinDuration;
    return int(std::clamp<long long>(wide, kMinDuration, kMaxDuration));
}
