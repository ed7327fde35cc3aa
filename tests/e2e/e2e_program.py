"""Drives the real program in a real X display.

    e2e_program.py PROGRAM_FOLDER               a copy of the built program folder
    e2e_program.py --wm PROGRAM_FOLDER          the same copy under openbox: full
                                                screen, F11 and the window titles
    e2e_program.py --installed EXECUTABLE       an installed program, as a user:
                                                settings in ~/.config, the
                                                installed files untouched
    e2e_program.py --first-run EXECUTABLE LANG  a user's first start is in the
                                                language LANG ($LANG decides)

The program runs under Xvfb (no window manager unless --wm), is driven with
real input events (xdotool) and read through its accessibility tree (AT-SPI).
Run it inside dbus-run-session with the Debian python3 that has pyatspi.
$E2E_SCREENSHOTS names a folder for screenshots of the --wm run.
"""

import configparser
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi

TIMEOUT = 20


class Failure(Exception):
    pass


def wait_for(condition, what, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = condition()
        except Exception:  # objects of a window that just closed
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out waiting for {what}")
        time.sleep(0.05)


def passed(what):
    print(f"ok: {what}", flush=True)


def check(condition, what):
    if not condition:
        raise Failure(what)
    passed(what)


# --- the language files -------------------------------------------------------

def read_language(path):
    """Section -> key -> text of a language file (8-bit text, quoted values)."""
    parser = configparser.RawConfigParser(strict=False, interpolation=None)
    parser.optionxform = str
    with open(path, encoding="cp1252") as file:
        parser.read_file(file)
    return {section: {key: value.strip()[1:-1] for key, value in parser.items(section)}
            for section in parser.sections()}


# --- the accessibility tree ---------------------------------------------------

def walk(accessible):
    yield accessible
    for index in range(accessible.childCount):
        child = accessible.getChildAtIndex(index)
        if child is not None:
            yield from walk(child)


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def find_all(pid, role, name=None):
    app = application(pid)
    if app is None:
        return []
    return [a for a in walk(app)
            if (role is None or a.getRole() == role) and (name is None or a.name == name)
            and showing(a)]


def find(pid, role, name=None):
    found = find_all(pid, role, name)
    return found[0] if found else None


def screen(pid, name):
    return find(pid, pyatspi.ROLE_FRAME, name)


def texts(pid, role=pyatspi.ROLE_LABEL):
    return [a.name for a in find_all(pid, role)]


def extents(accessible):
    box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


# --- real input ----------------------------------------------------------------

def click_at(x, y):
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], check=True)


def click(accessible):
    x, y, width, height = extents(accessible)
    click_at(x + width // 2, y + height // 2)


def click_named(pid, role, name):
    click(wait_for(lambda: find(pid, role, name), f"{name!r} on the screen"))


def window_titles(pid):
    """The titles of the visible X windows of a process."""
    found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid),
                            "--name", ""], capture_output=True, text=True).stdout.split()
    return [subprocess.run(["xdotool", "getwindowname", window], capture_output=True,
                           text=True).stdout.strip() for window in found]


# --- message boxes ---------------------------------------------------------------

def message_box(pid, message):
    """The open message box that shows `message`."""
    def box():
        for role in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG):
            for dialog in find_all(pid, role):
                if message in [a.name for a in walk(dialog) if a.getRole() == pyatspi.ROLE_LABEL]:
                    return dialog
        return None
    return wait_for(box, f"a message box saying {message!r}")


def answer(dialog, button):
    for accessible in walk(dialog):
        if accessible.getRole() == pyatspi.ROLE_PUSH_BUTTON and accessible.name == button:
            click(accessible)
            return
    raise Failure(f"no button {button!r} in the message box")


# --- the program ----------------------------------------------------------------

class Program:
    def __init__(self, executable, environment):
        self.process = subprocess.Popen([executable], env=environment,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.pid = self.process.pid

    def running(self):
        return self.process.poll() is None

    def wait_end(self, what):
        wait_for(lambda: not self.running(), what)

    def stop(self):
        if self.running():
            self.process.kill()
            self.process.wait()


def start_xvfb(work):
    display_file = os.path.join(work, "display")
    with open(display_file, "w") as out:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(out.fileno()), "-screen", "0",
                                 "1280x1024x24", "-nolisten", "tcp"],
                                pass_fds=[out.fileno()], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
    number = wait_for(lambda: open(display_file).read().strip(), "Xvfb to start", 10)
    return xvfb, f":{number}"


