"""The gobu on the desktop: start-up, shape, dragging, the menu, the keys, the end."""

import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Picture, screenshot, set_started_before, wait_for, windows, windows_path, write_settings, xdotool  # noqa: E402
from peresources import icon_groups, icon_pixels  # noqa: E402

BUILT_IN = Picture.from_file(os.path.join(harness.SOURCE, "resources", "gobu.png"))
HINT = Picture.from_file(os.path.join(harness.SOURCE, "resources", "startdlg.png"))
KEY = BUILT_IN.at(0, BUILT_IN.h - 1)


def object_pixel():
    """A pixel of the built-in picture's object near its centre (not a hole)."""
    cx, cy = BUILT_IN.w // 2, BUILT_IN.h // 2
    for r in range(0, 50):
        for dx, dy in ((r, 0), (-r, 0), (0, r), (0, -r)):
            if BUILT_IN.at(cx + dx, cy + dy) != KEY:
                return cx + dx, cy + dy
    raise AssertionError("no object pixel in the built-in picture")


def window_icons(xid):
    """The icons Wine gives the window manager for an X window: {size: ARGB pixels}."""
    out = harness.run("xprop", "-id", xid, "-notype", "32c", "_NET_WM_ICON").stdout
    numbers, icons = [int(n) for n in out.split("=", 1)[1].split(",")] if "=" in out else [], {}
    while len(numbers) >= 2:
        icons[numbers[0]], numbers = numbers[2:2 + numbers[0] * numbers[1]], numbers[2 + numbers[0] * numbers[1]:]
    return icons


def find_picture(shot, pic, near_x, near_y, reach=40):
    """Where pic appears exactly on the screen, searched around a point."""
    for y in range(max(0, near_y - reach), min(shot.h - pic.h, near_y + reach) + 1):
        for x in range(max(0, near_x - reach), min(shot.w - pic.w, near_x + reach) + 1):
            if all(shot.at(x + i, y + j) == pic.at(i, j) for j in range(0, pic.h, 7) for i in range(0, pic.w, 5)):
                if all(shot.at(x + i, y + j) == pic.at(i, j) for j in range(pic.h) for i in range(pic.w)):
                    return x, y
    return None


