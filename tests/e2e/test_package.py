"""The self-extracting package under Wine: built from a real gobu.exe by the archive
writer, run, Start pressed, every file arriving in the destination with its date and
the gobu starting from there; an Info-ZIP archive behind our stub; and packages from a
stranger that write nothing at all: an entry that points outside the destination,
entries that overlap, and files larger than the free space of the drive."""

import io
import os
import shutil
import struct
import subprocess
import sys
import time
import unittest
import zipfile
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import set_started_before, wait_for, wait_window, windows, xdotool  # noqa: E402

GOBUZIP = os.path.join(os.environ.get("GOBU_NATIVE_TREE_DIR", ""), "tools", "gobuzip")
DRIVE_C = os.path.join(harness.ENV["WINEPREFIX"], "drive_c")
STUB_SIZE = 36352


def config_block(caption, dest, cmdline, flags=0x08):
    """The configuration block as TSFXConfig builds it (no information texts)."""
    strings = caption + dest + cmdline
    size = 12 + len(strings)
    return (b"SFX" + bytes([flags, len(caption), len(dest), len(cmdline), 0, 0, 0]) + strings +
            struct.pack("<H", size))


def archive(entries, base):
    """A ZIP archive of (name, data, method, size[, flags]) entries whose offsets count
    from base, with the offsets of its local and central headers within it."""
    body, central, local_at, central_at = b"", b"", [], []
    for name, data, method, size, *flags in entries:
        local_at.append(len(body))
        fields = struct.pack("<HHHHHIII", 20, sum(flags), method, 0x6000, 0x58CF, zlib.crc32(data), len(data),
                             size)
        body += b"PK\3\4" + fields + struct.pack("<HH", len(name), 0) + name + data
        central_at.append(len(central))
        central += (b"PK\1\2" + struct.pack("<H", 20) + fields +
                    struct.pack("<HHHHHII", len(name), 0, 0, 0, 0, 0, base + local_at[-1]) + name)
    central_at = [len(body) + at for at in central_at]
    end = b"PK\5\6" + struct.pack("<HHHHIIH", 0, 0, len(entries), len(entries), len(central), base + len(body), 0)
    return body + central + end, local_at, central_at


