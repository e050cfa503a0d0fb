#!/usr/bin/env python3
"""platine-cli.exe under Wine, against a COM port that leads to a pseudo-terminal held here.

    cli_e2e.py WINDOWS_CLI LINES_FOLDER LINUX_CLI

Wine's registry maps COM7 to LINES_FOLDER/COM7, which this test points at its own
pseudo-terminal. "ports" lists COM7 (Wine publishes its mapped ports as Windows does its own). Checked byte for
byte at the pseudo-terminal:
  - "heure --date 2007-11-23 14:37:52" sends the clock frame 41 14 37 52 23 11 07 06;
  - "programmer FILE" sends the same 125 bytes as the Linux build sends for that file, and keeps
    the program in param.ini with CRLF line ends, a second upload replacing the file whole.
Exits non-zero, saying what differs, on any failure.
"""

import os
import select
import subprocess
import sys
import tempfile
import termios
import threading
import tty

CLOCK_DATE = "2007-11-23 14:37:52"
CLOCK_FRAME = bytes.fromhex("4114375223110706")
DATE_SLOTS = set(range(18, 24)) | set(range(30, 36))  # relays 3 and 4
MONTH_YEAR_SLOTS = {42, 49}  # relays 5 and 6

failures = []


def check(condition, what):
    print(("ok    " if condition else "ECHEC ") + what)
    if not condition:
        failures.append(what)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Line:
    """A pseudo-terminal whose master is read here while a program uses its slave."""

    def __init__(self, link=None):
        self.master, slave = os.openpty()
        tty.setraw(self.master, termios.TCSANOW)
        self.path = os.ttyname(slave)
        os.close(slave)
        if link:
            if os.path.lexists(link):
                os.unlink(link)
            os.symlink(self.path, link)
        self.received = bytearray()
        self.stop = threading.Event()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        while not self.stop.is_set():
            ready, _, _ = select.select([self.master], [], [], 0.05)
            if not ready:
                continue
            try:
                self.received += os.read(self.master, 4096)
            except OSError:  # nobody holds the slave (yet, or any more)
                self.stop.wait(0.02)

    def take(self):
        """Everything received so far, once the line has been quiet for a moment."""
        self.stop.wait(0.5)
        data = bytes(self.received)
        self.received.clear()
        return data

    def close(self):
        self.stop.set()
        self.reader.join()
        os.close(self.master)


def write_program(path):
    """A program file whose every field encodes, with values that differ from slot to slot."""
    lines = []
    for i in range(50):
        if i in DATE_SLOTS:
            value = "%02d/%02d/2026" % (i % 28 + 1, i % 12 + 1)
        elif i in MONTH_YEAR_SLOTS:
            value = "%02d/2027" % (i % 12 + 1)
        else:
            value = "%02d:%02d:%02d" % (i % 24, (7 * i) % 60, (11 * i) % 60)
        lines += ["[txt%d]" % i, "valeur=" + value]
    for i, choice in enumerate((9, 8, 2, 10)):
        lines += ["[cmb%d]" % i, "valeur=%d" % (choice - 1)]
    for i, enabled in enumerate((1, 0, 1, 1, 0, 1)):
        lines += ["[chk%d]" % i, "valeur=%d" % enabled]
    with open(path, "wb") as out:
        out.write(("\r\n".join(lines) + "\r\n").encode("ascii"))


def run(command):
    result = subprocess.run(command, capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        print("  " + " ".join(command))
        print("  code %d\n  sortie : %s\n  erreurs : %s"
              % (result.returncode, result.stdout.strip(), result.stderr.strip()[-2000:]))
    return result


def main():
    windows_cli, lines, linux_cli = sys.argv[1], sys.argv[2], sys.argv[3]
    wine = [os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                         "wine-run.sh"), windows_cli]
    work = tempfile.mkdtemp(prefix="platine-e2e-")
    program = os.path.join(work, "programme.txt")
    write_program(program)
    line = Line(os.path.join(lines, "COM7"))
    # platine-cli waits for the board's answer unless told not to (when it has the option).
    helptext = run(wine + ["--help"]).stdout
    no_wait = ["--attente", "0"] if "--attente" in helptext else []

    result = run(wine + ["ports"])
    check(result.returncode == 0 and "COM7" in result.stdout.split(),
          "ports : COM7 dans la liste")

    absent = os.path.join(work, "absent.ini")
    result = run(wine + ["heure", "--date", CLOCK_DATE, "--port", "COM7", "--settings",
                         windows_path(absent)] + no_wait)
    sent = line.take()
    check(result.returncode == 0, "heure : code de sortie 0")
    check(sent == CLOCK_FRAME, "heure : trame %s reçue (attendue %s)"
          % (sent.hex(" "), CLOCK_FRAME.hex(" ")))
    check(not os.path.exists(absent), "heure : --settings absent non créé")

    # The reference: the Linux build, same file, to a pseudo-terminal of its own.
    reference = Line()
    result = run([linux_cli, "programmer", program, "--port", reference.path,
                  "--sans-parametres"])
    expected = reference.take()
    reference.close()
    check(result.returncode == 0 and len(expected) == 125 and expected[:1] == b"B",
          "programmer (Linux) : trame de référence de 125 octets")

    settings = os.path.join(work, "param.ini")
    for attempt in ("création", "remplacement"):
        result = run(wine + ["programmer", windows_path(program), "--port", "COM7",
                             "--settings", windows_path(settings)])
        sent = line.take()
        check(result.returncode == 0, "programmer (%s) : code de sortie 0" % attempt)
        check(sent == expected, "programmer (%s) : les %d octets reçus sont ceux de Linux"
              % (attempt, len(sent)))
        text = open(settings, "rb").read() if os.path.exists(settings) else b""
        check(b"[txt1]\r\nvaleur=01:07:11\r\n" in text and b"[chk5]\r\n" in text
              and text.count(b"\n") == text.count(b"\r\n"),
              "programmer (%s) : param.ini gardé, lignes en CRLF" % attempt)
        leftovers = [name for name in os.listdir(work) if name.startswith(".")]
        # (the temporary file of a replacement starts with a dot)
        check(not leftovers, "programmer (%s) : aucun fichier temporaire laissé" % attempt)
    line.close()

    if failures:
        print("%d vérification(s) en échec." % len(failures))
        return 1
    print("platine-cli.exe : trames exactes sur le port COM7.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
