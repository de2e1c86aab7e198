"""Files dragged from X onto the real exe, which Wine hands over as WM_DROPFILES."""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import screenshot, set_started_before, wait_for, windows_path, write_bmp, write_settings  # noqa: E402


class Drop(harness.GobuTestCase):
    def test_a_dragged_picture_is_shown_and_saved_with_a_linked_text_and_folder(self):
        set_started_before(True)
        red, green, notes, docs = (os.path.join(self.folder, n) for n in ("red.bmp", "green.png", "notes.txt", "docs"))
        write_bmp(red, 40, 30, (255, 0, 0))
        subprocess.run(["/usr/bin/convert", "-size", "50x20", "xc:lime", green], check=True)
        os.makedirs(docs)
        open(notes, "w").close()
        gobu = self.gobu("dropper.exe")
        write_settings(gobu, ["gobu left 300", "gobu top 200", "picture " + windows_path(red)])
        w = gobu.start().window(size=(40, 30))
        tool = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xdnd_drop.py")
        subprocess.run(["/usr/bin/python3", tool, "-q", w.xid, "20", "15", notes, green, docs], env=harness.ENV,
                       check=True, timeout=30)
        w = gobu.window(size=(50, 20))
        wait_for(lambda: screenshot((w.x, w.y, w.w, w.h)).at(25, 10) == (0, 255, 0), 5, "the dropped picture")
        with open(os.path.join(self.folder, "dropper.gobu"), "rb") as f:
            saved = [line for line in f.read().decode("utf-8").split("\r\n") if line.startswith(("picture", "file"))]
        self.assertEqual(saved, ["picture " + windows_path(red), "picture " + windows_path(green),
                                 "file " + windows_path(notes), "file " + windows_path(docs)])


if __name__ == "__main__":
    unittest.main(verbosity=2)
