"""Wake-ups and CPU time of the program left alone, screen by screen: the
start screen, the menu and an exercise, each measured over 10 s once the
screen has settled (2 s), from /proc/PID/task/*/status (context switches of
every thread) and /proc/PID/stat (CPU time). A private speech-dispatcher is
reachable; the audio server is whatever the environment names. Prints one line
per screen and the threads that woke.
Usage: idle_wakeups.py <program> [seconds] (DISPLAY set, no window manager needed)."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

program = sys.argv[1]
seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
work = tempfile.mkdtemp(prefix="idle-wakeups-")
sock = os.path.join(work, "speechd.sock")


def switches(pid):
    """Context switches per thread (name and id), voluntary and not."""
    counts = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/comm") as f:
                name = f.read().strip()
            with open(f"/proc/{pid}/task/{tid}/status") as f:
                total = sum(int(line.split()[1]) for line in f if "ctxt_switches" in line)
        except OSError:
            continue
        counts[f"{name}/{tid}"] = total
    return counts


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def measure(pid, screen):
    time.sleep(2)
    before, ticks = switches(pid), cpu_ticks(pid)
    time.sleep(seconds)
    after = switches(pid)
    cpu_ms = (cpu_ticks(pid) - ticks) * 1000 / os.sysconf("SC_CLK_TCK")
    woke = {name: count - before.get(name, 0) for name, count in after.items() if count != before.get(name, 0)}
    print(f"{screen}: {sum(woke.values())} wake-ups in {seconds:.0f} s, {cpu_ms:.0f} ms CPU"
          + (f"  ({', '.join(f'{n}: {c}' for n, c in sorted(woke.items()))})" if woke else ""), flush=True)


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)


speechd = subprocess.Popen(["speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket", "-S", sock, "-L", work,
                            "-P", os.path.join(work, "pid")], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
while not os.path.exists(sock):
    time.sleep(0.05)
env = dict(os.environ, SPEECHD_ADDRESS=f"unix_socket:{sock}", QT_QPA_PLATFORM="xcb")
proc = subprocess.Popen([program, "--windowed"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(proc.pid), "--name", "Metamorfine"],
                   check=True, stdout=subprocess.DEVNULL)
    measure(proc.pid, "start screen")
    key("Return")  # Avvio: the menu
    measure(proc.pid, "menu")
    key("Return")  # the focused exercise button
    measure(proc.pid, "exercise")
    key("space")  # the focused picture: an answer and its sound
    measure(proc.pid, "after an answer")
    print("threads: " + " ".join(sorted(switches(proc.pid))), flush=True)
finally:
    proc.kill()
    proc.wait()
    speechd.kill()
    speechd.wait()
    shutil.rmtree(work, ignore_errors=True)
