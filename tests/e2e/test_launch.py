"""A gobu with a settings file: its place and picture at start, the file written back
on Q, launching linked programs with a click, the run-time list, Group Launch, and
start-up with Windows."""

import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import reg, set_started_before, wait_for, windows, windows_path, write_bmp, write_settings, xdotool  # noqa: E402

MARKER = os.path.join(harness.TREE, "tests", "wine", "marker.exe")
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"


def run_value(name):
    """The data of the Run value of that name, or None."""
    out = reg("query", RUN_KEY, "/v", name).stdout
    for line in out.splitlines():
        if "REG_SZ" in line:
            return line.split("REG_SZ", 1)[1].strip()
    return None


class Launch(harness.GobuTestCase):
    def setUp(self):
        super().setUp()
        set_started_before(True)

    def marker(self, name):
        shutil.copyfile(MARKER, os.path.join(self.folder, name))
        return os.path.join(self.folder, name + ".ran")

    def click(self, w, x=10, y=10):
        xdotool("mousemove", w.x + x, w.y + y)
        xdotool("click", 1)

    def test_settings_are_applied_at_start_and_written_back_on_q(self):
        gobu = self.gobu("holiday.exe")
        write_bmp(os.path.join(self.folder, "sky.bmp"), 80, 60, (20, 90, 200))
        # The picture is listed where it lay on another machine; it is found beside the gobu.
        text = write_settings(gobu, [
            "gobu left 200", "gobu top 150", "list left -20", "list top -20", "list width 172",
            "list height 121", r"picture c:\old place\sky.bmp", "transition 3", "duration 15",
            "destination 1"])
        gobu.start()
        w = gobu.window(size=(80, 60))
        self.assertEqual((w.x, w.y), (200, 150))
        xdotool("mousemove", w.x + 40, w.y + 30)
        xdotool("key", "q")
        self.assertEqual(gobu.wait_exit(10), 0)
        with open(os.path.join(self.folder, "holiday.gobu"), "rb") as f:
            written = f.read().decode("latin-1")
        # Found beside the executable, the path is the executable's folder as Windows names it.
        beside = windows_path(self.folder) + "\\sky.bmp"
        self.assertEqual(written, text.replace(r"c:\old place\sky.bmp", beside))

    def test_a_click_starts_the_one_linked_program(self):
        ran = self.marker("tool.exe")
        gobu = self.gobu("one.exe")
        write_settings(gobu, ["file " + windows_path(os.path.join(self.folder, "tool.exe"))])
        gobu.start()
        w = gobu.window(size=(155, 113))
        time.sleep(1.5)
        self.click(w, 77, 56)
        wait_for(lambda: os.path.exists(ran), 15, "the linked program to run")

    def test_two_entries_show_the_list_pulled_in_and_group_launch_starts_both(self):
        first, second = self.marker("first.exe"), self.marker("second.exe")
        entries = ["file " + windows_path(os.path.join(self.folder, n)) for n in ("first.exe", "second.exe")]
        gobu = self.gobu("pair.exe")
        # Near the bottom-right corner: the list, placed at the gobu's centre, must be
        # pulled back onto the screen.
        write_settings(gobu, ["gobu left 950", "gobu top 700"] + entries)
        gobu.start()
        w = gobu.window(size=(155, 113))
        time.sleep(1.5)
        self.click(w, 40, 40)
        lst = wait_for(lambda: next((v for v in windows() if v.name == "Pair" and (v.w, v.h) == (172, 121)), None),
                       10, "the run-time list")
        self.assertEqual((lst.x, lst.y), (1024 - 172, 768 - 121))
        self.assertFalse(os.path.exists(first) or os.path.exists(second))
        # The first row lies just under the small caption bar; a click there opens it.
        xdotool("mousemove", lst.x + 30, lst.y + 28)
        xdotool("click", 1)
        wait_for(lambda: os.path.exists(first), 15, "the program of the first row to run")
        self.assertFalse(os.path.exists(second))
        os.remove(first)
        xdotool("mousemove", w.x + 40, w.y + 40)
        xdotool("key", "q")
        gobu.wait_exit(10)

        write_settings(gobu, entries + ["group launch"])
        gobu.start()
        w = gobu.window(size=(155, 113))
        time.sleep(1.5)
        self.click(w, 77, 56)
        wait_for(lambda: os.path.exists(first) and os.path.exists(second), 15, "both programs to run")
        self.assertFalse([v for v in windows() if v.name == "Pair" and (v.w, v.h) == (172, 121)])

    def test_auto_startup_twice_adds_and_removes_the_run_value(self):
        gobu = self.gobu("auto.exe")
        name = windows_path(gobu.exe)
        reg("delete", RUN_KEY, "/v", name, "/f")
        gobu.start()
        w = gobu.window(size=(155, 113))
        time.sleep(1.5)
        for expected in (name, None):
            before = {v.xid for v in harness.all_windows()}
            harness.choose_in_configure(w.x + 77, w.y + 56, "a")
            box = wait_for(lambda: next((v for v in windows() if v.xid not in before and v.name == "Auto"), None),
                           10, "the auto start-up message")
            self.assertEqual(run_value(name), expected)
            xdotool("mousemove", box.x + box.w // 2, box.y + box.h // 2)
            xdotool("key", "Return")
            wait_for(lambda: not [v for v in windows() if v.xid == box.xid], 5, "the message to close")

    def test_a_new_gobu_loses_its_run_value_at_start_unless_named_gobu_exe(self):
        holiday = self.gobu("holiday.exe")
        plain = self.gobu("gobu.exe")
        for g in (holiday, plain):
            reg("add", RUN_KEY, "/v", windows_path(g.exe), "/t", "REG_SZ", "/d", windows_path(g.exe), "/f")
        holiday.start().window(size=(155, 113))
        plain.start()
        wait_for(lambda: len([v for v in windows() if v.name == "Gobu" and (v.w, v.h) == (155, 113)]) == 1, 20,
                 "the gobu named gobu.exe")
        self.assertIsNone(run_value(windows_path(holiday.exe)))
        self.assertEqual(run_value(windows_path(plain.exe)), windows_path(plain.exe))
        reg("delete", RUN_KEY, "/v", windows_path(plain.exe), "/f")


if __name__ == "__main__":
    unittest.main(verbosity=2)