class Desktop(harness.GobuTestCase):
    def test_gobu_is_shaped_dragged_opens_its_menu_and_quits_on_q(self):
        set_started_before(True)
        for name in ("holiday_zip.exe", "other_zip.exe"):
            with open(os.path.join(self.folder, name), "w") as f:
                f.write("a package left by an earlier share")
        gobu = self.gobu("holiday.exe").start()
        w = gobu.window(size=(155, 113))
        self.assertEqual((w.x, w.y, w.w, w.h), (40, 40, 155, 113))
        self.assertFalse(os.path.exists(os.path.join(self.folder, "holiday_zip.exe")))
        self.assertTrue(os.path.exists(os.path.join(self.folder, "other_zip.exe")))

        # A second after the start the window is cut to the picture: the key colour
        # shows the black root behind it, every other pixel shows the picture.
        time.sleep(1.8)
        shot = screenshot()
        wrong = [(x, y) for y in range(BUILT_IN.h) for x in range(BUILT_IN.w)
                 if shot.at(40 + x, 40 + y) != ((0, 0, 0) if BUILT_IN.at(x, y) == KEY else BUILT_IN.at(x, y))]
        self.assertEqual(wrong[:5], [], f"{len(wrong)} pixels differ from the shaped picture")

        # Dragged with the left button: the picture follows the mouse.
        px, py = object_pixel()
        xdotool("mousemove", 40 + px, 40 + py)
        xdotool("mousedown", 1)
        for step in range(1, 6):
            xdotool("mousemove", 40 + px + 6 * step, 40 + py + 4 * step)
        xdotool("mouseup", 1)
        w = wait_for(lambda: next((v for v in windows() if v.name == "Holiday" and v.x == 70), None),
                     5, "the dragged window at 70,60")
        self.assertEqual((w.x, w.y), (70, 60))

        # A right click opens the popup menu at the mouse; Esc closes it.
        before = {v.xid for v in harness.all_windows()}
        xdotool("mousemove", 70 + px, 60 + py)
        xdotool("click", 3)
        menu = wait_for(lambda: [v for v in harness.all_windows() if v.xid not in before and v.w > 50], 5,
                        "the popup menu")[0]
        self.assertEqual((menu.x, menu.y), (70 + px, 60 + py))
        xdotool("key", "Escape")
        wait_for(lambda: not [v for v in harness.all_windows() if v.xid == menu.xid], 5, "the menu to close")

        xdotool("key", "q")
        self.assertEqual(gobu.wait_exit(10), 0)

    def test_configure_menu_turns_transparency_off_and_hides_the_gobu(self):
        set_started_before(True)
        gobu = self.gobu("menus.exe")
        # The built-in picture is always cut to its outline; the same picture listed as
        # a file is not.
        listed = os.path.join(self.folder, "gobu.png")
        shutil.copyfile(os.path.join(harness.SOURCE, "resources", "gobu.png"), listed)
        write_settings(gobu, ["picture " + windows_path(listed), "transparent"])
        gobu.start()
        gobu.window(size=(155, 113))
        time.sleep(1.5)
        px, py = object_pixel()

        # Transparent off: the whole rectangle shows, the key colour included.
        harness.choose_in_configure(40 + px, 40 + py, "t")
        time.sleep(1.5)
        shot = screenshot()
        self.assertEqual(shot.at(40, 40 + BUILT_IN.h - 1), KEY)
        self.assertEqual(shot.at(40 + px, 40 + py), BUILT_IN.at(px, py))

        # Hide Gobu: the window leaves the desktop while the program runs on.
        harness.choose_in_configure(40 + px, 40 + py, "h")
        wait_for(lambda: not [v for v in windows() if v.name == "Menus" and v.w > 8], 5, "the gobu to hide")
        self.assertIsNone(gobu.process.poll())

    def test_the_gobu_and_its_taskbar_button_carry_the_programs_icon(self):
        set_started_before(True)
        gobu = self.gobu("icon.exe").start()
        w = gobu.window(size=(155, 113))
        with open(gobu.exe, "rb") as f:
            expected = {i["size"]: icon_pixels(i) for i in icon_groups(f.read())[0][1] if i["size"] in (16, 32)}
        # The invisible owner that carries the taskbar button has the gobu's title too.
        owner = next(v for v in windows() if v.name == "Icon" and v.xid != w.xid)
        for xid in (w.xid, owner.xid):
            self.assertEqual(wait_for(lambda: window_icons(xid), 5, f"the icons of {xid}"), expected, xid)

    def test_first_start_shows_the_hint_until_a_key_and_never_again(self):
        set_started_before(False)
        first = self.gobu("first.exe").start()
        dialog = harness.wait_window("Gobu", min_size=50)
        shot = screenshot()
        # Its client area holds the hint picture, its top-left corner at the gobu's centre.
        self.assertIsNotNone(find_picture(shot, HINT, dialog.x, dialog.y + 10),
                             f"hint picture not found in {dialog}")
        self.assertEqual((dialog.x, dialog.y), (40 + 155 // 2, 40 + 113 // 2))
        xdotool("mousemove", dialog.x + 20, dialog.y + 40)
        xdotool("key", "space")
        wait_for(lambda: not [v for v in windows() if v.name == "Gobu"], 5, "the start dialog to close")
        first.window()
        xdotool("key", "q")
        first.wait_exit(10)

        second = self.gobu("second.exe", os.path.join(self.folder, "other")).start()
        second.window()
        time.sleep(1.5)
        self.assertEqual([v for v in windows() if v.name == "Gobu"], [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
