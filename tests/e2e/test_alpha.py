"""Pictures of today through the real exe: a PNG with soft edges floats on the desktop
as a layered window whose clear pixels let clicks through, is flattened onto white when
Transparent is off, keeps its shape when a slide show alternates it with a shaped
bitmap; and a phone's photo is shown upright at half the screen."""

import os
import struct
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import screenshot, set_started_before, wait_for, windows, windows_path, write_settings, xdotool  # noqa: E402

CONVERT = "/usr/bin/convert"
BLACK, BLUE, RED, WHITE = (0, 0, 0), (0, 0, 255), (255, 0, 0), (255, 255, 255)
MARKER = os.path.join(harness.TREE, "tests", "wine", "marker.exe")


def convert(*args):
    subprocess.run([CONVERT, *args], check=True)


def soft_png(path):
    """80 x 60: opaque blue on the left, a band of half-transparent red, clear on the right."""
    convert("-size", "40x60", "xc:blue", "-size", "10x60", "xc:#FF000080", "-size", "30x60", "xc:none",
            "+append", "PNG32:" + path)


def keyed_bmp(path):
    """80 x 60: a red rectangle on white, white being the key colour of its lower-left pixel."""
    convert("-size", "80x60", "xc:white", "-fill", "red", "-draw", "rectangle 10,10 69,49", "BMP3:" + path)


def near(a, b, tolerance=4):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def depth(title):
    """The colour depth of the window of that title. Wine gives a window a new X window
    when it becomes layered or stops being so: look it up afresh until one answers."""
    def find():
        for v in windows():
            out = harness.run("xwininfo", "-id", v.xid).stdout
            if v.name == title and "Depth:" in out:
                return int(out.split("Depth:")[1].split()[0])
        return None
    return wait_for(find, 5, f"the depth of {title}")


class Alpha(harness.GobuTestCase):
    def setUp(self):
        super().setUp()
        set_started_before(True)

    def pixels(self, w, points):
        shot = screenshot((w.x, w.y, w.w, w.h))
        return [shot.at(x, y) for x, y in points]

    def test_a_soft_png_is_layered_lets_clicks_through_clear_pixels_and_is_flattened_without_transparent(self):
        png = os.path.join(self.folder, "soft.png")
        soft_png(png)
        tool = os.path.join(self.folder, "tool.exe")
        subprocess.run(["cp", MARKER, tool], check=True)
        ran = tool + ".ran"
        gobu = self.gobu("soft.exe")
        write_settings(gobu, ["gobu left 300", "gobu top 200", "picture " + windows_path(png),
                              "file " + windows_path(tool), "transparent"])
        gobu.start()
        gobu.window(size=(80, 60))
        time.sleep(1.5)
        w = gobu.window(size=(80, 60))
        # Per-pixel alpha: a 32-bit window, each pixel blended over the black root.
        self.assertEqual(depth("Soft"), 32)
        blue, half, clear = self.pixels(w, [(20, 30), (45, 30), (70, 30)])
        self.assertEqual(blue, BLUE)
        self.assertTrue(near(half, (128, 0, 0)), half)
        self.assertEqual(clear, BLACK)

        # A click on a clear pixel reaches what lies beneath; one on the picture opens the tool.
        xdotool("mousemove", w.x + 70, w.y + 30)
        xdotool("click", 1)
        time.sleep(2)
        self.assertFalse(os.path.exists(ran))
        xdotool("mousemove", w.x + 20, w.y + 30)
        xdotool("click", 1)
        wait_for(lambda: os.path.exists(ran), 10, "the linked tool to run")

        # Transparent off: the rectangle, the picture flattened onto white.
        harness.choose_in_configure(w.x + 20, w.y + 30, "t")

        def flattened():
            v = [v for v in windows() if v.name == "Soft" and (v.w, v.h) == (80, 60)]
            if not v:
                return None
            got = self.pixels(v[0], [(20, 30), (45, 30), (70, 30), (79, 59)])
            return got if near(got[1], (255, 127, 127)) and got[2] == WHITE else None
        blue, half, clear, corner = wait_for(flattened, 10, "the flattened picture")
        self.assertEqual((blue, clear, corner), (BLUE, WHITE, WHITE))

    def test_a_slide_show_of_a_soft_png_and_a_shaped_bitmap_keeps_each_shape(self):
        png, bmp = os.path.join(self.folder, "soft.png"), os.path.join(self.folder, "shaped.bmp")
        soft_png(png)
        keyed_bmp(bmp)
        gobu = self.gobu("show.exe")
        # Slide Left: the transition is drawn into the layered window too.
        write_settings(gobu, ["gobu left 300", "gobu top 200", "picture " + windows_path(png),
                              "picture " + windows_path(bmp), "transition 1", "duration 2", "transparent"])
        gobu.start()
        gobu.window(size=(80, 60))
        points = [(5, 5), (20, 30), (45, 30), (72, 30), (75, 55)]
        # Each is what the whole window shows once a picture has settled: the bitmap's
        # white is a hole, the PNG's top-left corner is blue where the bitmap had a hole.
        bitmap = [BLACK, RED, RED, BLACK, BLACK]
        seen = []
        end = time.time() + 40
        while len(seen) < 4 and time.time() < end:
            v = [v for v in windows() if v.name == "Show" and (v.w, v.h) == (80, 60)]
            if not v:
                continue
            got = self.pixels(v[0], points)
            kind = ("png" if got[0] == BLUE and got[1] == BLUE and near(got[2], (128, 0, 0)) and got[3] == BLACK
                    else "bmp" if got == bitmap else None)
            if kind and (not seen or seen[-1] != kind):
                self.assertEqual(depth("Show"), 32 if kind == "png" else 24, kind)
                seen.append(kind)
            time.sleep(0.1)
        self.assertGreaterEqual(len(seen), 4, f"pictures seen settled in turn: {seen}")

    def test_a_phone_photo_is_shown_upright_at_half_the_screen(self):
        # 4000 x 3000 as stored, left half red, right half blue, with Exif orientation 6:
        # the camera was held upright, and the stored left half is the upright top half.
        stored = os.path.join(self.folder, "stored.jpg")
        convert("-size", "2000x3000", "xc:red", "-size", "2000x3000", "xc:blue", "+append", stored)
        with open(stored, "rb") as f:
            jpeg = f.read()
        tiff = b"MM\0\x2a" + struct.pack(">IH", 8, 1) + struct.pack(">HHIHH", 0x0112, 3, 1, 6, 0) + b"\0" * 4
        app1 = b"Exif\0\0" + tiff
        photo = os.path.join(self.folder, "photo.jpg")
        with open(photo, "wb") as f:
            f.write(jpeg[:2] + b"\xff\xe1" + struct.pack(">H", len(app1) + 2) + app1 + jpeg[2:])
        gobu = self.gobu("photo.exe")
        write_settings(gobu, ["gobu left 10", "gobu top 10", "picture " + windows_path(photo)])
        gobu.start()
        w = gobu.window(timeout=30, size=(288, 384))  # 3000 x 4000 within 512 x 384
        time.sleep(1)
        top, bottom = self.pixels(w, [(144, 96), (144, 288)])
        self.assertTrue(near(top, RED, 8) and near(bottom, BLUE, 8), f"{top} {bottom}")


if __name__ == "__main__":
    unittest.main()
