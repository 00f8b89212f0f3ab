#!/usr/bin/python3
"""Reads a program's windows as a screen reader does, through AT-SPI (Debian's own Python,
where python3-gi and gir1.2-atspi-2.0 install).

  atspi-reader.py enable
      On the session bus: turns the screen reader on (org.a11y.Status), which starts the
      accessibility bus, and prints that bus's address.
  atspi-reader.py tree TITLE [ROLE NAME]
      Prints the tree of the showing window TITLE, once it shows (and holds ROLE NAME).
  atspi-reader.py press ROLE NAME
      Runs the "Press" action of the showing ROLE NAME of any window.

One line a node: indent, role | name | states | actions | description. Lists and trees
show their first entries only. Waits at most 20 s for what it looks for; exit code 1 when
it never comes.
"""
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

# get_action_name() is deprecated in newer libatspi; its successor is not in Debian 12's.
warnings.simplefilter("ignore", DeprecationWarning)

DEADLINE = 20.0
CONTAINERS = {"list", "tree", "tree table", "table", "list box", "combo box"}
STATES = [("focusable", Atspi.StateType.FOCUSABLE), ("focused", Atspi.StateType.FOCUSED),
          ("checkable", Atspi.StateType.CHECKABLE), ("checked", Atspi.StateType.CHECKED)]


def enable():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled", GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, 10000, None)
    address = bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                            GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 10000, None)
    print(address.unpack()[0])
    return 0


def showing(node):
    states = node.get_state_set()
    return states.contains(Atspi.StateType.SHOWING) or states.contains(Atspi.StateType.VISIBLE)


def children(node):
    try:
        return [node.get_child_at_index(i) for i in range(node.get_child_count())]
    except GLib.Error:
        return []  # gone while being read


def actions(node):
    try:
        return [node.get_action_name(i) for i in range(node.get_n_actions())]
    except (GLib.Error, AttributeError, NotImplementedError):
        return []


def line(node, depth):
    states = node.get_state_set()
    flags = [name for name, state in STATES if states.contains(state)]
    if not states.contains(Atspi.StateType.ENABLED):
        flags.append("disabled")
    fields = [node.get_role_name(), node.get_name() or "", ",".join(flags), ",".join(actions(node)),
              (node.get_description() or "").replace("\r", "").replace("\n", " ")]
    return "  " * depth + " | ".join(fields)


def walk(node, depth, out):
    out.append(line(node, depth))
    shown = [child for child in children(node) if child is not None and showing(child)]
    if node.get_role_name() in CONTAINERS and len(shown) > 3:
        for child in shown[:3]:
            out.append(line(child, depth + 1))
        out.append("  " * (depth + 1) + "… %d more" % (len(shown) - 3))
        return
    for child in shown:
        walk(child, depth + 1, out)


def windows():
    desktop = Atspi.get_desktop(0)
    for app in children(desktop):
        if app is None:
            continue
        Atspi.Accessible.clear_cache(app)
        for window in children(app):
            if window is not None and showing(window):
                yield window


def find(node, role, name):
    if node.get_role_name() == role and node.get_name() == name and showing(node):
        return node
    for child in children(node):
        if child is not None and showing(child):
            found = find(child, role, name)
            if found:
                return found
    return None


def poll(look):
    """What `look` finds, asked again until it finds something or the deadline passes."""
    end = time.monotonic() + DEADLINE
    while True:
        try:
            found = look()
        except GLib.Error:
            found = None  # a node went away while being read: ask again
        if found or time.monotonic() > end:
            return found
        time.sleep(0.1)


def tree(title, role=None, name=None):
    def look():
        for window in windows():
            if window.get_name() == title and (role is None or find(window, role, name)):
                out = []
                walk(window, 0, out)
                return out
        return None
    out = poll(look)
    if not out:
        print("no window %r%s" % (title, " holding %s %r" % (role, name) if role else ""), file=sys.stderr)
        return 1
    print("\n".join(out))
    return 0


def press(role, name):
    def look():
        for window in windows():
            node = find(window, role, name)
            if node:
                return node
        return None
    node = poll(look)
    if not node or "Press" not in actions(node):
        print("no %s %r to press" % (role, name), file=sys.stderr)
        return 1
    return 0 if node.do_action(actions(node).index("Press")) else 1


def main(argv):
    commands = {"enable": (enable, 0), "tree": (tree, None), "press": (press, 2)}
    if len(argv) < 2 or argv[1] not in commands:
        print(__doc__, file=sys.stderr)
        return 2
    command, count = commands[argv[1]]
    arguments = argv[2:]
    if (count is not None and len(arguments) != count) or (count is None and len(arguments) not in (1, 3)):
        print(__doc__, file=sys.stderr)
        return 2
    return command(*arguments)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
