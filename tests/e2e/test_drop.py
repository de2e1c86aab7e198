"""Files dragged from X onto the real exe (Wine turns the XDND drop into WM_DROPFILES):
the picture is shown and joins the show, the rest is linked, both saved."""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import screenshot, set_started_before, wait_for, windows_path, write_bmp, write_settings  # noqa: E402


def xdnd_source():
    """In ../shared/tools beside the checkout, or beside the main one of a worktree."""
    common = subprocess.run(["git", "-C", harness.SOURCE, "rev-parse", "--path-format=absolute",
                             "--git-common-dir"], capture_output=True, text=True).stdout.strip()
    return next(t for t in (os.path.join(os.path.dirname(c), "shared", "tools", "xdnd_drop.py")
                            for c in (harness.SOURCE, os.path.dirname(common))) if os.path.isfile(t))


class Drop(harness.GobuTestCase):
    def test_a_picture_a_text_and_a_folder_dragged_onto_the_gobu(self):
        set_started_before(True)
        red, green, notes, docs = (os.path.join(self.folder, n) for n in ("red.bmp", "green.png", "notes.txt", "docs"))
        write_bmp(red, 40, 30, (255, 0, 0))
        subprocess.run(["/usr/bin/convert", "-size", "50x20", "xc:lime", green], check=True)
        os.makedirs(docs)
        open(notes, "w").close()
        gobu = self.gobu("dropper.exe")
        write_settings(gobu, ["gobu left 300", "gobu top 200", "picture " + windows_path(red)])
        w = gobu.start().window(size=(40, 30))
        dropped = subprocess.run(["/usr/bin/python3", xdnd_source(), "-q", w.xid, "20", "15", notes, green, docs],
                                 env=harness.ENV, capture_output=True, text=True, timeout=30)
        self.assertEqual(dropped.returncode, 0, dropped.stderr)
        w = gobu.window(size=(50, 20))
        wait_for(lambda: screenshot((w.x, w.y, w.w, w.h)).at(25, 10) == (0, 255, 0), 5, "the dropped picture")
        with open(os.path.join(self.folder, "dropper.gobu"), "rb") as f:
            lines = f.read().decode("latin-1").split("\r\n")
        # The settings reader gives the listed picture's drive letter in lower case.
        self.assertEqual([line for line in lines if line.startswith(("picture ", "file "))],
                         ["picture z" + windows_path(red)[1:], "picture " + windows_path(green),
                          "file " + windows_path(notes), "file " + windows_path(docs)])


if __name__ == "__main__":
    unittest.main(verbosity=2)
