#!/usr/bin/python3
# rfbpointer.py PORT "x y mask" ... : sends pointer events to an RFB (VNC) server and leaves.
# mask bit 0 holds the left button; "sleep S" pauses. wayvnc turns the events into the input of
# a virtual pointer, the only pointer a headless Wayland seat has.
import socket
import struct
import sys
import time


def read(s, n):
    data = b""
    while len(data) < n:
        chunk = s.recv(n - len(data))
        if not chunk:
            sys.exit("the server closed the connection")
        data += chunk
    return data


s = socket.create_connection(("127.0.0.1", int(sys.argv[1])))
read(s, 12)
s.sendall(b"RFB 003.008\n")
types = read(s, read(s, 1)[0])
if 1 not in types:
    sys.exit("no 'None' security offered: %r" % types)
s.sendall(b"\x01")
if struct.unpack(">I", read(s, 4))[0] != 0:
    sys.exit("security failed")
s.sendall(b"\x01")  # ClientInit, shared
header = read(s, 24)
read(s, struct.unpack(">I", header[20:24])[0])
for event in sys.argv[2:]:
    if event.startswith("sleep"):
        time.sleep(float(event.split()[1]))
        continue
    x, y, mask = map(int, event.split())
    s.sendall(struct.pack(">BBHH", 5, mask, x, y))
    time.sleep(0.15)
time.sleep(0.3)
s.close()
