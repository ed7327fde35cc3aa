"""Time from opening an exercise to the first sentence handed to a private
speech-dispatcher, read from the dispatcher's log (a fresh dispatcher for each
run). Cold: the start button pressed 0.2 s after the start screen shows and
the exercise opened 0.3 s later; warm: the same 3 s after. Three runs each.
Usage: first_sentence.py <program> (DISPLAY set, no window manager needed)."""
import datetime
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

program = sys.argv[1]
work = tempfile.mkdtemp(prefix="first-sentence-")
sock = os.path.join(work, "speechd.sock")
def start_speechd():
    global log
    if os.path.exists(sock):
        os.unlink(sock)
    logs = tempfile.mkdtemp(dir=work)
    log = os.path.join(logs, "speech-dispatcher.log")
    server = subprocess.Popen(["speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket", "-S", sock, "-L", logs,
                               "-P", os.path.join(work, "pid"), "-l", "5"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while not os.path.exists(sock):
        time.sleep(0.05)
    time.sleep(0.5)
    return server
log = None
stamp = re.compile(r"^\[(\w+ \w+ +\d+ [\d:]+ \d+) : (\d+)\] speechd: +\d+:DATA:\|speak", re.I)

def speak_times():
    times = []
    with open(log, errors="replace") as f:
        for line in f:
            m = stamp.match(line)
            if m:
                t = datetime.datetime.strptime(m.group(1), "%a %b %d %H:%M:%S %Y").timestamp() + int(m.group(2)) / 1e6
                times.append(t)
    return times

def key(*names):
    subprocess.run(["xdotool", "key", *names], check=True)

env = dict(os.environ, SPEECHD_ADDRESS=f"unix_socket:{sock}", QT_QPA_PLATFORM="xcb")
for name, wait in (("cold", 0.2), ("warm", 3.0)):
    for attempt in range(3):
        speechd = start_speechd()
        proc = subprocess.Popen([program, "--windowed"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(proc.pid), "--name",
                            "Metamorfine"], check=True, stdout=subprocess.DEVNULL)
            time.sleep(wait)
            key("Return")  # Avvio: the menu
            time.sleep(0.3)
            before = len(speak_times())
            opened = time.time()
            key("Return")  # the focused exercise button
            deadline = time.time() + 10
            while len(speak_times()) <= before and time.time() < deadline:
                time.sleep(0.01)
            times = speak_times()
            print(f"{name} (opened {wait + 0.3:.1f} s after the start screen): "
                  + (f"{times[before] - opened:.3f} s" if len(times) > before else "none"), flush=True)
        finally:
            proc.kill()
            proc.wait()
            speechd.kill()
            speechd.wait()
shutil.rmtree(work, ignore_errors=True)
