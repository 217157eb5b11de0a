"""The program through the accessibility bus, as a screen reader meets it.

Run inside its own D-Bus session (dbus-run-session) and X server; started by atspi-e2e.sh.
usage: atspi-e2e.py PROGRAM (HUEWRIGHT_FACTS names the build's facts file, for the caption)
"""
import os
import shlex
import signal
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# get_action_name is the only way Debian 12's Atspi names an action; it calls it deprecated.
warnings.filterwarnings("ignore", category=DeprecationWarning)

STEP_TIMEOUT = 20
with open(os.environ["HUEWRIGHT_FACTS"], encoding="utf-8") as facts:
    TITLE = next(shlex.split(line)[0].split("=", 1)[1] for line in facts
                 if line.startswith("HUEWRIGHT_NAME="))
EXPECTED = "[b][color=#800000]H[/color][color=#01007F]i[/color][/b]"


class Failure(Exception):
    pass


def log(message):
    print(f"atspi-e2e: {message}", flush=True)


def pump():
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def wait_for(what, probe):
    """Polls probe() until it returns something true; fails after STEP_TIMEOUT seconds."""
    deadline = time.monotonic() + STEP_TIMEOUT
    while True:
        pump()
        try:
            value = probe()
        except GLib.Error:
            value = None  # the object may be on its way
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"{what} did not happen within {STEP_TIMEOUT}s")
        time.sleep(0.1)


def children(accessible):
    for i in range(accessible.get_child_count()):
        child = accessible.get_child_at_index(i)
        if child is not None:
            yield child


def find_application():
    desktop = Atspi.get_desktop(0)
    for app in children(desktop):
        for window in children(app):
            if window.get_name() == TITLE:
                return app, window
    return None


def control(window, name, role):
    for child in children(window):
        if child.get_name() == name and child.get_role() == role:
            return child
    raise Failure(f"no {role.value_nick} named {name!r} in the window")


def do_action(accessible, wanted):
    names = [accessible.get_action_name(i) for i in range(accessible.get_n_actions())]
    for i, name in enumerate(names):
        if name.lower() == wanted:
            if not accessible.do_action(i):
                raise Failure(f"{accessible.get_name()!r} refused {name}")
            return
    raise Failure(f"{accessible.get_name()!r} has no action {wanted!r}, only {names}")


def relation_targets(accessible, relation):
    found = []
    for rel in accessible.get_relation_set():
        if rel.get_relation_type() == relation:
            found += [rel.get_target(i).get_name() for i in range(rel.get_n_targets())]
    return found


def whole_text(accessible):
    return Atspi.Text.get_text(accessible, 0, Atspi.Text.get_character_count(accessible))


def clipboard():
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True,
                            timeout=5, check=False)
    return result.stdout.decode("utf-8") if result.returncode == 0 else None


def check_equal(what, got, expected):
    if got != expected:
        raise Failure(f"{what}:\n  expected: {expected!r}\n  got:      {got!r}")
    log(f"{what}: ok")


