"""The shipped gobu.exe is a 32-bit Windows GUI program that imports known DLLs only,
and it carries the extractor stub, itself a GUI program of known DLLs only, as its last
36352 bytes; so does the gobu.exe of the tree run under Wine. Both carry the gobu's
icon as the first of their resources."""

import os
import re
import struct
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from peresources import PNG_SIGNATURE, icon_groups, icon_pixels  # noqa: E402

SHIP = os.environ.get("GOBU_SHIP_TREE_DIR", "")
WINE_TREE = os.environ.get("GOBU_WINE_TREE_DIR", "")
EXE = os.path.join(SHIP, "app", "gobu.exe")
STUB_SIZE = 36352
# Every share carries the whole executable; this ceiling keeps it from growing back
# unnoticed (the shipped exe is linked stripped, without unused sections).
EXE_CEILING = 640000
# A gobu and its stub run from folders that strangers' files land in (downloads,
# c:\gobus): they import only DLLs that Windows always takes from its own folder (the
# known DLLs, and comctl32 through the manifest); any other DLL is loaded at run time
# by its full path in the system folder.
KNOWN_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
              "oleaut32.dll", "comdlg32.dll", "shlwapi.dll", "msvcrt.dll", "comctl32.dll"}


def objdump(path, prefix="i686-w64-mingw32", what="-p"):
    return subprocess.run([f"{prefix}-objdump", what, path], capture_output=True, text=True,
                          check=True).stdout


def imports(dump):
    return {d.lower() for d in re.findall(r"DLL Name: (\S+)", dump)}


def check_imports(test, dump):
    """Fails the test unless the import table names known DLLs only (and names some)."""
    dlls = imports(dump)
    test.assertTrue(dlls, "no imports found")
    test.assertLessEqual(dlls, KNOWN_DLLS, f"imports beyond the known DLLs: {dlls - KNOWN_DLLS}")


class ShippedExecutable(unittest.TestCase):
    def setUp(self):
        self.dump = objdump(EXE)

    def test_is_pe32_i386_gui(self):
        self.assertIn("file format pei-i386", self.dump)
        self.assertRegex(self.dump, r"Magic\s+010b")  # PE32, not PE32+
        self.assertRegex(self.dump, r"Subsystem\s+00000002")  # Windows GUI

    def test_stays_under_its_size_ceiling(self):
        size = os.path.getsize(EXE)
        self.assertLessEqual(size, EXE_CEILING, f"gobu.exe is {size} bytes")
        self.assertNotIn(".debug_", objdump(EXE, what="-h"), "gobu.exe is not stripped")

    def test_imports_only_known_dlls(self):
        check_imports(self, self.dump)


class CarriedStub(unittest.TestCase):
    def check_tree(self, tree, prefix, file_format):
        stub_path = os.path.join(tree, "stub", "sfxstub32.bin")
        with open(stub_path, "rb") as f:
            stub = f.read()
        with open(os.path.join(tree, "app", "gobu.exe"), "rb") as f:
            exe = f.read()
        self.assertEqual(len(stub), STUB_SIZE)
        self.assertEqual(exe[-STUB_SIZE:], stub)
        dump = objdump(stub_path, prefix)
        self.assertIn(f"file format {file_format}", dump)
        self.assertRegex(dump, r"Subsystem\s+00000002")
        check_imports(self, dump)

    def test_shipped_gobu_ends_with_the_32_bit_stub(self):
        self.check_tree(SHIP, "i686-w64-mingw32", "pei-i386")

    def test_gobu_run_under_wine_ends_with_its_stub(self):
        if os.path.realpath(WINE_TREE) == os.path.realpath(SHIP):
            self.skipTest("the Wine tree is the shipped one")
        self.check_tree(WINE_TREE, "x86_64-w64-mingw32", "pei-x86-64")


class Icon(unittest.TestCase):
    """Explorer, the taskbar and Alt+Tab show the first icon group of a program."""

    def first_icon(self, data, sizes):
        images = icon_groups(data)[0][1]
        self.assertEqual(sorted(i["size"] for i in images), sizes)
        for image in images:
            self.assertEqual(image["bits"], 32)
            # 256 pixels PNG-compressed (IHDR: 256 x 256, RGBA), the others bitmaps with
            # transparent corners around an opaque gobu.
            if image["size"] == 256:
                self.assertEqual(struct.unpack_from(">8sIIBB", image["data"], 8)[1:], (256, 256, 8, 6))
                self.assertTrue(image["data"].startswith(PNG_SIGNATURE))
            else:
                self.assertTrue({0, 255} <= {p >> 24 for p in icon_pixels(image)})
        return {i["size"]: i["data"] for i in images}

    def test_gobu_and_its_stub_carry_the_icon_first_in_their_resources(self):
        with open(EXE, "rb") as f:
            exe = f.read()
        self.assertEqual(icon_groups(exe)[0][0], "MAINICON")
        ours = self.first_icon(exe, [16, 32, 48, 256])
        self.assertEqual(self.first_icon(exe[-STUB_SIZE:], [16, 32]), {size: ours[size] for size in (16, 32)})


if __name__ == "__main__":
    unittest.main(verbosity=2)
