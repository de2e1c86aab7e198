"""Files dragged from an X file manager onto the real exe: Wine turns the XDND drop
into WM_DROPFILES, the picture joins the slide show and is shown, the rest is linked,
and the settings file holds both lists."""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import screenshot, set_started_before, wait_for, windows_path, write_bmp, write_settings  # noqa: E402


def xdnd_source():
    """The project's XDND drag source, in the shared folder beside the main checkout
    (which a worktree finds through its common git folder)."""
    common = subprocess.run(["git", "-C", harness.SOURCE, "rev-parse", "--path-format=absolute",
                             "--git-common-dir"], capture_output=True, text=True).stdout.strip()
    for checkout in (harness.SOURCE, os.path.dirname(common)):
        tool = os.path.join(os.path.dirname(checkout), "shared", "tools", "xdnd_drop.py")
        if os.path.isfile(tool):
            return tool
    raise AssertionError("no ../shared/tools/xdnd_drop.py beside the checkout")


class Drop(harness.GobuTestCase):
    def test_a_picture_a_text_and_a_folder_dropped_from_x_join_the_show_and_the_links(self):
        set_started_before(True)
        red, green = os.path.join(self.folder, "red.bmp"), os.path.join(self.folder, "green.png")
        write_bmp(red, 40, 30, (255, 0, 0))
        subprocess.run(["/usr/bin/convert", "-size", "50x20", "xc:lime", green], check=True)
        notes, docs, fake = (os.path.join(self.folder, n) for n in ("notes.txt", "docs", "fake.jpg"))
        os.makedirs(docs)
        for path in (notes, fake):
            with open(path, "w") as f:
                f.write("no picture")
        gobu = self.gobu("dropper.exe")
        write_settings(gobu, ["gobu left 300", "gobu top 200", "picture " + windows_path(red)])
        w = gobu.start().window(size=(40, 30))

        dropped = subprocess.run(["/usr/bin/python3", xdnd_source(), "-q", w.xid, "20", "15", notes, green, docs,
                                  fake], env=harness.ENV, capture_output=True, text=True, timeout=30)
        self.assertEqual(dropped.returncode, 0, dropped.stderr)

        # The dropped picture is shown at once, the show going on from it.
        w = gobu.window(size=(50, 20))
        wait_for(lambda: screenshot((w.x, w.y, w.w, w.h)).at(25, 10) == (0, 255, 0), 5, "the green picture")
        settings = os.path.join(self.folder, next(n for n in os.listdir(self.folder) if n.lower() == "dropper.gobu"))

        def lines(keyword):
            with open(settings, "rb") as f:
                return [line[len(keyword):] for line in f.read().decode("latin-1").split("\r\n")
                        if line.startswith(keyword)]
        wait_for(lambda: len(lines("file ")) == 3, 5, "the linked files in the settings file")
        # The settings reader gives the listed picture's drive letter in lower case.
        self.assertEqual(lines("picture "), ["z" + windows_path(red)[1:], windows_path(green)])
        self.assertEqual(lines("file "), [windows_path(notes), windows_path(docs), windows_path(fake)])


if __name__ == "__main__":
    unittest.main(verbosity=2)
