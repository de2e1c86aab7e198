"""The slide show set up as a user does it: P opens Select Picture(s), Add picks two
pictures in the open dialog (previewing one) and a file that is no picture, which is
refused in a message, an effect is chosen, OK shows the first picture, the show changes
pictures on its own, Space pauses and resumes it, and Q keeps it all."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import screenshot, set_started_before, wait_for, wait_window, windows, windows_path, write_bmp, write_settings, xdotool  # noqa: E402

RED, BLUE = (255, 0, 0), (0, 0, 255)


class SlideShow(harness.GobuTestCase):
    def setUp(self):
        super().setUp()
        set_started_before(True)

    def shown(self, w):
        """The size and middle colour of the gobu's window as the screen shows it."""
        gobu = [v for v in windows() if v.name == w.name]
        if not gobu:
            return None
        v = gobu[0]
        return (v.w, v.h), screenshot((v.x, v.y, v.w, v.h)).at(v.w // 2, v.h // 2)

    def test_two_pictures_chosen_in_the_dialog_change_on_their_own_and_pause_on_space(self):
        red, blue = os.path.join(self.folder, "red.bmp"), os.path.join(self.folder, "blue.bmp")
        write_bmp(red, 60, 40, RED)
        write_bmp(blue, 50, 30, BLUE)
        # Sorted after the pictures in the open dialog's list.
        with open(os.path.join(self.folder, "zebra.bmp"), "w") as f:
            f.write("a text named as a picture")
        gobu = self.gobu("show.exe")
        write_settings(gobu, ["gobu left 300", "gobu top 200", "duration 2"])
        gobu.start()
        w = gobu.window(size=(155, 113))

        xdotool("mousemove", w.x + 77, w.y + 56)  # the built-in picture is cut to its outline
        xdotool("key", "p")
        d = wait_window("Select Picture(s)", size=(413, 256))
        xdotool("mousemove", d.x + 365, d.y + 32)
        xdotool("click", 1)
        picker = wait_window("Select Picture")
        # Widened by its preview pane, the dialog still lies whole on the screen.
        self.assertLessEqual(picker.x + picker.w, 1024)
        xdotool("mousemove", picker.x + 40, picker.y + 40)
        xdotool("type", windows_path(self.folder) + "\\")
        xdotool("key", "Return")
        time.sleep(1)
        # A click on red.bmp, the second file of the list, shows it in the preview pane.
        xdotool("mousemove", picker.x + 160, picker.y + 65)
        xdotool("click", 1)

        def preview_is_red():
            shot = screenshot((picker.x, picker.y, picker.w, picker.h))
            return any(shot.at(x, y) == RED for y in range(0, shot.h, 4) for x in range(shot.w // 2, shot.w, 4))
        wait_for(preview_is_red, 5, "the preview of red.bmp")
        xdotool("key", "alt+n")  # back to the file-name field
        xdotool("type", '"red.bmp" "zebra.bmp" "blue.bmp"')
        xdotool("key", "Return")
        wait_for(lambda: not [v for v in windows() if v.name == "Select Picture"], 15, "the open dialog to close")
        box = wait_for(lambda: next((v for v in windows() if v.name == "Show" and v.xid != w.xid), None), 10,
                       "the message refusing zebra.bmp")
        xdotool("mousemove", box.x + box.w // 2, box.y + box.h // 2)
        xdotool("key", "Return")
        wait_for(lambda: not [v for v in windows() if v.xid == box.xid], 5, "the message to close")

        # Close Curtains, chosen in the drop-down by its first letter.
        xdotool("mousemove", d.x + 50, d.y + 170)
        xdotool("click", 1)
        xdotool("key", "c")
        xdotool("key", "Return")
        xdotool("mousemove", d.x + 365, d.y + 232)
        xdotool("click", 1)
        wait_for(lambda: not [v for v in windows() if v.name == "Select Picture(s)"], 10, "the dialog to close")

        # OK shows the first picture, and the show moves on by itself.
        self.assertEqual(wait_for(lambda: self.shown(w) == ((60, 40), RED) and self.shown(w), 5, "red"),
                         ((60, 40), RED))
        wait_for(lambda: self.shown(w) == ((50, 30), BLUE), 8, "blue after the duration")
        wait_for(lambda: self.shown(w) == ((60, 40), RED), 8, "red again")

        # Space stops the changes; a second Space shows the next picture at once.
        xdotool("mousemove", w.x + 10, w.y + 10)
        xdotool("key", "space")
        paused = self.shown(w)
        time.sleep(4.5)
        self.assertEqual(self.shown(w), paused)
        xdotool("key", "space")
        wait_for(lambda: self.shown(w) not in (None, paused), 2, "the next picture at once")

        xdotool("key", "q")
        gobu.wait_exit()
        with open(os.path.splitext(gobu.exe)[0] + ".gobu", "rb") as f:
            lines = f.read().decode("latin-1").split("\r\n")
        self.assertEqual([line for line in lines if line.startswith("picture ")],
                         ["picture " + windows_path(red), "picture " + windows_path(blue)])
        self.assertIn("transition 8", lines)
        self.assertIn("duration 2", lines)


if __name__ == "__main__":
    unittest.main()
