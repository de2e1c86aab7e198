"""Listed pictures on the desktop: an animated GIF that changes frames by itself and
answers the mouse like a still picture, and a JPEG painted still."""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Picture, screenshot, set_started_before, wait_for, windows, windows_path, write_settings, xdotool  # noqa: E402

CONVERT = "/usr/bin/convert"
RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)


def convert(*args):
    subprocess.run([CONVERT, *args], check=True)


class Pictures(harness.GobuTestCase):
    def setUp(self):
        super().setUp()
        set_started_before(True)

    def start(self, name, picture, animation, w, h):
        gobu = self.gobu(name)
        write_settings(gobu, ["gobu left 300", "gobu top 200", "picture " + windows_path(picture)]
                       + (["animation"] if animation else []))
        gobu.start()
        return gobu.window(size=(w, h))

    def test_an_animated_gif_changes_frames_and_opens_its_menu_at_its_bottom_right_corner(self):
        gif = os.path.join(self.folder, "frames.gif")
        convert("-delay", "25", "-loop", "0", "-size", "60x40", "xc:red", "xc:lime", "xc:blue", gif)
        w = self.start("anim.exe", gif, True, 60, 40)

        seen = set()
        end = time.time() + 10
        while len(seen) < 3 and time.time() < end:
            shot = screenshot((w.x, w.y, w.w, w.h))
            # The whole picture shows one frame at a time.
            self.assertEqual(len({shot.at(x, y) for x in range(0, 60, 7) for y in range(0, 40, 5)}), 1)
            seen.add(shot.at(30, 20))
            time.sleep(0.1)
        self.assertEqual(seen, {RED, GREEN, BLUE})

        # In the middle of the screen a right click opens the menu at the gobu's
        # bottom-right corner rather than at the mouse.
        before = {v.xid for v in harness.all_windows()}
        xdotool("mousemove", w.x + 20, w.y + 15)
        xdotool("click", 3)
        menu = wait_for(lambda: [v for v in harness.all_windows() if v.xid not in before and v.w > 50], 5,
                        "the popup menu")[0]
        self.assertEqual((menu.x, menu.y), (w.x + 60, w.y + 40))
        xdotool("key", "Escape")
        wait_for(lambda: not [v for v in harness.all_windows() if v.xid == menu.xid], 5, "the menu to close")

        # A drag on the animated picture moves the gobu.
        xdotool("mousemove", w.x + 20, w.y + 15)
        xdotool("mousedown", 1)
        for step in range(1, 6):
            xdotool("mousemove", w.x + 20 + 8 * step, w.y + 15 + 6 * step)
        xdotool("mouseup", 1)
        wait_for(lambda: [v for v in windows() if v.name == "Anim" and (v.x, v.y) == (w.x + 40, w.y + 30)], 5,
                 "the dragged gobu")

    def test_a_jpeg_with_gif_animation_set_is_painted_still(self):
        jpeg = os.path.join(self.folder, "photo.jpg")
        convert("-size", "64x48", "-seed", "3", "plasma:fractal", "-quality", "95", jpeg)
        ppm = subprocess.run([CONVERT, jpeg, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
        expected = Picture.from_ppm(ppm)
        w = self.start("still.exe", jpeg, True, 64, 48)
        time.sleep(1.5)
        first = screenshot((w.x, w.y, w.w, w.h))
        worst = max(abs(a - b) for y in range(48) for x in range(64)
                    for a, b in zip(first.at(x, y), expected.at(x, y)))
        self.assertLessEqual(worst, 2)
        time.sleep(0.5)
        self.assertEqual(screenshot((w.x, w.y, w.w, w.h)).pixels, first.pixels)


if __name__ == "__main__":
    unittest.main()
