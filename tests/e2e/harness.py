"""Drives the real gobu.exe under Wine as a user would: starts copies of it under
chosen names, finds their windows on the X display, moves the mouse, presses keys and
reads the screen. Run by ctest with the Wine fixture up (scripts/wine-up)."""

import os
import re
import shutil
import struct
import subprocess
import time
import unittest

SOURCE = os.environ.get("GOBU_SOURCE_DIR") or os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TREE = os.environ.get("GOBU_WINE_TREE_DIR", "")
STATE = os.environ.get("GOBU_WINE_STATE", "")


def _wine_environment():
    out = subprocess.run(["sh", "-c", '. "$0/scripts/wine-env" && env -0', SOURCE],
                         check=True, capture_output=True, env=dict(os.environ, top=SOURCE)).stdout
    return dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)


ENV = _wine_environment()
WINE = ENV["WINE"]


def run(*args, **kw):
    return subprocess.run(list(args), env=ENV, capture_output=True, text=True, **kw)


def wine(*args, timeout=60):
    return run(WINE, *args, timeout=timeout)


def xdotool(*args):
    run("xdotool", *[str(a) for a in args], check=True)
    time.sleep(0.15)


def restart_wine():
    """Ends the Wine server and starts it again as the fixture does: Wine learns of the
    drives in its prefix (GetLogicalDrives) only when its server starts."""
    run("wineserver", "-k")
    subprocess.run(["sh", os.path.join(SOURCE, "scripts", "wine-up")], env=ENV, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)


def reg(*args):
    return wine("reg", *args)


def set_started_before(started=True):
    """Whether the current Wine user has started a gobu before (the start dialog)."""
    if started:
        reg("add", r"HKCU\Software\Gobu", "/v", "FirstStartDone", "/t", "REG_DWORD", "/d", "1", "/f")
    else:
        reg("delete", r"HKCU\Software\Gobu", "/f")


MARKER = os.path.join(TREE, "tests", "wine", "marker.exe")
MAILTO_COMMAND = r"HKCR\mailto\shell\open\command"


def default_value(key):
    """The type and data of a key's default value, or None."""
    out = reg("query", key, "/ve").stdout
    for line in out.splitlines():
        m = re.search(r"(REG_SZ|REG_EXPAND_SZ)\s+(.*)$", line)
        if m:
            return m.group(1), m.group(2).strip()
    return None


def register_mailer(test, folder):
    """A stand-in mail program for "mailto" addresses until the test ends; the file it
    writes its command line to."""
    mailer = os.path.join(folder, "mailer.exe")
    shutil.copyfile(MARKER, mailer)
    previous = default_value(MAILTO_COMMAND)
    if previous:
        test.addCleanup(reg, "add", MAILTO_COMMAND, "/ve", "/t", previous[0], "/d", previous[1], "/f")
    else:
        test.addCleanup(reg, "delete", MAILTO_COMMAND, "/ve", "/f")
    reg("add", MAILTO_COMMAND, "/ve", "/d", f'"{windows_path(mailer)}" "%1"', "/f")
    return mailer + ".ran"


def processes_running(fragment):
    """The ids of the Wine processes whose command line names fragment."""
    found = []
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                line = f.read().replace(b"\0", b" ").decode(errors="replace").lower()
        except OSError:
            continue
        if fragment.lower() in line:
            found.append(int(pid))
    return found


def process_running(fragment):
    """The id of a Wine process whose command line names fragment, or None."""
    found = processes_running(fragment)
    return found[0] if found else None


def press_start(caption):
    """Start in the extractor's dialog, left of Cancel in its bottom-right corner."""
    dialog = wait_window(caption, min_size=200)
    xdotool("mousemove", dialog.x + dialog.w - 155, dialog.y + dialog.h - 24)
    xdotool("click", 1)


def choose_in_configure(x, y, key):
    """Right-clicks the gobu at screen point (x, y) and picks the Configure item of that key."""
    xdotool("mousemove", x, y)
    xdotool("click", 3)
    time.sleep(0.5)
    for _ in range(4):  # File, Select Picture(s), Link File(s), Configure
        xdotool("key", "Down")
    xdotool("key", "Right")
    xdotool("key", key)


