// Start-up rules of a gobu that need no Windows: names derived from the executable's
// path, the transition pacing calibration, and where windows and menus are placed.
#pragma once
#include <string>
#include <vector>

// The executable's path without its extension; the settings file, the package and the
// window titles all derive from it.
std::string BasePathOf(const std::string& exePath);
// base path + ".gobu": the settings file of the gobu of that executable.
std::string SettingsPathOf(const std::string& exePath);
// base path + "_zip.exe": the package an earlier share left beside the executable.
std::string PackagePathOf(const std::string& exePath);
// The base name with its first letter upper-cased: c:\gobus\holiday.exe gives Holiday.
std::string GobuTitle(const std::string& exePath);
// The name under which the one running process of a gobu is found: the same for every
// letter case of A to Z in the path, short enough for a kernel object whatever the
// path's length, and of the user's session only.
std::string ProcessNameOf(const std::string& exePath);

// The platform numbers the system reports for its version.
enum : unsigned long { kPlatformWin32s = 0, kPlatformWindows9x = 1, kPlatformNT = 2 };
// "nt" on every Windows of the NT platform (NT 4 to 11, whatever its folder is called),
// "9x" on Windows 95, 98 and ME.
std::string WindowsFamilyOf(unsigned long platformId);
// The calibrated count of clock reads per tick, scaled for the family: NT systems
// divide it by 20, the 9x family multiplies it by 3.
int ScaleSpeedCount(int reads, const std::string& family);

struct Point {
    int x, y;
};
struct Size {
    int cx, cy;
};

// A window that opens at the centre of the gobu: its top-left corner at the gobu's
// centre, moved left or up only as far as needed to end at the screen's far edges.
Point PlaceAtCentreOf(Point gobuPos, Size gobu, Size window, Size screen);

struct Area {
    int left, top, right, bottom;
};

// Where a window whose position was read from a settings file opens. A package carries
// the sender's positions, which may lie off a smaller screen: unless at least 32 x 32
// pixels (at 96 DPI, in proportion at the screen's dpi) of the window, or all of it
// when smaller, lie on one of the monitors, it moves just inside the nearest edges of
// the work area. A visible position stays as written.
Point VisiblePosition(Point pos, Size window, const std::vector<Area>& monitors, Area workArea, int dpi);

// Where a right click opens the popup menu. With GIF Animation set and the mouse more
// than 100 pixels (at 96 DPI) inside the right and bottom screen edges, the menu opens
// at the window's bottom-right corner, clear of the animation; otherwise at the mouse.
Point PopupMenuPoint(Point windowPos, Size window, Point client, Size screen, bool animation, int dpi);
