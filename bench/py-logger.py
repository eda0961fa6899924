#!/usr/bin/python3
"""The plain logger a user might write instead of kt7-logger: the yardstick of side-by-side.sh.

Usage: py-logger.py PORT [PORT ...] CSV   (up to 8 ports, device n is the n-th port)
Opens every port at 9600 8N1, waits on all of them in one select loop, cuts lines at LF (a CR
before it is dropped) and writes one CSV row per reading: sample number, time, device, value
text. Each row is flushed, so a crash loses at most the line being read. SIGTERM or SIGINT
closes the file and exits 0. Needs Debian's python3-serial.
"""
import csv
import datetime
import select
import signal
import sys

import serial


def stop(_signal, _frame):
    sys.exit(0)


def main():
    if not 3 <= len(sys.argv) <= 10:
        sys.exit(__doc__)
    paths, csv_path = sys.argv[1:-1], sys.argv[-1]
    ports = [serial.Serial(path, 9600, serial.EIGHTBITS, serial.PARITY_NONE, serial.STOPBITS_ONE,
                           timeout=0) for path in paths]
    device = {port: n for n, port in enumerate(ports, 1)}
    pending = {port: b"" for port in ports}
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    sample = 0
    with open(csv_path, "w", newline="", encoding="utf-8") as out:
        writer = csv.writer(out)
        writer.writerow(["sample", "time", "device", "value"])
        out.flush()
        while ports:
            readable, _, _ = select.select(ports, [], [])
            for port in readable:
                try:
                    data = port.read(port.in_waiting or 1)
                except serial.SerialException as error:  # unplugged: go on with the others
                    print(f"device {device[port]}: {error}", file=sys.stderr)
                    ports.remove(port)
                    continue
                *lines, pending[port] = (pending[port] + data).split(b"\n")
                for line in lines:
                    fields = line.rstrip(b"\r").split()
                    if not fields:
                        continue
                    sample += 1
                    now = datetime.datetime.now().isoformat(" ", "milliseconds")
                    writer.writerow([sample, now, device[port], fields[0].decode("latin-1")])
                    out.flush()


if __name__ == "__main__":
    main()
