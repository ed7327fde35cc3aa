"""The real program on Wayland (Qt's own Wayland platform, not XWayland) under a headless compositor,
inside dbus-run-session as a user who is not root (compositors refuse root). Arguments: PROGRAM_FOLDER,
or --session SESSION_FILE PROGRAM_FOLDER: the classroom session's command under no display at all, as a
display manager runs it, cage starting the folder's program as a kiosk shown to the screen reader.

Headless sway, windows floating, takes keys from wtype. The exercise starts full screen, F11 gives the
centred window of three quarters and full screen again, and the keys answer one puzzle. The screenshot's
share of dark pixels is compared with the same steps under Xvfb: a control left black (not repainted)
changes it by far more than the pictures of two puzzles do."""

import configparser
import json
import os
import shlex
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_program as e2e  # noqa: E402

WIDTH, HEIGHT = 1280, 1024
HEADLESS = {"WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman", "WLR_LIBINPUT_NO_DEVICES": "1"}


def dark_share(png):
    """The share of the picture's pixels darker than 3 % grey."""
    return float(e2e.output("convert", png, "-colorspace", "gray", "-threshold", "3%", "-negate",
                            "-format", "%[fx:mean]", "info:"))


def sway_windows(node):
    if node.get("app_id") is not None:
        yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from sway_windows(child)


def exercise(executable, environment, english, work, platform):
    """The program started on the exercise on `platform`; its process id."""
    pid = e2e.start_program(executable, environment, work, "--exercise=3", "--no-speech").pid
    e2e.wait_find(pid, e2e.pyatspi.ROLE_FRAME, english["FormMenu"]["Command2.Caption"], f"the exercise on {platform}")
    return pid


