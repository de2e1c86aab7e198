"""The close boxes of the dialogs with OK and Cancel, in a Wine desktop where Wine draws
frames: closed by its close box, Select Picture(s) or Link File(s) goes back to what was
saved as it opened, as Cancel does, and the gobu's quick keys work again at once."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import screenshot, set_started_before, wait_for, windows_path, write_bmp, write_settings, xdotool  # noqa: E402

SCREEN = (1024, 768)
# A dialog's frame around its client area, as Wine draws it in a desktop.
FRAME_SIDE, FRAME_TOP, FRAME_BOTTOM = 3, 22, 3


class Dialog:
    """Where a dialog centred on the desktop has its parts, from its client size."""

    def __init__(self, client_w, client_h):
        w, h = client_w + 2 * FRAME_SIDE, client_h + FRAME_TOP + FRAME_BOTTOM
        self.left, self.top = (SCREEN[0] - w) // 2, (SCREEN[1] - h) // 2
        self.client = (self.left + FRAME_SIDE, self.top + FRAME_TOP)
        self.close_box = (self.left + w - 13, self.top + 11)
        self.caption = (self.left + w // 2, self.top + 8)

    def at(self, x, y, w, h):
        """The centre of a control laid out at client x, y of size w x h."""
        return self.client[0] + x + w // 2, self.client[1] + y + h // 2


class Dialogs(harness.GobuTestCase):
    def setUp(self):
        super().setUp()
        set_started_before(True)

    def test_the_close_box_is_cancel_and_the_keys_work_at_once(self):
        picture = os.path.join(self.folder, "framed.bmp")
        write_bmp(picture, 60, 40, (0, 0, 200))
        shown = "picture " + windows_path(picture).lower()
        cases = [
            # key, the dialog's client size, Clear All's place, the settings line it lists
            ("p", Dialog(413, 256), (328, 100, 75, 25), shown),
            ("f", Dialog(408, 252), (322, 90, 75, 25), "file " + windows_path(picture).lower()),
        ]
        for key, dialog, clear_all, listed in cases:
            with self.subTest(key=key):
                gobu = self.gobu(f"dialog{key}.exe")
                settings = os.path.splitext(gobu.exe)[0] + ".gobu"
                write_settings(gobu, ["gobu left 100", "gobu top 100", shown] + ([listed] if listed != shown else []))
                gobu.start(desktop=f"close{key}")
                wait_for(lambda: screenshot((130, 120, 1, 1)).at(0, 0) == (0, 0, 200), 20, "the gobu")
                # Windows inside a Wine desktop are no X windows: the screen tells.
                def caption():
                    return screenshot((*dialog.caption, 1, 1)).at(0, 0)

                behind = caption()

                def press(k):
                    xdotool("mousemove", 130, 120)
                    xdotool("key", k)
                    wait_for(lambda: caption() != behind, 10, "the dialog")
                    time.sleep(0.5)

                press(key)
                xdotool("mousemove", *dialog.at(*clear_all))
                xdotool("click", 1)
                xdotool("mousemove", *dialog.close_box)
                xdotool("click", 1)
                wait_for(lambda: caption() == behind, 10, "the dialog to close")
                # Opening the dialog writes the settings file: its return shows that the
                # key reached the gobu, its content that the close box cancelled.
                os.remove(settings)
                press(key)
                wait_for(lambda: os.path.exists(settings), 10, "the settings file written as the dialog opens")
                with open(settings, "rb") as f:
                    self.assertIn(listed + "\r\n", f.read().decode("latin-1"))
                xdotool("key", "Escape")
                gobu.kill()


if __name__ == "__main__":
    unittest.main(verbosity=2)
