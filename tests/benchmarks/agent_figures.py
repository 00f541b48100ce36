#!/usr/bin/env python3
"""The agent program's own figures: time from exec to serving its window socket
(median of N starts), and resident memory after 1,000 events of every control
(simulated mouse, effects recorded to a file, not performed).
   agent_figures.py <VelkoOptions binary> [starts]"""
import atexit, hashlib, os, shutil, socket, statistics, subprocess, sys, tempfile, time

binary = os.path.abspath(sys.argv[1])
starts = int(sys.argv[2]) if len(sys.argv) > 2 else 5
work = tempfile.mkdtemp(prefix="velko-figures-")
atexit.register(shutil.rmtree, work, True)
shutil.copy(binary, os.path.join(work, "VelkoOptions"))
os.makedirs(os.path.join(work, "system"))
with open(os.path.join(work, "system", "mouse.ini"), "w") as f:
    f.write("[SET]\nmouse=QX210\n")
with open(os.path.join(work, "system", "QX210.ini"), "w") as f:
    f.write("[SET]\nMid_key=none-48-midKey\nRight_key=Mouse right click-35-rightKey\n"
            "Side_upkey=none-48-slideUpKey\nSide_downkey=none-48-slideDownKey\n"
            "Mid_wheel=Song Previous/Next-6-midWheel\nSide_wheel=Play/Pause-7-slideWheel\nisConf=Y\n")
tmp = os.environ.get("TMPDIR", "/tmp")
window = os.path.join(tmp, "VelkoOptions-%d" % os.getuid())
where = (os.path.normpath(work) + "|" + os.path.expanduser("~")).encode()
mouse = os.path.join(tmp, "VelkoOptions-mouse-" + hashlib.sha1(where).hexdigest()[:16])
effects = os.path.join(work, "effects.txt")

def connect(path):
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        s.connect(path)
        return s
    except OSError:
        s.close()
        return None

def start():
    t0 = time.perf_counter()
    p = subprocess.Popen([os.path.join(work, "VelkoOptions"), "--simulated-mouse",
                          "--record-effects", effects],
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while True:
        s = connect(window)
        if s and p.poll() is None:
            return p, (time.perf_counter() - t0) * 1000, s
        if s:
            s.close()
        if p.poll() is not None:
            sys.exit("the agent ended at start (is another agent running for this user?)")
        time.sleep(0.0005)

def close(p, s):
    try:
        s.sendall(b"close\n")
        s.recv(64)
    except OSError:
        pass
    s.close()
    try:
        p.wait(10)
    except subprocess.TimeoutExpired:
        p.kill()
        p.wait()

def rss(pid):
    for line in open("/proc/%d/status" % pid):
        if line.startswith("VmRSS"):
            return int(line.split()[1])

times = []
for _ in range(starts):
    p, ms, s = start()
    times.append(ms)
    time.sleep(0.3)
    close(p, s)
print("start to serving: median %.1f ms (of %d: %s)" % (
    statistics.median(times), starts, " ".join("%.0f" % t for t in times)))

p, ms, s = start()
time.sleep(0.5)
idle = rss(p.pid)
while not os.path.exists(mouse):
    time.sleep(0.01)
controls = ["middle-key", "right-key", "side-up-key", "side-down-key", "wheel-up",
            "wheel-down", "side-wheel-left", "side-wheel-right"]
m = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
m.connect(mouse)
f = m.makefile("rwb")
for i in range(1000):
    for c in controls:
        f.write(("press %s\n" % c).encode())
        f.flush()
        if f.readline().strip() != b"ok":
            sys.exit("press refused")
m.close()
# The presses are queued in the agent; wait until the effects file stops growing.
deadline = time.time() + 60
last = -1
while time.time() < deadline:
    n = sum(1 for _ in open(effects)) if os.path.exists(effects) else 0
    if n == last:
        break
    last = n
    time.sleep(0.5)
after = rss(p.pid)
print("agent resident memory: idle %.1f MB, after 1,000 events of each of 8 controls %.1f MB "
      "(%d effect lines)" % (idle / 1024, after / 1024, last))
close(p, s)
