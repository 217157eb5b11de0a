"""Prints where the window's controls are, as the running program itself reports them through
the accessibility bus: for each NAME, one line "X Y", the centre of the control of that
accessible name, in the window's own coordinates. With --boxes, "X Y WIDTH HEIGHT" of each
control instead; the NAME TITLE stands for the whole window.

usage: places.py [--boxes] TITLE NAME...
  Run inside the program's D-Bus session, with its AT-SPI bus up; waits up to 20 s for the
  window named TITLE to list every control, laid out.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

STEP_TIMEOUT = 20


def children(accessible):
    for i in range(accessible.get_child_count()):
        child = accessible.get_child_at_index(i)
        if child is not None:
            yield child


def boxes(title, names):
    """The named controls' boxes, or None while the window is not there or not laid out."""
    for app in children(Atspi.get_desktop(0)):
        for window in children(app):
            if window.get_name() != title:
                continue
            controls = {child.get_name(): child for child in children(window)}
            controls[title] = window
            found = []
            for name in names:
                if name not in controls:
                    return None
                box = controls[name].get_extents(Atspi.CoordType.WINDOW)
                if box.width <= 0 or box.height <= 0:
                    return None
                found.append((box.x, box.y, box.width, box.height))
            return found
    return None


def main():
    whole = sys.argv[1] == "--boxes"
    title, names = sys.argv[1 + whole], sys.argv[2 + whole:]
    deadline = time.monotonic() + STEP_TIMEOUT
    while True:
        try:
            found = boxes(title, names)
        except GLib.Error:
            found = None  # the window may be on its way
        if found:
            break
        if time.monotonic() > deadline:
            print(f"places: the window {title!r} did not show {names} within {STEP_TIMEOUT}s",
                  file=sys.stderr)
            return 1
        time.sleep(0.1)
    for x, y, width, height in found:
        print(f"{x} {y} {width} {height}" if whole else f"{x + width // 2} {y + height // 2}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