def run(program):
    # Events are only sent to those who listen: the new markup, the caret and the selection.
    announced = []
    carets = []
    selections = []

    def on_event(event):
        if event.source is None or event.source.get_name() != "Generated markup":
            return
        if event.type.startswith("object:text-changed:insert"):
            announced.append(event.any_data)
        elif event.type.startswith("object:text-caret-moved"):
            carets.append(event.detail1)
        elif event.type.startswith("object:text-selection-changed"):
            selections.append(True)

    listener = Atspi.EventListener.new(on_event)
    events = ("object:text-changed:insert", "object:text-caret-moved",
              "object:text-selection-changed")
    for kind in events:
        listener.register(kind)

    app, window = wait_for(f'an application with a window named "{TITLE}"', find_application)
    log(f"found application {app.get_name()!r}")
    check_equal("the window's role", window.get_role(), Atspi.Role.FRAME)

    start = control(window, "Start", Atspi.Role.LABEL)
    shape1 = control(window, "Start colour", Atspi.Role.IMAGE)
    check_equal('what "Start" labels', relation_targets(start, Atspi.RelationType.LABEL_FOR),
                ["Start colour"])
    check_equal("what labels the start swatch",
                relation_targets(shape1, Atspi.RelationType.LABELLED_BY), ["Start"])
    check_equal("the start swatch's actions",
                [Atspi.Action.get_action_name(shape1, i)
                 for i in range(Atspi.Action.get_n_actions(shape1))],
                ["Copy colour", "Paste colour", "Choose colour…"])

    text1 = control(window, "Text to colour", Atspi.Role.TEXT)
    text2 = control(window, "Generated markup", Atspi.Role.TEXT)
    if not Atspi.EditableText.set_text_contents(text1, "Hi"):
        raise Failure("could not set the text to colour")
    wait_for("the typed text arriving", lambda: whole_text(text1) == "Hi")
    for name, value in (("Start red", 255), ("End blue", 255)):
        bar = control(window, name, Atspi.Role.SCROLL_BAR)
        Atspi.Value.set_current_value(bar, value)
        wait_for(f"{name} at {value}", lambda bar=bar: Atspi.Value.get_current_value(bar) == value)
    do_action(control(window, "Bold", Atspi.Role.CHECK_BOX), "toggle")
    bold = control(window, "Bold", Atspi.Role.CHECK_BOX)
    wait_for("Bold ticked", lambda: bold.get_state_set().contains(Atspi.StateType.CHECKED))

    before = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True,
                            timeout=5, check=False).stdout
    do_action(control(window, "Generate", Atspi.Role.PUSH_BUTTON), "press")
    markup = wait_for("Text2 filling", lambda: whole_text(text2))
    check_equal("Text2 read through the text interface", markup, EXPECTED)
    check_equal("Text2's character count", Atspi.Text.get_character_count(text2), len(EXPECTED))
    # Qt 6.4 answers the older by-boundary calls only (not GetStringAtOffset).
    line = Atspi.Text.get_text_at_offset(text2, 5, Atspi.TextBoundaryType.LINE_START)
    check_equal("the line at offset 5", (line.content, line.start_offset, line.end_offset),
                (EXPECTED, 0, len(EXPECTED)))
    char = Atspi.Text.get_text_at_offset(text2, 1, Atspi.TextBoundaryType.CHAR)
    check_equal("the character at offset 1", (char.content, char.start_offset), ("b", 1))
    wait_for("the new markup announced", lambda: EXPECTED in announced)
    log("the new markup was announced (text-changed:insert)")

    # The selection a screen reader sets is the one the box shows and copies.
    Atspi.Text.set_selection(text2, 0, 3, 7)
    check_equal("Text2's selection",
                (Atspi.Text.get_n_selections(text2),
                 Atspi.Text.get_selection(text2, 0).start_offset,
                 Atspi.Text.get_selection(text2, 0).end_offset), (1, 3, 7))
    check_equal("the caret after selecting", Atspi.Text.get_caret_offset(text2), 7)
    wait_for("the selection change announced", lambda: selections)
    # A selection's change carries its caret; a caret moved alone is announced alone.
    if not Atspi.Text.set_caret_offset(text2, 2):
        raise Failure("could not move the caret in Text2")
    wait_for("the caret move announced", lambda: 2 in carets)
    check_equal("the selection after moving the caret", Atspi.Text.get_n_selections(text2), 0)
    log("the caret and the selection were announced")

    do_action(control(window, "To ClipBoard", Atspi.Role.PUSH_BUTTON), "press")
    wait_for("the clipboard changing", lambda: (clipboard() or "").encode("utf-8") != before)
    check_equal("the clipboard after To ClipBoard", clipboard(), EXPECTED)
    check_equal("the clipboard against Text2", clipboard(), whole_text(text2))
    for kind in events:
        listener.deregister(kind)


def descendants(pid):
    """Every process started below pid, deepest last."""
    found = []
    try:
        with open(f"/proc/{pid}/task/{pid}/children", encoding="ascii") as f:
            kids = [int(k) for k in f.read().split()]
    except OSError:
        return found
    for kid in kids:
        found.append(kid)
        found += descendants(kid)
    return found


def stop(process):
    if process is None or process.poll() is not None:
        return
    for pid in reversed(descendants(process.pid)):
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    process.terminate()
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def main():
    program = sys.argv[1]
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    app = None
    try:
        # The accessibility bus is up once the session bus knows its address.
        wait_for("the accessibility bus", lambda: subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
             "org.a11y.Bus.GetAddress"], capture_output=True, timeout=5).returncode == 0)
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        app = subprocess.Popen([program], env=env)
        run(program)
        if app.poll() is not None:
            raise Failure(f"the program ended with status {app.returncode}")
        log("all checks passed")
        return 0
    except Failure as failure:
        print(f"atspi-e2e: FAIL: {failure}", file=sys.stderr, flush=True)
        return 1
    finally:
        stop(app)
        stop(launcher)


if __name__ == "__main__":
    sys.exit(main())
