"""The Link File(s) dialog from the real exe: a web page typed into the input box is
linked with "http://" in front and reaches the settings file on OK."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import set_started_before, wait_for, wait_window, windows, xdotool  # noqa: E402


class Links(harness.GobuTestCase):
    def test_f_web_page_typed_without_prefix_is_saved_with_it_on_ok(self):
        set_started_before(True)
        gobu = self.gobu("links.exe").start()
        w = gobu.window(size=(155, 113))
        xdotool("mousemove", w.x + 77, w.y + 56)
        xdotool("key", "f")
        dialog = wait_window("Select File(s)", 10)
        # The X window of a dialog is its client area: buttons lie where their layout says.
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

        def saved():
            with open(settings, "rb") as f:
                return "file http://example.org/a b\r\n" in f.read().decode("latin-1")
        wait_for(saved, 10, "the entry in the settings file")
        wait_for(lambda: not [v for v in windows() if v.xid == dialog.xid], 5, "the dialog to close")


if __name__ == "__main__":
    unittest.main(verbosity=2)
