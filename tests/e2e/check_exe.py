"""The shipped gobu.exe is a 32-bit Windows GUI program that needs nothing but the
system's own DLLs."""

import os
import re
import subprocess
import unittest

SHIP = os.environ.get("GOBU_SHIP_TREE_DIR", "")
EXE = os.path.join(SHIP, "app", "gobu.exe")
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "shell32.dll",
               "advapi32.dll", "msvcrt.dll", "ole32.dll"}


class ShippedExecutable(unittest.TestCase):
    def setUp(self):
        self.dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", EXE], capture_output=True, text=True,
                                   check=True).stdout

    def test_is_pe32_i386_gui(self):
        self.assertIn("file format pei-i386", self.dump)
        self.assertRegex(self.dump, r"Magic\s+010b")  # PE32, not PE32+
        self.assertRegex(self.dump, r"Subsystem\s+00000002")  # Windows GUI

    def test_imports_only_system_dlls(self):
        dlls = {d.lower() for d in re.findall(r"DLL Name: (\S+)", self.dump)}
        self.assertTrue(dlls, "no imports found")
        self.assertLessEqual(dlls, SYSTEM_DLLS, f"non-system imports: {dlls - SYSTEM_DLLS}")


if __name__ == "__main__":
    unittest.main(verbosity=2)
