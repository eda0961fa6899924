#!/usr/bin/env python3
"""Floods a pseudo-terminal with instrument lines far beyond 9600 baud.

Usage: pty-flood.py LINK SECONDS MB_PER_SECOND
Links the terminal's far end as LINK (a com<n> entry of the ports folder), prints "ready", then
offers MB_PER_SECOND for SECONDS without ever blocking: what the terminal has no room for is
dropped, as a serial line drops what nobody reads. Prints the offered and accepted totals.
"""
import errno
import os
import sys
import time
import tty

link, seconds, rate = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]) * 1e6
master, slave = os.openpty()
tty.setraw(slave)
tty.setraw(master)
os.set_blocking(master, False)
if os.path.lexists(link):
    os.unlink(link)
os.symlink(os.ttyname(slave), link)
print("ready", flush=True)

chunk = b"12.5 us      \r\n" * 4370  # about 64 KiB
offered = accepted = 0
start = time.monotonic()
while (elapsed := time.monotonic() - start) < seconds:
    if offered > rate * elapsed:
        time.sleep(0.001)
        continue
    offered += len(chunk)
    try:
        accepted += os.write(master, chunk)
    except OSError as error:
        if error.errno not in (errno.EAGAIN, errno.EIO):
            raise
print(f"offered {offered / 1e6 / seconds:.1f} MB/s, accepted {accepted / 1e6:.1f} MB in all",
      flush=True)
