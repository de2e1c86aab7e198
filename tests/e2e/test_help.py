"""The Help menu's flows with the real gobu.exe: H opens the help window, laid out with
its OK button centred at the bottom, and Esc closes it; T hands a prepared message to
the mail program that the prefix names for "mailto"."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import screenshot, set_started_before, wait_for, wait_window, windows, xdotool  # noqa: E402


class Help(harness.GobuTestCase):
    def setUp(self):
        super().setUp()
        set_started_before(True)

    def start(self, name):
        gobu = self.gobu(name).start()
        w = gobu.window(size=(155, 113))
        time.sleep(1.5)
        xdotool("mousemove", w.x + 77, w.y + 56)
        return gobu

    def test_h_opens_the_help_window_with_ok_centred_at_the_bottom_and_esc_closes_it(self):
        gobu = self.start("helpful.exe")
        xdotool("key", "h")
        # The X window is the client area of the 417 x 424 frame.
        win = wait_window("Gobu - Help", min_size=300)
        time.sleep(0.5)
        shot = screenshot((win.x, win.y, win.w, win.h))
        background = shot.at(2, win.h - 2)

        def differs(x, y):
            return shot.at(x, y) != background

        # Up the middle column from the bottom edge: 8 rows of background, then the button.
        mid = win.w // 2
        bottom = next(y for y in range(win.h - 1, 0, -1) if differs(mid, y))
        self.assertEqual(bottom, win.h - 8 - 1)
        # Across a row inside the button: its left and right edges, centred.
        row = bottom - 12
        left = next(x for x in range(win.w) if differs(x, row))
        right = next(x for x in range(win.w - 1, 0, -1) if differs(x, row))
        self.assertEqual((left, right), ((win.w - 75) // 2, (win.w - 75) // 2 + 74))

        xdotool("mousemove", win.x + 100, win.y + 100)
        xdotool("key", "Escape")
        wait_for(lambda: not [v for v in windows() if v.name == "Gobu - Help"], 5, "the help window to close")
        self.assertIsNone(gobu.process.poll(), "the gobu runs on")

    def test_t_opens_a_tell_a_friend_message_in_the_mail_program(self):
        ran = harness.register_mailer(self, self.folder)

        self.start("friendly.exe")
        xdotool("key", "t")
        wait_for(lambda: os.path.exists(ran) and os.path.getsize(ran) > 0, 15, "the mail program to start")
        with open(ran, "rb") as f:
            command = f.read().decode("latin-1")
        # The whole address, quoted as the registered command gives it.
        self.assertTrue(command.endswith(
            '" "mailto:?subject=Gobu&body=Here\'s a web site about Gobu http://www.gobu.example/"'), command)


if __name__ == "__main__":
    unittest.main(verbosity=2)
