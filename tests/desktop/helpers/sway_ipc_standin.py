#!/usr/bin/env python3
"""A stand-in for sway's IPC socket with one pointer and one keyboard: answers
GET_INPUTS with the pointer's libinput acceleration and takes
"input type:pointer pointer_accel <value>" as sway does.
   sway_ipc_standin.py <socket path>"""
import json, os, socket, struct, sys

MAGIC = b"i3-ipc"
accel = 0.2

def reply(kind, payload):
    global accel
    if kind == 100:  # GET_INPUTS
        return [{"identifier": "1:1:velko_mouse", "type": "pointer",
                 "libinput": {"accel_speed": accel}},
                {"identifier": "1:2:velko_keyboard", "type": "keyboard", "libinput": {}}]
    words = payload.decode().split()
    if kind == 0 and words[:3] == ["input", "type:pointer", "pointer_accel"] and len(words) == 4:
        accel = float(words[3])
        return [{"success": True}]
    return [{"success": False, "error": "unknown"}]

path = sys.argv[1]
server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
server.bind(path)
server.listen(4)
def receive(client, data, size):
    """`data` read on to `size` bytes; None when the client gave up first."""
    while len(data) < size:
        chunk = client.recv(4096)
        if not chunk:
            return None
        data += chunk
    return data

def serve(client):
    """Answers the client's messages until it closes, as sway does: a client may
    still be writing (swaymsg sends the payload after the header, even an empty
    one) when its answer is ready, and a socket closed under it kills it."""
    data = b""
    while True:
        data = receive(client, data, 14)
        if data is None:
            return
        length, kind = struct.unpack("=II", data[6:14])
        data = receive(client, data, 14 + length)
        if data is None:
            return
        body = json.dumps(reply(kind, data[14:14 + length])).encode()
        client.sendall(MAGIC + struct.pack("=II", len(body), kind) + body)
        data = data[14 + length:]

while True:
    client, _ = server.accept()
    with client:
        try:
            serve(client)
        except OSError:  # a client that stopped waiting (a timeout on a busy machine)
            pass
