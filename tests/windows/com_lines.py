#!/usr/bin/env python3
"""Null-modem cables between COM ports of Wine, for the tests of the Windows build.

    com_lines.py FOLDER PAIRS

Makes PAIRS pairs of pseudo-terminals. Pair i links its port side, FOLDER/COM<11+2i>, to its
board side, FOLDER/COM<12+2i>: symbolic links to the pseudo-terminals, which Wine's registry
maps to COM11, COM12 and so on. What one side writes comes out on the other while both sides
are open; what is written to a side nobody holds is dropped, as on a cable nobody listens to.

When the board side is closed after being used, the port side is hung up (its pseudo-terminal
is closed) as an unplugged adapter would be, and is then made anew under the same name;
FOLDER/COM<11+2i>.hangups counts these. A board side held only for a few milliseconds could go
unseen, and its closing would then hang nothing up: FOLDER/COM<11+2i>.plugs counts the openings
of the board side seen here, and a test waits for its opening to be counted before it goes on.
FOLDER/ready appears once every link is in place. Runs until it is killed.
"""

import os
import select
import sys
import termios
import tty

FIRST_PORT = 11


def open_line():
    """A new pseudo-terminal in raw mode: (master descriptor, slave path)."""
    master, slave = os.openpty()
    tty.setraw(master, termios.TCSANOW)
    os.set_blocking(master, False)
    path = os.ttyname(slave)
    os.close(slave)
    return master, path


def point(link, target):
    """Makes link point at target, replacing it in one step."""
    temporary = link + ".new"
    if os.path.lexists(temporary):
        os.unlink(temporary)
    os.symlink(target, temporary)
    os.replace(temporary, link)


def write_atomically(path, text):
    with open(path + ".new", "w", encoding="ascii") as out:
        out.write(text)
    os.replace(path + ".new", path)


class Pair:
    def __init__(self, folder, index):
        number = FIRST_PORT + 2 * index
        self.port_link = os.path.join(folder, "COM%d" % number)
        self.board_link = os.path.join(folder, "COM%d" % (number + 1))
        self.count_file = self.port_link + ".hangups"
        self.hangups = 0
        self.plug_file = self.port_link + ".plugs"
        self.plugs = 0
        self.port, port_path = open_line()
        self.board, board_path = open_line()
        point(self.port_link, port_path)
        point(self.board_link, board_path)
        write_atomically(self.count_file, "0\n")
        write_atomically(self.plug_file, "0\n")
        # openpty() opened and closed the board side already: that is no unplugging.
        self.board_hangup_handled = True

    def board_plugged(self):
        self.board_hangup_handled = False
        self.plugs += 1
        write_atomically(self.plug_file, "%d\n" % self.plugs)

    def hang_up_port(self):
        """The adapter is unplugged: the port side's line goes away and a new one takes its name."""
        old = self.port
        self.port, path = open_line()
        point(self.port_link, path)
        os.close(old)
        self.hangups += 1
        write_atomically(self.count_file, "%d\n" % self.hangups)


def is_hung_up(fd):
    poller = select.poll()
    poller.register(fd, select.POLLIN)
    return any(events & select.POLLHUP for _, events in poller.poll(0))


def forward(source, target):
    """Copies what source has to target unless nobody holds target's other end."""
    try:
        data = os.read(source, 4096)
    except (BlockingIOError, OSError):
        return
    if data and not is_hung_up(target):
        try:
            os.write(target, data)
        except OSError:
            pass


def main():
    folder, count = sys.argv[1], int(sys.argv[2])
    os.makedirs(folder, exist_ok=True)
    pairs = [Pair(folder, i) for i in range(count)]
    write_atomically(os.path.join(folder, "ready"), "%d\n" % count)
    while True:
        # A hung-up line reports it at every poll: such lines are looked at between waits only.
        poller = select.poll()
        for pair in pairs:
            board_hung = is_hung_up(pair.board)
            if board_hung and not pair.board_hangup_handled:
                pair.board_hangup_handled = True
                pair.hang_up_port()
            elif not board_hung:
                if pair.board_hangup_handled:
                    pair.board_plugged()
                poller.register(pair.board, select.POLLIN)
            if not is_hung_up(pair.port):
                poller.register(pair.port, select.POLLIN)
        ready = dict(poller.poll(10))
        for pair in pairs:
            if ready.get(pair.board, 0) & select.POLLIN:
                forward(pair.board, pair.port)
            if ready.get(pair.port, 0) & select.POLLIN:
                forward(pair.port, pair.board)

if __name__ == "__main__":
    main()