def snapshot(paths):
    """Every file under `paths` with its size and modification time."""
    found = {}
    for top in paths:
        for root, _, files in os.walk(top):
            for name in files:
                status = os.lstat(os.path.join(root, name))
                found[os.path.join(root, name)] = (status.st_size, status.st_mtime_ns)
    return found


def main():
    mode, target, *rest = sys.argv[1:] if sys.argv[1].startswith("--") else ["--copy"] + sys.argv[1:]
    work = tempfile.mkdtemp(prefix="metamorfine-e2e-")
    runtime = os.path.join(work, "runtime")
    os.mkdir(runtime, 0o700)
    if mode in ("--copy", "--wm"):
        folder = os.path.join(work, "program")
        shutil.copytree(target, folder, ignore=shutil.ignore_patterns("LangSetting.ini"))
        executable = os.path.join(folder, "metamorfine")
        settings_file = os.path.join(folder, "LangSetting.ini")
    else:
        executable = target
        folder = os.path.join(os.path.dirname(target), "..", "share", "metamorfine")
        config = os.environ.get("XDG_CONFIG_HOME") or os.path.expanduser("~/.config")
        settings_file = os.path.join(config, "metamorfine", "LangSetting.ini")
        os.makedirs(os.path.dirname(settings_file), exist_ok=True)
    english = read_language(os.path.join(folder, "English.lng"))
    deutsch = read_language(os.path.join(folder, "Deutsch.lng"))
    if mode != "--first-run":
        with open(settings_file, "w", newline="\r\n") as settings:
            settings.write("[Language]\nCurrentLanguage=English\n")
    installed = snapshot([folder, executable]) if mode == "--installed" else None

    xvfb, display = start_xvfb(work)
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    language = {} if mode == "--first-run" else {"LC_ALL": "C", "LANG": "C"}
    environment = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                       XDG_RUNTIME_DIR=runtime, **language,
                       # No speech-dispatcher is started for the program, none
                       # outlives the test: the program speaks to nobody.
                       SPEECHD_ADDRESS=f"unix_socket:{runtime}/no-speech.sock")
    os.environ["DISPLAY"] = display
    programs = []
    try:
        if mode == "--first-run":
            expected = read_language(os.path.join(folder, rest[0] + ".lng"))
            first_run(executable, environment, expected, programs)
        elif mode == "--wm":
            run_wm(executable, environment, english, programs)
        else:
            run(executable, settings_file, environment, english, deutsch, programs)
        if installed is not None:
            check(snapshot([folder, executable]) == installed, "the installed files are untouched")
    finally:
        for program in programs:
            program.stop()
        bus.terminate()
        xvfb.terminate()
        shutil.rmtree(work, ignore_errors=True)


def first_run(executable, environment, expected, programs):
    program = Program(executable, environment)
    programs.append(program)
    wait_for(lambda: find(program.pid, pyatspi.ROLE_PUSH_BUTTON,
                          expected["FormAvvio"]["BottoneAvvio.Caption"]),
             "the start screen in the system's language")
    passed("a first start speaks the system's language")


def x_window(pid):
    return wait_for(lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                                           capture_output=True, text=True).stdout.split()[-1],
                    "a visible window")


def x_property(window, name):
    return subprocess.run(["xprop", "-id", window, name], capture_output=True, text=True).stdout


def x_geometry(window):
    """The window's client area: x, y, width, height on the display."""
    info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True).stdout
    values = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
    return tuple(int(values[key]) for key in ("Absolute upper-left X", "Absolute upper-left Y",
                                              "Width", "Height"))


def screenshot(name):
    folder = os.environ.get("E2E_SCREENSHOTS")
    if folder:
        subprocess.run(["import", "-window", "root", os.path.join(folder, name)], check=True)


