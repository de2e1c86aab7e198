"""Sharing with the real gobu.exe: Share > Hard Disk packs the gobu, its picture and an
included file, and the package unpacks on the recipient's side into c:\\gobus, where the
gobu starts with its picture, also when its files are named in other scripts; Share >
Floppy Disk copies the package to drive A:; Share > E-Mail without a mail client hands a
"mailto:" message to the shell."""

import os
import shutil
import subprocess
import sys
import time
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import (screenshot, set_started_before, wait_for, wait_window, windows, windows_path,  # noqa: E402
                     write_bmp, write_settings, xdotool)

DRIVE_C = os.path.join(harness.ENV["WINEPREFIX"], "drive_c")
DOSDEVICES = os.path.join(harness.ENV["WINEPREFIX"], "dosdevices")
RED = (220, 30, 30)


class Share(harness.GobuTestCase):
    def setUp(self):
        super().setUp()
        set_started_before(True)
        self.dest = os.path.join(DRIVE_C, "gobus")
        shutil.rmtree(self.dest, ignore_errors=True)
        self.addCleanup(shutil.rmtree, self.dest, True)

    def start_holiday(self, include=True):
        """holiday.exe with a picture and a file to include, each in a folder of its own;
        the file is listed in the settings unless the test adds it in the dialog."""
        pics, docs = os.path.join(self.folder, "pics"), os.path.join(self.folder, "docs")
        os.makedirs(pics)
        os.makedirs(docs)
        write_bmp(os.path.join(pics, "red.bmp"), 60, 40, RED)
        with open(os.path.join(docs, "notes.txt"), "w") as f:
            f.write("what to see on the way\n" * 200)
        gobu = self.gobu("holiday.exe")
        lines = ["gobu left 40", "gobu top 40", "picture " + windows_path(os.path.join(pics, "red.bmp"))]
        if include:
            lines.append("include " + windows_path(os.path.join(docs, "notes.txt")))
        write_settings(gobu, lines)
        gobu.start()
        gobu.window(size=(60, 40))
        return gobu

    def share_by_menu(self, key, in_dialog=None):
        """Share > E-Mail, Hard Disk or Floppy Disk, then OK in the Share dialog (after
        in_dialog(dialog), when given)."""
        xdotool("mousemove", 70, 60)
        xdotool("click", 3)
        time.sleep(0.5)
        for _ in range(5):  # File, Select Picture(s), Link File(s), Configure, Share
            xdotool("key", "Down")
        xdotool("key", "Right")
        time.sleep(0.3)
        xdotool("key", key)
        dialog = wait_window("Share", 10, min_size=200)
        if in_dialog:
            in_dialog(dialog)
        # The X window of a dialog is its client area: OK lies where its layout says.
        xdotool("mousemove", dialog.x + 336 + 37, dialog.y + 224 + 12)
        xdotool("click", 1)
        wait_for(lambda: not [v for v in windows() if v.xid == dialog.xid], 10, "the Share dialog to close")

    def confirm_message(self, gobu_xid):
        """Return on the gobu's message box, the only other sizeable window of its title."""
        box = wait_for(lambda: next((v for v in windows() if v.name == "Holiday" and v.xid != gobu_xid and v.w > 100),
                                    None),
                       30, "the message box")
        xdotool("mousemove", box.x + box.w // 2, box.y + box.h // 2)
        xdotool("key", "Return")
        wait_for(lambda: not [v for v in windows() if v.xid == box.xid], 5, "the message box to close")

    def receive(self, package):
        """The recipient runs the package, presses Start and gets the gobu it starts from c:\\gobus."""
        unpacker = subprocess.Popen([harness.WINE, package], cwd=self.folder, env=harness.ENV,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(unpacker.kill)
        harness.press_start("Holiday.exe")
        harness.confirm_finished()
        received = wait_window("Holiday", 20, size=(60, 40))
        pid = harness.process_running("\\gobus\\holiday.exe")
        self.assertTrue(pid, "the gobu started from c:\\gobus")
        self.addCleanup(lambda: harness.process_running("\\gobus\\") and os.kill(pid, 9))
        return received

    def add_notes_by_add_others(self, dialog):
        """Add Others, then docs\\notes.txt chosen in the open dialog."""
        xdotool("mousemove", dialog.x + 171 + 35, dialog.y + 89 + 12)
        xdotool("click", 1)
        files = wait_window("Select File(s)", 20, min_size=200)
        xdotool("mousemove", files.x + files.w // 2, files.y + 20)
        xdotool("type", "--delay", "20", windows_path(os.path.join(self.folder, "docs")) + "\\")
        xdotool("key", "Return")
        xdotool("type", "--delay", "20", "notes.txt")
        xdotool("key", "Return")
        wait_for(lambda: not [v for v in windows() if v.xid == files.xid], 10, "the open dialog to close")

    def test_hard_disk_package_lists_its_files_and_unpacks_into_c_gobus_where_the_gobu_starts(self):
        gobu = self.start_holiday(include=False)
        gobu_xid = gobu.window().xid
        self.share_by_menu("h", self.add_notes_by_add_others)
        self.confirm_message(gobu_xid)
        package = os.path.join(self.folder, "holiday_zip.exe")
        listing = subprocess.run(["unzip", "-Z1", package], capture_output=True, text=True).stdout.split()
        self.assertEqual(listing, ["holiday.exe", "sfxstub32.bin", "holiday.gobu", "red.bmp", "notes.txt"])
        xdotool("mousemove", 70, 60)
        xdotool("key", "q")
        gobu.wait_exit(10)

        # The recipient has none of the sender's folders: the gobu finds its picture beside itself.
        shutil.rmtree(os.path.join(self.folder, "pics"))
        shutil.rmtree(os.path.join(self.folder, "docs"))
        received = self.receive(package)
        self.assertEqual(sorted(os.listdir(self.dest)),
                         ["holiday.exe", "holiday.gobu", "notes.txt", "red.bmp", "sfxstub32.bin"])
        wait_for(lambda: screenshot((received.x, received.y, 60, 40)).at(30, 20) == RED, 10,
                 "the picture in the received gobu")

    def test_names_in_other_scripts_travel_in_utf8_and_the_received_gobu_shows_its_picture(self):
        pics = os.path.join(self.folder, "Photos \u00e9t\u00e9")
        os.makedirs(pics)
        picture, notes = os.path.join(pics, "\u732b.jpg"), os.path.join(pics, "\u00c9t\u00e9 notes.txt")
        subprocess.run(["/usr/bin/convert", "-size", "60x40", "xc:rgb(220,30,30)", picture], check=True)
        with open(notes, "w") as f:
            f.write("what to see on the way\n")
        gobu = self.gobu("holiday.exe")
        write_settings(gobu, ["picture " + windows_path(picture), "include " + windows_path(notes)], "utf-8")
        gobu_xid = gobu.start().window(size=(60, 40)).xid
        self.share_by_menu("h")
        self.confirm_message(gobu_xid)
        package = os.path.join(self.folder, "holiday_zip.exe")
        flagged = {i.filename for i in zipfile.ZipFile(package).infolist() if i.flag_bits & 0x800}
        self.assertEqual(flagged, {"\u732b.jpg", "\u00c9t\u00e9 notes.txt"})
        xdotool("mousemove", 70, 60)
        xdotool("key", "q")
        gobu.wait_exit(10)
        shutil.rmtree(pics)
        received = self.receive(package)
        self.assertLessEqual({"\u732b.jpg", "\u00c9t\u00e9 notes.txt"}, set(os.listdir(self.dest)))
        shown = lambda: screenshot((received.x, received.y, 60, 40)).at(30, 20)  # noqa: E731
        wait_for(lambda: all(abs(a - b) < 16 for a, b in zip(shown(), RED)), 10, "the JPEG in the received gobu")

    def test_floppy_disk_copies_the_package_to_drive_a(self):
        floppy = os.path.join(self.folder, "floppy")
        os.makedirs(floppy)
        drive = os.path.join(DOSDEVICES, "a:")
        if os.path.lexists(drive):
            os.remove(drive)
        os.symlink(floppy, drive)
        self.addCleanup(harness.restart_wine)
        self.addCleanup(os.remove, drive)
        harness.restart_wine()
        gobu_xid = self.start_holiday().window().xid
        self.share_by_menu("f")
        self.confirm_message(gobu_xid)
        with open(os.path.join(self.folder, "holiday_zip.exe"), "rb") as a, \
                open(os.path.join(floppy, "holiday_zip.exe"), "rb") as b:
            self.assertEqual(a.read(), b.read())

    def test_e_mail_without_a_mail_client_opens_a_mailto_message_naming_the_package(self):
        ran = harness.register_mailer(self, self.folder)
        clients = r"HKLM\Software\Clients\Mail"
        previous = harness.default_value(clients)
        if previous:
            self.addCleanup(harness.reg, "add", clients, "/ve", "/t", previous[0], "/d", previous[1], "/f")
        harness.reg("delete", clients, "/ve", "/f")
        self.start_holiday()
        self.share_by_menu("e")
        wait_for(lambda: os.path.exists(ran) and os.path.getsize(ran) > 0, 30, "the mail program to start")
        with open(ran, "rb") as f:
            command = f.read().decode("latin-1")
        package = windows_path(os.path.join(self.folder, "holiday_zip.exe"))
        sep = "%0D%0A%0D%0A"
        self.assertTrue(command.endswith(
            '"mailto:?subject=A Gobu For You&body=Instructions:' + sep +
            "1. Select or fill in E-mail addresses of the people that you want to tell about this gobu." + sep +
            "2. Erase these instructions, and write a note about the gobu." + sep +
            "3. Attach " + package + " to this message." + sep +
            '(In most E-Mail programs, you can click a paperclip icon to attach files.)"'), command)


if __name__ == "__main__":
    unittest.main(verbosity=2)
