"""The Link File(s) dialog from the real exe: files chosen together in the open dialog
and a web page typed into the input box (linked with "http://" in front) reach the
settings file on OK."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import set_started_before, wait_for, wait_window, windows, windows_path, xdotool  # noqa: E402


class Links(harness.GobuTestCase):
    def test_f_two_files_and_a_web_page_typed_without_prefix_are_saved_on_ok(self):
        set_started_before(True)
        for name in ("red one.txt", "green.txt"):
            with open(os.path.join(self.folder, name), "w") as f:
                f.write(name)
        gobu = self.gobu("links.exe").start()
        w = gobu.window(size=(155, 113))
        xdotool("mousemove", w.x + 77, w.y + 56)
        xdotool("key", "f")
        dialog = wait_window("Select File(s)", 10)
        # The X window of a dialog is its client area: buttons lie where their layout says.
        xdotool("mousemove", dialog.x + 322 + 37, dialog.y + 10 + 12)
        xdotool("click", 1)
        files = wait_for(lambda: next((v for v in windows() if v.name == "Select File(s)" and v.xid != dialog.xid),
                                      None), 20, "the open dialog")
        xdotool("mousemove", files.x + files.w // 2, files.y + 20)
        xdotool("type", "--delay", "20", windows_path(self.folder) + "\\")
        xdotool("key", "Return")
        xdotool("type", "--delay", "20", '"red one.txt" "green.txt"')
        xdotool("key", "Return")
        wait_for(lambda: not [v for v in windows() if v.xid == files.xid], 10, "the open dialog to close")
        xdotool("mousemove", dialog.x + 322 + 37, dialog.y + 130 + 12)
        xdotool("click", 1)
        box = wait_window("Web Page", 10)
        xdotool("mousemove", box.x + 100, box.y + 42)
        xdotool("type", "--delay", "20", "example.org/a b")
        xdotool("mousemove", box.x + 360 + 37, box.y + 64 + 12)
        xdotool("click", 1)
        wait_for(lambda: not [v for v in windows() if v.xid == box.xid], 5, "the input box to close")
        xdotool("mousemove", dialog.x + 322 + 37, dialog.y + 216 + 12)
        xdotool("click", 1)
        settings = os.path.join(self.folder, "links.gobu")

        def entries():
            with open(settings, "rb") as f:
                return [line[5:] for line in f.read().decode("latin-1").split("\r\n") if line.startswith("file ")]
        wait_for(lambda: "http://example.org/a b" in entries(), 10, "the web page in the settings file")
        folder = windows_path(self.folder) + "\\"
        self.assertEqual(sorted(entries()[:2]), [folder + "green.txt", folder + "red one.txt"])
        self.assertEqual(entries()[2:], ["http://example.org/a b"])
        wait_for(lambda: not [v for v in windows() if v.xid == dialog.xid], 5, "the dialog to close")


if __name__ == "__main__":
    unittest.main(verbosity=2)
