"""Every window of the real gobu.exe on a screen of the DPI that GOBU_DPI names (96 when
unset; scripts/wine-dpi runs this at 120 and 144): the gobu shows its picture at its
96-DPI size in proportion, and each window, opened by its key, button or menu item,
opens at its client size in proportion. A screenshot of each is left in
build/wine/look/ to be looked at."""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Picture, find_picture, screenshot, set_started_before, wait_for, wait_window, windows, windows_path, write_settings, xdotool  # noqa: E402

DPI = int(os.environ.get("GOBU_DPI", "96"))
LOOK = os.path.join(harness.STATE, "look")


def at(pixels):
    """A figure of the 96-DPI layout at the screen's DPI, rounded as MulDiv rounds."""
    return (pixels * DPI + 48) // 96


def keep_screenshot(name, w):
    os.makedirs(LOOK, exist_ok=True)
    subprocess.run(["import", "-window", "root", "-crop", f"{w.w}x{w.h}+{w.x}+{w.y}",
                    os.path.join(LOOK, f"dpi{DPI}_{name}.png")], env=harness.ENV, check=True)


class ScaledWindows(harness.GobuTestCase):
    def new_window(self, before, what):
        """The one window mapped since the set of xids before was taken."""
        return wait_for(lambda: next((v for v in harness.all_windows() if v.xid not in before and v.w > 50), None),
                        10, what)

    def close(self, w, key="Escape"):
        xdotool("mousemove", w.x + w.w // 2, w.y + w.h // 2)
        xdotool("key", key)
        wait_for(lambda: w.xid not in {v.xid for v in windows(unnamed=True)}, 5, f"{w.name!r} to close")

    def test_a_new_gobu_and_its_start_dialog_stand_where_they_stand_at_96_dpi_in_proportion(self):
        set_started_before(False)
        self.gobu("first.exe").start()
        # The dialog is a tool window: its X window holds its frame, and its client
        # area the hint drawn for this DPI (or made from the next larger copy).
        name = "startdlg.png" if DPI == 96 else f"startdlg{min(d for d in (120, 144, 192) if d >= DPI)}.png"
        hint = Picture.from_file(os.path.join(harness.SOURCE, "resources", name))
        self.assertEqual((hint.w, hint.h), (at(142), at(80)))
        dialog = wait_window("Gobu", min_size=at(80))
        time.sleep(0.5)
        keep_screenshot("start_dialog", dialog)
        # A new gobu at 40, 40 shows its built-in picture; the dialog opens at its centre.
        self.assertEqual((dialog.x, dialog.y), (at(40) + at(155) // 2, at(40) + at(113) // 2))
        self.assertIsNotNone(find_picture(screenshot(), hint, dialog.x, dialog.y + at(20)),
                             f"hint picture not found in {dialog}")
        xdotool("mousemove", dialog.x + dialog.w // 2, dialog.y + dialog.h // 2)
        xdotool("click", 1)
        wait_for(lambda: not [v for v in windows() if v.name == "Gobu"], 5, "the start dialog to close")

    def test_every_window_opens_at_its_client_size_in_proportion_to_the_screens_dpi(self):
        set_started_before(True)
        gobu = self.gobu("tour.exe")
        linked = [os.path.join(self.folder, n) for n in ("notes.txt", "plan.txt")]
        for path in linked:
            open(path, "w").close()
        write_settings(gobu, ["gobu left 100", "gobu top 100", "transparent"] +
                       ["file " + windows_path(p) for p in linked])
        gobu.start()
        # The built-in picture of 155 x 113, in proportion, cut to its outline: its
        # corners are holes onto the black root, and no pixel left shows the key colour
        # (magenta) or a blend with it.
        main = gobu.window(size=(at(155), at(113)))
        self.assertEqual((main.x, main.y), (100, 100), "a saved position stays in screen pixels")
        time.sleep(2)
        keep_screenshot("gobu", main)
        shot = screenshot((main.x, main.y, main.w, main.h))
        self.assertEqual(shot.at(0, main.h - 1), (0, 0, 0))
        fringe = [(x, y) for y in range(main.h) for x in range(main.w)
                  if shot.at(x, y)[0] > 160 and shot.at(x, y)[2] > 160 and shot.at(x, y)[1] < 110]
        self.assertEqual(fringe, [])
        middle = (main.x + main.w // 2, main.y + main.h // 2)

        def key_on_gobu(key):
            xdotool("mousemove", *middle)
            xdotool("key", key)

        key_on_gobu("p")
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
        self.close(pictures)

        key_on_gobu("f")
        files = wait_window("Select File(s)", size=(at(408), at(252)))
        time.sleep(0.5)
        keep_screenshot("link_files", files)
        # The Web Page button at 322, 130, 75 x 25.
        xdotool("mousemove", files.x + at(322) + at(75) // 2, files.y + at(130) + at(25) // 2)
        xdotool("click", 1)
        question = wait_window("Web Page", size=(at(471), at(99)))
        time.sleep(0.5)
        keep_screenshot("web_page", question)
        self.close(question)
        self.close(files)

        key_on_gobu("s")
        share = wait_window("Share", size=(at(413), at(255)))
        # Placed at 224, 150: its client area lies just inside that corner.
        self.assertTrue(at(224) <= share.x < at(224) + at(16) and at(150) <= share.y < at(150) + at(40), share)
        time.sleep(0.5)
        keep_screenshot("share", share)
        self.close(share)

        key_on_gobu("h")
        # The X window is the client area of the 417 x 424 frame, less its edges.
        help_window = wait_for(lambda: next((v for v in windows() if v.name == "Gobu - Help"), None), 10, "help")
        self.assertTrue(at(417) - at(16) <= help_window.w < at(417), help_window)
        self.assertTrue(at(424) - at(40) <= help_window.h < at(424), help_window)
        time.sleep(0.5)
        keep_screenshot("help", help_window)
        self.close(help_window)

        # A click with two linked files opens the run-time list at the gobu's centre.
        before = {v.xid for v in harness.all_windows()}
        xdotool("mousemove", *middle)
        xdotool("click", 1)
        listed = self.new_window(before, "the run-time list")
        # A tool window: its X window is the whole 172 x 121 frame.
        self.assertEqual((listed.name, listed.w, listed.h), ("Tour", at(172), at(121)))
        self.assertEqual((listed.x, listed.y), (100 + at(155) // 2, 100 + at(113) // 2))
        time.sleep(0.5)
        keep_screenshot("run_time_list", listed)

        # Help > Quick Keys and Help > About: message boxes, which Windows lays out itself.
        # The list covers the gobu from its centre on: the menu opens left of it.
        for item, name in (("q", "quick_keys"), ("a", "about")):
            before = {v.xid for v in harness.all_windows()}
            xdotool("mousemove", main.x + main.w // 4, middle[1])
            xdotool("click", 3)
            time.sleep(0.5)
            for _ in range(6):  # File, Select Picture(s), Link File(s), Configure, Share, Help
                xdotool("key", "Down")
            xdotool("key", "Right")
            xdotool("key", item)
            box = wait_for(lambda: next((v for v in windows() if v.xid not in before and v.name == "Tour"), None),
                           10, name)
            time.sleep(0.5)
            keep_screenshot(name, box)
            self.close(box, "Return")
        self.assertIsNone(gobu.process.poll(), "the gobu runs on")


if __name__ == "__main__":
    unittest.main()