def answer_rightly(pid, english, keys):
    """Keys from the first picture to the one the model's description names, and Space."""
    words = e2e.accessible_words(english)
    pictures, right, _ = e2e.shown_pictures(pid, words, 8, "on the exercise")
    keys("Left", "Left", "Left", "Up", *(["Right"] * (right % 4)), *(["Down"] * (right // 4)), "space")
    e2e.named(pid, e2e.pyatspi.ROLE_NOTIFICATION, words["Right"] + ", ", "the right answer announced")
    time.sleep(0.5)


def on_wayland(executable, base, english, work):
    runtime = base["XDG_RUNTIME_DIR"]
    config = os.path.join(work, "sway.conf")
    with open(config, "w") as out:
        out.write(f"output HEADLESS-1 resolution {WIDTH}x{HEIGHT}\n"
                  "for_window [app_id=\".*\"] floating enable\n"
                  "xwayland disable\n")
    compositor_environment = dict(base, **HEADLESS)
    compositor_environment.pop("DISPLAY", None)
    with open(os.path.join(work, "sway.log"), "w") as log:
        sway = subprocess.Popen(["sway", "-c", config], env=compositor_environment, stdout=log, stderr=log)
    e2e.start_programs.append(sway)
    socket = e2e.wait_for(lambda: next((name for name in os.listdir(runtime)
                                        if name.startswith("wayland-") and not name.endswith(".lock")), None),
                          "the compositor's socket", 20)
    ipc = e2e.wait_for(lambda: next((os.path.join(runtime, name) for name in os.listdir(runtime)
                                     if name.startswith("sway-ipc.")), None), "the compositor's IPC", 20)
    environment = dict(compositor_environment, WAYLAND_DISPLAY=socket, QT_QPA_PLATFORM="wayland")
    pid = exercise(executable, environment, english, work, "Wayland")

    def window(mode, size=None):
        """The program's window once in full-screen `mode` (1 or 0), and of `size` if given."""
        return e2e.wait_for(lambda: next(
            w for w in sway_windows(json.loads(e2e.output("swaymsg", "-s", ipc, "-t", "get_tree")))
            if w["fullscreen_mode"] == mode and size in (None, (w["rect"]["width"], w["rect"]["height"]))),
            f"the window in full-screen mode {mode}", 30)

    def keys(*names):
        # A new virtual keyboard's map reaches the program before its first key.
        pressed = [argument for name in names for argument in ("-k", name, "-s", "100")]
        subprocess.run(["wtype", "-s", "300", *pressed], env=environment, check=True)

    app_id = window(1, (WIDTH, HEIGHT))["app_id"]
    e2e.check(app_id == "org.metamorfine.Metamorfine",
              f"Wayland: the exercise starts full screen, its app id its desktop file's name ({app_id!r})")
    keys("F11")
    rect = window(0)["rect"]
    # The compositor draws a title bar above the window: the window is the rest of three quarters.
    e2e.check(rect["width"] == WIDTH * 3 // 4 and rect["x"] == WIDTH // 8 and
              HEIGHT * 3 // 4 - 40 <= rect["height"] <= HEIGHT * 3 // 4 and
              abs(rect["y"] + rect["height"] / 2 - HEIGHT / 2) <= 20,
              f"Wayland: F11 gives the centred window of three quarters of the display ({rect})")
    keys("F11")
    window(1, (WIDTH, HEIGHT))  # F11 again: the full screen
    answer_rightly(pid, english, keys)
    shot = os.path.join(work, "wayland.png")
    subprocess.run(["grim", shot], env=environment, check=True)
    return shot


def on_x(executable, base, english, work):
    display = e2e.start_xvfb(work, f"{WIDTH}x{HEIGHT}")
    environment = dict(base, DISPLAY=display, QT_QPA_PLATFORM="xcb")
    pid = exercise(executable, environment, english, work, "X")

    def keys(*names):
        subprocess.run(["xdotool", "key", "--delay", "150", *names], check=True, env=environment)
    keys("F11", "F11")
    answer_rightly(pid, english, keys)
    shot = os.path.join(work, "x.png")
    subprocess.run(["import", "-display", display, "-window", "root", shot], check=True)
    return shot


def classroom_session(session_file, folder, base, english, work):
    parser = configparser.RawConfigParser(interpolation=None)
    parser.read(session_file, encoding="utf-8")
    command = shlex.split(parser["Desktop Entry"]["Exec"])
    environment = dict(base, PATH=folder + ":/usr/bin:/bin", **HEADLESS)
    environment.pop("DISPLAY", None)
    session = e2e.start_program(command[0], environment, work, *command[1:])
    pid = e2e.wait_for(lambda: int(subprocess.run(["pgrep", "-P", str(session.pid), "-x", "metamorfine"],
                                                  capture_output=True, text=True).stdout.split()[0]),
                       "the session's compositor to start the program", 20)
    arguments = open(f"/proc/{pid}/cmdline", "rb").read().split(b"\0")
    e2e.check(arguments[0] == b"metamorfine" and b"--kiosk" in arguments, f"the session starts a kiosk ({arguments})")
    e2e.wait_find(pid, e2e.BUTTON, english["FormAvvio"]["BottoneAvvio.Caption"], "the session's start screen")
    e2e.check("libqwayland" in open(f"/proc/{pid}/maps").read(), "the program draws through Qt's Wayland platform")


def main(work):
    *session, source = sys.argv[2:] if sys.argv[1] == "--session" else sys.argv[1:]
    folder = e2e.copy_program(source, work)
    english = e2e.read_language(os.path.join(folder, "English.lng"))
    base = e2e.program_environment(work)
    e2e.start_accessibility_bus(base["XDG_RUNTIME_DIR"])
    executable = os.path.join(folder, "metamorfine")
    if session:
        return classroom_session(session[0], folder, base, english, work)
    wayland = on_wayland(executable, base, english, work)
    e2e.stop(*e2e.start_programs)
    e2e.start_programs.clear()
    x = on_x(executable, base, english, work)
    dark = {name: dark_share(shot) for name, shot in (("Wayland", wayland), ("X", x))}
    if os.environ.get("E2E_SCREENSHOTS"):
        for shot in (wayland, x):
            shutil.copy(shot, os.environ["E2E_SCREENSHOTS"])
    e2e.check(abs(dark["Wayland"] - dark["X"]) < 0.015,
              f"the Wayland screen is drawn as the X one: dark pixels {dark['Wayland']:.3f} against {dark['X']:.3f}")


if __name__ == "__main__":
    e2e.run_test(main, "metamorfine-wayland-")