def run_wm(executable, environment, english, programs):
    openbox = subprocess.Popen(["openbox"], env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        wait_for(lambda: "window id" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True, text=True).stdout,
            "openbox to manage the display")
        program = Program(executable, environment)
        programs.append(program)
        avvio = english["FormAvvio"]["BottoneAvvio.Caption"]
        wait_for(lambda: find(program.pid, pyatspi.ROLE_PUSH_BUTTON, avvio), "the start screen")
        window = x_window(program.pid)
        wait_for(lambda: "_NET_WM_STATE_FULLSCREEN" in x_property(window, "_NET_WM_STATE"),
                 "the full-screen state")
        check(wait_for(lambda: x_geometry(window) == (0, 0, 1280, 1024), "the whole display", 5),
              "the start screen is full screen, nothing off-screen")
        check(window_titles(program.pid) == ["Metamorfine"], "the window is titled Metamorfine")
        screenshot("start-full-screen.png")
        before = extents(find(program.pid, pyatspi.ROLE_PUSH_BUTTON, avvio))

        subprocess.run(["xdotool", "key", "--window", window, "F11"], check=True)
        wait_for(lambda: "_NET_WM_STATE_FULLSCREEN" not in x_property(window, "_NET_WM_STATE"),
                 "F11 to leave full screen")
        frame = wait_for(lambda: [int(v) for v in x_property(window, "_NET_FRAME_EXTENTS")
                                  .split("=")[-1].split(",") if v.strip()], "a frame")
        check(frame[2] > 0, "F11 gives a decorated window")
        _, _, width, height = wait_for(lambda: (lambda g: g if g[2] < 1280 else None)(x_geometry(window)),
                                       "a smaller window")
        after = wait_for(lambda: (lambda e: e if e[2] < before[2] else None)(
            extents(find(program.pid, pyatspi.ROLE_PUSH_BUTTON, avvio))), "the button to follow")
        check(abs(after[2] / before[2] - width / 1280) < 0.05
              and abs(after[3] / before[3] - height / 1024) < 0.05,
              f"the controls follow the window's size ({width}x{height})")

        click_named(program.pid, pyatspi.ROLE_PUSH_BUTTON, avvio)
        command = english["FormMenu"]["Command7.Caption"]
        click_named(program.pid, pyatspi.ROLE_PUSH_BUTTON, command)
        title = "Metamorfine \u2014 " + command.strip()
        wait_for(lambda: title in window_titles(program.pid), f"the title {title!r}")
        check("_NET_WM_STATE_FULLSCREEN" not in x_property(x_window(program.pid), "_NET_WM_STATE"),
              "the exercise keeps the window, titled with the exercise's name")
        time.sleep(0.5)
        screenshot("exercise-window.png")
    finally:
        openbox.terminate()


