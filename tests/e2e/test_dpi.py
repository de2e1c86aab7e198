"""The real gobu.exe on a screen of the DPI that GOBU_DPI names (96 when unset;
scripts/wine-dpi runs this at 120 and 144): the gobu shows its picture at its 96-DPI
size in proportion, and P opens Select Picture(s) at its client size in proportion with
its captions whole. Their screenshots are left in build/wine/look/ to be looked at."""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import screenshot, set_started_before, wait_window, write_settings, xdotool  # noqa: E402

DPI = int(os.environ.get("GOBU_DPI", "96"))


def at(pixels):
    """A figure of the 96-DPI layout at the screen's DPI, rounded as MulDiv rounds."""
    return (pixels * DPI + 48) // 96


def keep_screenshot(name, w):
    os.makedirs(os.path.join(harness.STATE, "look"), exist_ok=True)
    subprocess.run(["import", "-window", "root", "-crop", f"{w.w}x{w.h}+{w.x}+{w.y}",
                    os.path.join(harness.STATE, "look", f"dpi{DPI}_{name}.png")], env=harness.ENV, check=True)


class ScaledDisplay(harness.GobuTestCase):
    def test_the_gobu_and_select_pictures_open_at_their_size_in_proportion_to_the_screens_dpi(self):
        set_started_before(True)
        gobu = self.gobu("scaled.exe")
        write_settings(gobu, ["gobu left 100", "gobu top 100", "transparent"])
        gobu.start()
        # The built-in picture of 155 x 113 at a saved position, in screen pixels.
        main = gobu.window(size=(at(155), at(113)))
        self.assertEqual((main.x, main.y), (100, 100))
        time.sleep(2)
        keep_screenshot("gobu", main)
        xdotool("mousemove", main.x + main.w // 2, main.y + main.h // 2)
        xdotool("key", "p")
        pictures = wait_window("Select Picture(s)", size=(at(413), at(256)))
        time.sleep(0.5)
        keep_screenshot("select_pictures", pictures)
        # The OK button at 328, 220, 75 x 25: its edges across a row above its caption,
        # and the caption whole inside it.
        shot = screenshot((pictures.x, pictures.y, pictures.w, pictures.h))
        background = shot.at(at(315), at(232))  # between Cancel and OK
        row = at(220) + at(4)
        left = next(x for x in range(at(315), pictures.w) if shot.at(x, row) != background)
        right = next(x for x in range(pictures.w - 1, 0, -1) if shot.at(x, row) != background)
        self.assertEqual((left, right), (at(328), at(328) + at(75) - 1))
        dark = [(x, y) for y in range(at(220), at(245)) for x in range(left, right + 1) if sum(shot.at(x, y)) < 200]
        self.assertTrue(dark, "the caption shows")
        xs, ys = [x for x, _ in dark], [y for _, y in dark]
        self.assertTrue(left + 3 < min(xs) and max(xs) < right - 3, (min(xs), max(xs)))
        self.assertTrue(at(220) + 3 < min(ys) and max(ys) < at(245) - 4, (min(ys), max(ys)))


if __name__ == "__main__":
    unittest.main()