def confirm_finished():
    box = wait_window("Finished.", min_size=50)
    xdotool("mousemove", box.x + box.w // 2, box.y + box.h // 2)
    xdotool("key", "Return")


class Window:
    def __init__(self, xid, name, w, h, x, y):
        self.xid, self.name, self.w, self.h, self.x, self.y = xid, name, w, h, x, y

    def __repr__(self):
        return f"Window({self.name!r} {self.w}x{self.h}+{self.x}+{self.y})"


_TREE_LINE = re.compile(r'^\s+(0x[0-9a-f]+) "(.*)":.*?\s(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s+\+(-?\d+)\+(-?\d+)\s*$')


_UNNAMED_LINE = re.compile(r'^\s+(0x[0-9a-f]+) \(has no name\)().*?\s(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s+\+(-?\d+)\+(-?\d+)\s*$')


def windows(unnamed=False):
    """The mapped top-level windows of the display, with their captions and geometry."""
    out = run("xwininfo", "-root", "-children").stdout
    found = []
    for line in out.splitlines():
        m = _TREE_LINE.match(line) or (unnamed and _UNNAMED_LINE.match(line))
        if not m:
            continue
        xid, name, w, h = m.group(1), m.group(2), int(m.group(3)), int(m.group(4))
        attrs = run("xwininfo", "-id", xid).stdout
        if "IsViewable" not in attrs:
            continue
        ax = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", attrs).group(1))
        ay = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", attrs).group(1))
        found.append(Window(xid, name, w, h, ax, ay))
    return found


def all_windows():
    """Every mapped top-level window, popup menus (which have no name) included."""
    return windows(unnamed=True)


def wait_for(predicate, timeout=20.0, what="condition"):
    end = time.time() + timeout
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.2)
    raise AssertionError(f"timed out waiting for {what}")


def wait_window(name, timeout=20.0, min_size=2, size=None):
    """A window of that caption, once it has the size given (when one is)."""
    def find():
        for w in windows():
            if w.name == name and w.w >= min_size and w.h >= min_size and size in (None, (w.w, w.h)):
                return w
        return None
    return wait_for(find, timeout, f"window {name!r}" + (f" of size {size}" if size else ""))


def screenshot(area=None):
    """The whole screen, or the (x, y, w, h) area of it, as a Picture."""
    crop = ["-crop", "{2}x{3}+{0}+{1}".format(*area)] if area else []
    data = subprocess.run(["import", "-window", "root", *crop, "-depth", "8", "ppm:-"], env=ENV,
                          capture_output=True, check=True).stdout
    return Picture.from_ppm(data)


def windows_path(path):
    """The path as the gobu sees it: Wine's drive Z: is the root of the file system."""
    return "Z:" + path.replace("/", "\\")


def write_settings(gobu, lines, encoding="latin-1"):
    """The settings file as an older gobu wrote it (Windows-1252), or in another encoding."""
    text = "".join(line + "\r\n" for line in lines)
    with open(os.path.splitext(gobu.exe)[0] + ".gobu", "wb") as f:
        f.write(text.encode(encoding))
    return text


def write_bmp(path, w, h, rgb):
    """A 24-bit Windows bitmap of one colour."""
    stride = (w * 3 + 3) & ~3
    row = bytes((rgb[2], rgb[1], rgb[0])) * w + b"\0" * (stride - w * 3)
    header = struct.pack("<2sIHHI", b"BM", 54 + stride * h, 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, stride * h, 0, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + row * h)


class Picture:
    def __init__(self, w, h, pixels):
        self.w, self.h, self.pixels = w, h, pixels  # pixels[y][x] = (r, g, b)

    def at(self, x, y):
        return self.pixels[y][x]

    @staticmethod
    def from_ppm(data):
        parts = data.split(maxsplit=4)
        assert parts[0] == b"P6"
        w, h, maxval = int(parts[1]), int(parts[2]), int(parts[3])
        assert maxval == 255
        raw = parts[4]
        rows = [[tuple(raw[(y * w + x) * 3:(y * w + x) * 3 + 3]) for x in range(w)] for y in range(h)]
        return Picture(w, h, rows)

    @staticmethod
    def from_file(path):
        """Any picture file ImageMagick reads."""
        return Picture.from_ppm(subprocess.run(["/usr/bin/convert", path, "-depth", "8", "ppm:-"],
                                               capture_output=True, check=True).stdout)


class Gobu:
    """One copy of gobu.exe under a name of the test's choice, in a folder of its own."""

    def __init__(self, folder, name="gobu.exe"):
        self.folder = folder
        self.name = name
        self.exe = os.path.join(folder, name)
        os.makedirs(folder, exist_ok=True)
        shutil.copyfile(os.path.join(TREE, "app", "gobu.exe"), self.exe)
        self.process = None

    @property
    def title(self):
        base = os.path.splitext(self.name)[0]
        return base[:1].upper() + base[1:] if base[:1].islower() else base

    def start(self):
        self.process = subprocess.Popen([WINE, self.exe], cwd=self.folder, env=ENV,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self

    def window(self, timeout=20.0, size=None):
        # Pass the size to wait for a window of that size (after a change of picture).
        return wait_window(self.title, timeout, min_size=8, size=size)

    def wait_exit(self, timeout=10.0):
        return self.process.wait(timeout=timeout)

    def kill(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class GobuTestCase(unittest.TestCase):
    """Gives each test a fresh folder and ends every gobu it started."""

    def setUp(self):
        self.folder = os.path.join(STATE, "e2e", self.id().split(".")[-1])
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.gobus = []

    def tearDown(self):
        for g in self.gobus:
            g.kill()

    def gobu(self, name="gobu.exe", folder=None):
        g = Gobu(folder or self.folder, name)
        self.gobus.append(g)
        return g