def dos_stamp(path):
    """A file's modification time to the 2 seconds that an archive keeps."""
    t = time.localtime(os.path.getmtime(path))
    return t[:5] + (t.tm_sec // 2 * 2,)


class Package(harness.GobuTestCase):
    def setUp(self):
        super().setUp()
        self.dest = os.path.join(DRIVE_C, "gobus")
        shutil.rmtree(self.dest, ignore_errors=True)
        self.started = []

    def tearDown(self):
        for p in self.started:
            if p.poll() is None:
                p.kill()
                p.wait()
        pid = harness.process_running("\\gobus\\")
        if pid:
            os.kill(pid, 9)
        super().tearDown()

    def stub(self):
        with open(os.path.join(harness.TREE, "app", "gobu.exe"), "rb") as f:
            return f.read()[-STUB_SIZE:]

    def dismiss_refusal(self, caption, process):
        """The message box that refuses the package; the stub then ends with 1."""
        box = wait_window(caption, min_size=50)
        self.assertLess(box.w, 400)  # the message box, not the dialog
        xdotool("mousemove", box.x + box.w // 2, box.y + box.h // 2)
        xdotool("key", "Return")
        self.assertEqual(process.wait(10), 1)
        self.assertEqual([w for w in windows() if w.name == caption], [])

    def run_package(self, path):
        p = subprocess.Popen([harness.WINE, path], cwd=os.path.dirname(path), env=harness.ENV,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.started.append(p)
        return p

    def test_package_extracts_every_file_with_its_date_and_starts_the_gobu(self):
        set_started_before(True)
        # A name with a blank: the gobu must start under its long name.
        gobu = self.gobu("my holiday.exe")
        settings = os.path.join(self.folder, "my holiday.gobu")
        with open(settings, "w") as f:
            f.write("[Pictures]\nbeach.png\n")
        picture = os.path.join(self.folder, "beach.png")
        shutil.copyfile(os.path.join(harness.SOURCE, "resources", "gobu.png"), picture)
        os.utime(picture, (1700000000, 1700000000))
        made = subprocess.run([GOBUZIP, "--extract-stub", gobu.exe], capture_output=True, text=True)
        self.assertEqual(made.returncode, 0, made.stderr)
        stub = os.path.join(self.folder, "sfxstub32.bin")
        package = os.path.join(self.folder, "my holiday_zip.exe")
        made = subprocess.run([GOBUZIP, "--sfx", stub, "--caption", "My holiday.exe", "--dest", "c:\\gobus",
                               "--run", "><my holiday.exe", "--changeable", package, gobu.exe, stub, settings,
                               picture], capture_output=True, text=True)
        self.assertEqual(made.returncode, 0, made.stderr)
        self.assertEqual(made.stdout, "4\n")

        self.run_package(package)
        harness.press_start("My holiday.exe")
        harness.confirm_finished()
        wait_window("My holiday", min_size=8)
        self.assertTrue(wait_for(lambda: harness.process_running("\\gobus\\my holiday.exe"), 10,
                                 "the gobu started from c:\\gobus under its long name"))
        for name in ("my holiday.exe", "sfxstub32.bin", "my holiday.gobu", "beach.png"):
            source, arrived = os.path.join(self.folder, name), os.path.join(self.dest, name)
            with open(source, "rb") as a, open(arrived, "rb") as b:
                self.assertEqual(a.read(), b.read(), name)
            self.assertEqual(dos_stamp(arrived), dos_stamp(source), name)
        self.assertEqual(self.started[0].wait(10), 0)

    def test_an_info_zip_archive_behind_our_stub_extracts_with_its_folders(self):
        pics = os.path.join(self.folder, "pics")
        os.makedirs(pics)
        with open(os.path.join(self.folder, "readme.txt"), "w") as f:
            f.write("a gobu for you\n" * 400)
        shutil.copyfile(os.path.join(harness.SOURCE, "resources", "gobu.png"), os.path.join(pics, "gobu.png"))
        subprocess.run(["zip", "-q", "-9", "-r", "info.zip", "readme.txt", "pics"], cwd=self.folder, check=True)
        package = os.path.join(self.folder, "info_zip.exe")
        with open(os.path.join(self.folder, "info.zip"), "rb") as f:
            zipped = f.read()
        with open(package, "wb") as f:
            f.write(self.stub() + config_block(b"Info.exe", b"c:\\gobus", b"") + zipped)
        subprocess.run(["zip", "-q", "-A", package], check=True)

        self.run_package(package)
        harness.press_start("Info.exe")
        harness.confirm_finished()
        self.assertEqual(self.started[0].wait(10), 0)
        recorded = {i.filename: i.date_time for i in zipfile.ZipFile(os.path.join(self.folder, "info.zip")).infolist()}
        for name in ("readme.txt", "pics/gobu.png"):
            with open(os.path.join(self.folder, name), "rb") as a, open(os.path.join(self.dest, name), "rb") as b:
                self.assertEqual(a.read(), b.read(), name)
            # Info-ZIP rounds odd seconds up; the file gets the date the entry records.
            self.assertEqual(dos_stamp(os.path.join(self.dest, name)), recorded[name], name)

    def test_names_in_the_oem_code_page_and_in_utf8_are_written_as_they_are(self):
        # An older package's name in the OEM code page (437 in Wine's locale: 0x82 is é),
        # and names flagged as UTF-8 (bit 11).
        block = config_block(b"Names.exe", b"c:\\gobus", b"")
        files = {"caf\u00e9.txt": b"caf\x82.txt", "\u732b/\u00e9t\u00e9.txt": None, "\U0001f431 notes.txt": None}
        entries = [(stored or name.encode(), name.encode(), 0, len(name.encode()), 0 if stored else 0x800)
                   for name, stored in files.items()]
        package = os.path.join(self.folder, "names_zip.exe")
        with open(package, "wb") as f:
            f.write(self.stub() + block + archive(entries, STUB_SIZE + len(block))[0])
        self.run_package(package)
        harness.press_start("Names.exe")
        harness.confirm_finished()
        self.assertEqual(self.started[0].wait(10), 0)
        for name in files:
            with open(os.path.join(self.dest, name), "rb") as f:
                self.assertEqual(f.read(), name.encode(), name)

    def test_an_entry_pointing_outside_the_destination_writes_nothing(self):
        package = os.path.join(self.folder, "evil_zip.exe")
        archive = io.BytesIO()
        with zipfile.ZipFile(archive, "w") as z:
            z.writestr("fine.txt", "harmless")
            z.writestr("..\\evil.txt", "escaped")
        with open(package, "wb") as f:
            f.write(self.stub() + config_block(b"Evil.exe", b"c:\\gobus", b"") + archive.getvalue())
        subprocess.run(["zip", "-q", "-A", package], check=True)

        self.dismiss_refusal("Evil.exe", self.run_package(package))
        self.assertFalse(os.path.exists(self.dest))
        self.assertFalse(os.path.exists(os.path.join(DRIVE_C, "evil.txt")))

    def test_entries_whose_data_overlap_write_nothing(self):
        # The zip bomb's shape: the first entry's data cover the second entry's local
        # header and data.
        block = config_block(b"Bomb.exe", b"c:\\gobus", b"")
        text = b"the same text " * 20
        zipped, local_at, central_at = archive([(b"a.txt", text, 0, len(text)), (b"b.txt", text, 0, len(text))],
                                               STUB_SIZE + len(block))
        zipped = bytearray(zipped)
        covered = central_at[0] - (local_at[0] + 30 + 5)
        for at in (local_at[0] + 18, local_at[0] + 22, central_at[0] + 20, central_at[0] + 24):
            struct.pack_into("<I", zipped, at, covered)
        package = os.path.join(self.folder, "bomb_zip.exe")
        with open(package, "wb") as f:
            f.write(self.stub() + block + zipped)

        self.dismiss_refusal("Bomb.exe", self.run_package(package))
        self.assertFalse(os.path.exists(self.dest))

    def test_files_larger_than_the_free_space_write_nothing(self):
        # 4096 deflated entries that each claim 4 GiB: 16 TiB, more than any test drive.
        block = config_block(b"Huge.exe", b"c:\\gobus", b"")
        empty = b"\x03\x00"  # a Deflate stream of nothing
        entries = [(b"f%04d.bin" % i, empty, 8, 0xFFFFFFFF) for i in range(4096)]
        package = os.path.join(self.folder, "huge_zip.exe")
        with open(package, "wb") as f:
            f.write(self.stub() + block + archive(entries, STUB_SIZE + len(block))[0])

        process = self.run_package(package)
        dialog = wait_window("Huge.exe", min_size=200)
        harness.press_start("Huge.exe")
        box = wait_for(lambda: next((w for w in windows() if w.name == "Huge.exe" and w.xid != dialog.xid), None),
                       20, "the message naming both sizes")
        xdotool("mousemove", box.x + box.w // 2, box.y + box.h // 2)
        xdotool("key", "Return")
        # The dialog stays, for another folder; nothing has been written, not even the folder.
        self.assertTrue(wait_for(lambda: [w.xid for w in windows() if w.name == "Huge.exe"] == [dialog.xid], 10,
                                 "the message closed and the dialog left open"))
        self.assertFalse(os.path.exists(self.dest))
        xdotool("mousemove", dialog.x + dialog.w // 2, dialog.y + 10)
        xdotool("key", "Escape")
        self.assertEqual(process.wait(10), 1)


if __name__ == "__main__":
    unittest.main(verbosity=2)
