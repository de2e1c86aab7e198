"""A name in any script with the real gobu.exe: a gobu whose picture is 猫.jpg shows it,
Share > Hard Disk packs it and an included "Été notes.txt" under their names (UTF-8,
bit 11), and the package run in a fresh folder writes both, where the received gobu
shows its picture again."""

import os
import shutil
import subprocess
import sys
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import screenshot, set_started_before, wait_for, wait_window, windows_path, write_settings  # noqa: E402
import test_share  # noqa: E402

CAT, NOTES = "\u732b.jpg", "\u00c9t\u00e9 notes.txt"
RED = (220, 30, 30)


def reddish(rgb):
    """JPEG keeps the colour near, not exact."""
    return all(abs(a - b) <= 12 for a, b in zip(rgb, RED))


class Names(harness.GobuTestCase):
    def setUp(self):
        super().setUp()
        set_started_before(True)
        self.dest = os.path.join(test_share.DRIVE_C, "gobus")
        shutil.rmtree(self.dest, ignore_errors=True)
        self.addCleanup(shutil.rmtree, self.dest, True)

    def test_a_picture_named_in_another_script_is_shown_packed_and_shown_again_by_the_recipient(self):
        pics = os.path.join(self.folder, "Photos \u00e9t\u00e9")
        os.makedirs(pics)
        picture = os.path.join(pics, CAT)
        subprocess.run(["/usr/bin/convert", "-size", "60x40", "xc:rgb(220,30,30)", "-quality", "95", picture],
                       check=True)
        notes = os.path.join(pics, NOTES)
        with open(notes, "w") as f:
            f.write("what to see on the way\n")
        gobu = self.gobu("holiday.exe")
        write_settings(gobu, ["gobu left 40", "gobu top 40", "picture " + windows_path(picture),
                              "include " + windows_path(notes)], "utf-8")
        gobu.start()
        shown = gobu.window(size=(60, 40))
        wait_for(lambda: reddish(screenshot((shown.x, shown.y, 60, 40)).at(30, 20)), 10, "the picture shown")

        test_share.Share.share_by_menu(self, "h")
        test_share.Share.confirm_message(self, shown.xid)
        package = os.path.join(self.folder, "holiday_zip.exe")
        with zipfile.ZipFile(package) as z:
            entries = {i.filename: i.flag_bits & 0x800 for i in z.infolist()}
        self.assertEqual(entries, {"holiday.exe": 0, "sfxstub32.bin": 0, "holiday.gobu": 0, CAT: 0x800,
                                   NOTES: 0x800})
        harness.xdotool("mousemove", 70, 60)
        harness.xdotool("key", "q")
        gobu.wait_exit(10)
        with open(os.path.join(self.folder, "holiday.gobu"), "rb") as f:
            self.assertIn(("picture " + windows_path(picture) + "\r\n").encode("utf-8"), f.read(),
                          "the settings keep the name, in UTF-8")

        # The recipient has none of the sender's folders: the gobu finds its picture beside itself.
        shutil.rmtree(pics)
        unpacker = subprocess.Popen([harness.WINE, package], cwd=self.folder, env=harness.ENV,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(unpacker.kill)
        dialog = wait_window("Holiday.exe", min_size=200)
        # Left for a look: the dialog lists the names as they are (猫 as one glyph, a box
        # where Wine has no font that holds it).
        look = os.path.join(harness.STATE, "look")
        os.makedirs(look, exist_ok=True)
        subprocess.run(["import", "-window", "root", "-crop", f"{dialog.w}x{dialog.h}+{dialog.x}+{dialog.y}",
                        os.path.join(look, "extractor_names.png")], env=harness.ENV, check=True)
        harness.press_start("Holiday.exe")
        harness.confirm_finished()
        received = wait_window("Holiday", 20, size=(60, 40))
        pid = harness.process_running("\\gobus\\holiday.exe")
        self.assertTrue(pid, "the gobu started from c:\\gobus")
        self.addCleanup(lambda: harness.process_running("\\gobus\\") and os.kill(pid, 9))
        self.assertLessEqual({CAT, NOTES}, set(os.listdir(self.dest)))
        wait_for(lambda: reddish(screenshot((received.x, received.y, 60, 40)).at(30, 20)), 10,
                 "the picture in the received gobu")


if __name__ == "__main__":
    unittest.main(verbosity=2)
