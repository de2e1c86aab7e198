#include "app/startup.h"

#include <algorithm>
#include <cstdint>

#include "app/utility.h"
#include "ui/dpi.h"

std::string BasePathOf(const std::string& exePath) {
    std::string ext = ExtensionOf(exePath);
    return exePath.substr(0, exePath.size() - ext.size());
}

std::string SettingsPathOf(const std::string& exePath) { return BasePathOf(exePath) + ".gobu"; }

std::string PackagePathOf(const std::string& exePath) { return BasePathOf(exePath) + "_zip.exe"; }

std::string GobuTitle(const std::string& exePath) { return CapitalizeFirst(BaseNameOf(exePath)); }

std::string ProcessNameOf(const std::string& exePath) {
    // 64-bit FNV-1a of the path: a kernel object name holds no "\" and at most
    // MAX_PATH characters.
    uint64_t hash = 14695981039346656037ull;
    for (char c : FoldedCase(exePath)) hash = (hash ^ uint8_t(c)) * 1099511628211ull;
    static const char digits[] = "0123456789abcdef";
    std::string name = "Local\\Gobu-";
    for (int shift = 60; shift >= 0; shift -= 4) name += digits[(hash >> shift) & 15];
    return name;
}

std::string WindowsFamilyOf(unsigned long platformId) { return platformId == kPlatformNT ? "nt" : "9x"; }

int ScaleSpeedCount(int reads, const std::string& family) {
    if (reads <= 0) return reads;
    return family == "nt" ? reads / 20 : reads * 3;
}

Point PlaceAtCentreOf(Point gobuPos, Size gobu, Size window, Size screen) {
    Point p{gobuPos.x + gobu.cx / 2, gobuPos.y + gobu.cy / 2};
    if (p.x + window.cx > screen.cx) p.x = screen.cx - window.cx;
    if (p.y + window.cy > screen.cy) p.y = screen.cy - window.cy;
    return p;
}

Point VisiblePosition(Point pos, Size window, const std::vector<Area>& monitors, Area workArea, int dpi) {
    const int need = ScaleForDpi(32, dpi);
    const int needX = std::min(need, window.cx), needY = std::min(need, window.cy);
    for (const Area& m : monitors) {
        int shownX = std::min(pos.x + window.cx, m.right) - std::max(pos.x, m.left);
        int shownY = std::min(pos.y + window.cy, m.bottom) - std::max(pos.y, m.top);
        if (shownX >= needX && shownY >= needY) return pos;
    }
    // A window larger than the work area keeps its left or top edge on it.
    return Point{std::max(workArea.left, std::min(pos.x, workArea.right - window.cx)),
                 std::max(workArea.top, std::min(pos.y, workArea.bottom - window.cy))};
}

Point PopupMenuPoint(Point windowPos, Size window, Point client, Size screen, bool animation, int dpi) {
    Point mouse{windowPos.x + client.x, windowPos.y + client.y};
    const int margin = ScaleForDpi(100, dpi);
    if (animation && mouse.x < screen.cx - margin && mouse.y < screen.cy - margin)
        return Point{windowPos.x + window.cx, windowPos.y + window.cy};
    return mouse;
}
