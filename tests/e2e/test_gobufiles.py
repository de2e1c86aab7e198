"""Further gobus from the real exe through its file dialogs: New Gobu (N) copies this
gobu under the proposed name and starts it, Open Gobu (O) starts a chosen gobu, Save
Gobu As (A) clones this gobu with its settings and ends it; and a gobu started while it
runs shows the running one instead."""

import os
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import set_started_before, wait_for, wait_window, windows, windows_path, write_settings, xdotool  # noqa: E402

MARKER = os.path.join(harness.TREE, "tests", "wine", "marker.exe")


class GobuFiles(harness.GobuTestCase):
    def setUp(self):
        super().setUp()
        set_started_before(True)

    def end_later(self, image):
        """Ends a gobu that this gobu started, which the harness does not know of."""
        self.addCleanup(harness.wine, "taskkill", "/f", "/im", image)

    def key_on(self, w, key):
        xdotool("mousemove", w.x + 77, w.y + 56)
        xdotool("key", key)

    def answer_dialog(self, title, typed=None):
        dialog = wait_window(title, 20)
        xdotool("mousemove", dialog.x + dialog.w // 2, dialog.y + 20)
        if typed:
            xdotool("type", "--delay", "20", typed)
        xdotool("key", "Return")

    def test_n_with_enter_makes_and_starts_gobu1_and_moves_this_gobu_aside(self):
        gobu = self.gobu("gobu.exe").start()
        w = gobu.window(size=(155, 113))
        self.assertEqual((w.x, w.y), (40, 40))
        self.end_later("gobu1.exe")
        self.key_on(w, "n")
        self.answer_dialog("New Gobu")
        new = wait_window("Gobu1", 30, size=(155, 113))
        self.assertEqual((new.x, new.y), (40, 40))
        made = [n for n in os.listdir(self.folder) if n.lower() == "gobu1.exe"]
        self.assertEqual(len(made), 1)
        with open(os.path.join(self.folder, made[0]), "rb") as a, open(gobu.exe, "rb") as b:
            self.assertEqual(a.read(), b.read())
        moved = wait_for(lambda: next((v for v in windows() if v.name == "Gobu" and (v.x, v.y) == (20, 20)), None),
                         5, "this gobu at 20,20")
        self.assertEqual((moved.w, moved.h), (155, 113))
        self.assertIsNone(gobu.process.poll())

    def test_o_starts_the_chosen_gobu_by_its_whole_path(self):
        folder = os.path.join(self.folder, "My Gobus")
        self.gobu("other.exe", folder=folder)
        # Started without quotes, the path would start this program instead.
        shutil.copyfile(MARKER, os.path.join(self.folder, "My.exe"))
        gobu = self.gobu("gobu.exe").start()
        w = gobu.window(size=(155, 113))
        self.end_later("other.exe")
        self.key_on(w, "o")
        self.answer_dialog("Open Gobu", windows_path(os.path.join(folder, "other.exe")))
        wait_window("Other", 30, size=(155, 113))
        self.assertFalse(os.path.exists(os.path.join(self.folder, "My.exe.ran")))
        self.assertIsNone(gobu.process.poll())

    def test_a_clones_this_gobu_with_its_settings_starts_it_and_ends(self):
        gobu = self.gobu("gobu.exe")
        text = write_settings(gobu, ["gobu left 300", "gobu top 200", "file http://example.org/"])
        gobu.start()
        w = gobu.window(size=(155, 113))
        self.end_later("holiday.exe")
        self.key_on(w, "a")
        self.answer_dialog("Save Gobu As", windows_path(os.path.join(self.folder, "holiday.exe")))
        clone = wait_window("Holiday", 30, size=(155, 113))
        self.assertEqual((clone.x, clone.y), (300, 200))
        self.assertEqual(gobu.wait_exit(10), 0)
        with open(os.path.join(self.folder, "holiday.exe"), "rb") as a, open(gobu.exe, "rb") as b:
            self.assertEqual(a.read(), b.read())
        with open(os.path.join(self.folder, "holiday.gobu"), "rb") as f:
            self.assertEqual(f.read().decode("latin-1"), text)

    def test_a_running_gobu_started_again_comes_to_the_front_and_stays_one(self):
        gobu = self.gobu("holiday.exe")
        settings = os.path.splitext(gobu.exe)[0] + ".gobu"
        write_settings(gobu, ["gobu left 60", "gobu top 50", "transparent"])
        gobu.start()
        self.key_on(gobu.window(size=(155, 113)), "m")  # Hide Gobu
        wait_for(lambda: not [v for v in windows() if v.name == "Holiday" and v.w > 8], 5, "the gobu to hide")
        self.gobu("other.exe").start().window(size=(155, 113))  # another gobu on top
        # A starting gobu would delete the package of an earlier share.
        package = os.path.join(self.folder, "holiday_zip.exe")
        open(package, "w").close()
        before = os.stat(settings)

        # Started again, under its path in other letters.
        self.assertEqual(subprocess.run([harness.WINE, windows_path(gobu.exe).upper()], env=harness.ENV,
                                        timeout=30).returncode, 0)
        front = wait_for(lambda: next((v for v in windows() if (v.w, v.h) == (155, 113)), None), 5, "a gobu")
        self.assertEqual((front.name, front.x, front.y), ("Holiday", 60, 50), "the first gobu in front")
        self.assertEqual(len([v for v in windows() if v.name == "Holiday" and v.w > 8]), 1)
        self.assertEqual(len(harness.processes_running(gobu.exe)), 1)
        self.assertTrue(os.path.exists(package))
        self.assertEqual(os.stat(settings).st_mtime_ns, before.st_mtime_ns)


if __name__ == "__main__":
    unittest.main(verbosity=2)