def run(executable, settings_file, environment, english, deutsch, programs):
    def start():
        program = Program(executable, environment)
        programs.append(program)
        return program

    avvio = english["FormAvvio"]["BottoneAvvio.Caption"]
    menu = english["FormMenu"]
    strings = english["Strings"]

    first = start()
    click_target = wait_for(lambda: find(first.pid, pyatspi.ROLE_PUSH_BUTTON, avvio),
                            "the start screen")
    check(english["FormAvvio"]["Label2(1).Caption"] in texts(first.pid),
          "the start screen is in the remembered language")

    second = start()
    refusal = message_box(second.pid, strings["0001"])
    check(any(title.startswith(strings["0002"]) for title in window_titles(second.pid)),
          "a second copy is refused with the message and the title of the language")
    answer(refusal, "OK")
    second.wait_end("the refused copy to end")
    check(first.running() and find(first.pid, pyatspi.ROLE_PUSH_BUTTON, avvio) is not None,
          "the first copy still runs its start screen")

    click(click_target)
    menu_name = english["Accessibility"]["Menu"]
    wait_for(lambda: screen(first.pid, menu_name), "the main menu")
    wait_for(lambda: screen(first.pid, "Metamorfine") is None, "the start screen to close")
    passed("Avvio leads to the main menu")

    exercises = [("Command7", "0013"), ("Command1", "0011"), ("Command2", "0004"), ("Command3", "0010"),
                 ("Command4", "0009"), ("Command5", "0020"), ("Command6", "0012")]
    esci = english["FormEs1"]["mnuEsci.Caption"]
    for button, question in exercises:
        form = menu[button + ".Caption"]
        click_named(first.pid, pyatspi.ROLE_PUSH_BUTTON, form)
        wait_for(lambda: screen(first.pid, form), f"{form} to open")
        wait_for(lambda: screen(first.pid, menu_name) is None, "the menu to close")
        click_named(first.pid, pyatspi.ROLE_MENU_ITEM, esci)
        answer(message_box(first.pid, strings[question]), "Yes")
        wait_for(lambda: screen(first.pid, menu_name), "the menu to come back")
        check(screen(first.pid, form) is None, f"{button} opens {form}, left with Yes")

    play_no_change_by_keys(first.pid, english)
    passed("one exercise played from the keyboard alone: a wrong and a right answer, then Next")

    click_named(first.pid, pyatspi.ROLE_MENU_ITEM, esci)
    answer(message_box(first.pid, strings["0004"]), "Yes")
    wait_for(lambda: find(first.pid, pyatspi.ROLE_PUSH_BUTTON, menu["Command7.Caption"]),
             "the menu after the exercise")

    click_named(first.pid, pyatspi.ROLE_MENU_ITEM, menu["mnuLanguages.Caption"])
    click_named(first.pid, pyatspi.ROLE_MENU_ITEM, "Deutsch")
    wait_for(lambda: find(first.pid, pyatspi.ROLE_PUSH_BUTTON,
                          deutsch["FormMenu"]["Command7.Caption"]), "the menu in German")
    passed("a language chosen in the menu translates the menu at once")

    click_named(first.pid, pyatspi.ROLE_PUSH_BUTTON, deutsch["FormMenu"]["BottoneEsci.Caption"])
    answer(message_box(first.pid, deutsch["Strings"]["0003"]), "Ja")  # the buttons speak the chosen language
    first.wait_end("the program to end")
    passed("Yes to the exit question ends the program")
    with open(settings_file, encoding="cp1252") as settings:
        check("CurrentLanguage=Deutsch" in settings.read(), "the choice is in the settings file")

    third = start()
    wait_for(lambda: find(third.pid, pyatspi.ROLE_PUSH_BUTTON,
                          deutsch["FormAvvio"]["BottoneAvvio.Caption"]),
             "the start screen in German")
    passed("the language chosen in one run is there at the start of the next")
    third.process.send_signal(signal.SIGKILL)
    third.process.wait()

    fourth = start()
    wait_for(lambda: find(fourth.pid, pyatspi.ROLE_PUSH_BUTTON,
                          deutsch["FormAvvio"]["BottoneAvvio.Caption"]),
             "a start after a killed copy")
    passed("the guard of a killed copy does not block the next start")


def play_no_change_by_keys(pid, english):
    """Plays "Nothing changes" with keys only: the focus starts on the first
    picture; a wrong answer, arrows to the picture that the model's
    description names, the right answer, its announcement, then Next."""
    words = english["Accessibility"]
    click_named(pid, pyatspi.ROLE_PUSH_BUTTON, english["FormMenu"]["Command2.Caption"])
    wait_for(lambda: screen(pid, english["FormMenu"]["Command2.Caption"]), "the exercise screen")

    def keys(*names):
        subprocess.run(["xdotool", "key", "--delay", "150", *names], check=True)

    def announced(expected):
        return wait_for(lambda: next((a.name for a in find_all(pid, pyatspi.ROLE_NOTIFICATION)
                                      if a.name.startswith(expected)), None), f"{expected!r} announced")

    model = wait_for(lambda: next((a.name for a in find_all(pid, pyatspi.ROLE_IMAGE)
                                   if a.name.startswith(words["Model"] + ": ")), None), "the model's description")
    description = model.split(": ", 1)[1]
    pictures = sorted(find_all(pid, pyatspi.ROLE_PUSH_BUTTON), key=lambda a: a.name)
    names = [a.name for a in pictures if a.name.startswith("picture ")]
    check(len(names) == 8 and all(" of 8: " in name for name in names), "the eight pictures are described")
    right = next(i for i, name in enumerate(names) if name.endswith(": " + description))
    wrong = 1 if right == 0 else 0
    keys(*(["Right"] if wrong else []), "Return")
    print("announced:", announced(words["Wrong"] + ", "))
    keys(*(["Left"] * 3), "Up", *(["Right"] * (right % 4)), *(["Down"] * (right // 4)), "space")
    print("announced:", announced(words["Right"] + ", " + english["FormEs3"]["Label1.Caption"] + ": 1"))
    found = words["Found"] + ": "
    check(find(pid, pyatspi.ROLE_IMAGE, found + description) is not None, "the found picture is described")
    keys("Return")
    wait_for(lambda: find(pid, pyatspi.ROLE_IMAGE, found + words["Empty"]), "a new puzzle after Next")


if __name__ == "__main__":
    try:
        main()
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        sys.exit(1)
