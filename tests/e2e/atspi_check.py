#!/usr/bin/python3
"""The window as a screen reader sees it, over the accessibility bus (AT-SPI).

    atspi_check.py tree INPUT_ROWS RESULT_ROWS  the frame and every control, the lists' rows
    atspi_check.py press CAPTION                presses a push button, as a screen reader does
    atspi_check.py rows LIST                    the rows of the list named LIST, one a line
    atspi_check.py count LIST                   how many rows it has
    atspi_check.py wait-for-step LIST SECONDS   returns once the program stops answering
                                                 (a step that must not yield has begun) or
                                                 LIST is found empty

Exits with status 1 and a message when the window is not as expected.
"""

import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# get_action_name is deprecated in favour of a get_name that GI cannot tell from the
# accessible's own.
warnings.simplefilter("ignore", DeprecationWarning)

BUTTONS = [
    "Load Text From File",
    "Clear Text",
    "Load Sample/Example Text",
    "Start Sorting",
    "Save Results As Text File",
    "Copy Results To Clipboard",
    "Clear Results",
    "Help",
]
OPTIONS = ["Sort Each Line Alphabetically", "Sort Each Word Alphabetically"]
COUNTER = "Put counter next to each result such as 1. 2. 3. 4. etc"
LISTS = ["Input", "Results"]


def fail(message):
    print(f"FAIL (AT-SPI): {message}", file=sys.stderr)
    sys.exit(1)


def frame():
    """The program's window, once the program has joined the bus."""
    for _ in range(100):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is None or app.get_name() != "velmora":
                continue
            for j in range(app.get_child_count()):
                window = app.get_child_at_index(j)
                if window is not None and window.get_name() == "Velmora":
                    return window
        time.sleep(0.1)
    fail("no window named Velmora on the accessibility bus")


def descendants(node, depth=0):
    """The controls under node; a list's rows are left to the list."""
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is None:
            continue
        yield child
        if child.get_role() != Atspi.Role.LIST and depth < 3:
            yield from descendants(child, depth + 1)


def controls(role):
    return [c for c in descendants(frame()) if c.get_role() == role]


def named(role, name):
    found = [c for c in controls(role) if c.get_name() == name]
    if len(found) != 1:
        fail(f"{len(found)} controls of role {role.value_nick} named {name!r}, not one")
    return found[0]


def list_rows(name):
    """The list's rows below its heading, checked to be one heading and then list items."""
    view = named(Atspi.Role.LIST, name)
    heading = view.get_child_at_index(0)
    if heading is None or heading.get_role() != Atspi.Role.TABLE_COLUMN_HEADER:
        fail(f"the list {name!r} does not begin with its column heading")
    if heading.get_name() != name:
        fail(f"the list {name!r} has the heading {heading.get_name()!r}")
    return view, view.get_child_count() - 1


def tree(input_rows, result_rows):
    window = frame()
    if window.get_role() != Atspi.Role.FRAME:
        fail(f"the window's role is {window.get_role().value_nick}, not frame")
    buttons = sorted(c.get_name() for c in controls(Atspi.Role.PUSH_BUTTON))
    if buttons != sorted(BUTTONS):
        fail(f"the push buttons are {buttons}")
    if sorted(c.get_name() for c in controls(Atspi.Role.RADIO_BUTTON)) != OPTIONS:
        fail("the two options are not there by their captions")
    if [c.get_name() for c in controls(Atspi.Role.CHECK_BOX)] != [COUNTER]:
        fail("the counter box is not there by its caption")
    for name, rows in zip(LISTS, (input_rows, result_rows)):
        view, count = list_rows(name)
        if count != rows:
            fail(f"the list {name!r} has {count} rows, expected {rows}")
        for i in range(1, min(count, 50) + 1):
            if view.get_child_at_index(i).get_role() != Atspi.Role.LIST_ITEM:
                fail(f"row {i} of the list {name!r} is not a list item")
    bars = controls(Atspi.Role.PROGRESS_BAR)
    if len(bars) != 1 or bars[0].get_current_value() != 0:
        fail("there is not one progress bar at 0")
    print(f"AT-SPI: a frame named Velmora, {len(buttons)} push buttons, 2 radio buttons, "
          f"1 check box, 2 lists ({input_rows} and {result_rows} rows), 1 progress bar")


def press(caption):
    # The press is answered only once the program turns its event loop again: wait for it.
    Atspi.set_timeout(120_000, 120_000)
    button = named(Atspi.Role.PUSH_BUTTON, caption)
    for i in range(button.get_n_actions()):
        if button.get_action_name(i) == "Press":
            button.do_action(i)
            return
    fail(f"the button {caption!r} offers no Press")


def wait_for_step(name, seconds):
    """Asks the program something small again and again; returns when it takes over a
    second to answer, or when the list is found empty."""
    view, _ = list_rows(name)
    Atspi.set_timeout(1000, 1000)
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            if view.get_child_count() <= 1:
                return
        except GLib.Error:
            return  # no answer: the program is inside a step
        time.sleep(0.02)
    fail(f"the program answered throughout and the list {name!r} never emptied")


def main(args):
    if len(args) == 3 and args[0] == "tree":
        tree(int(args[1]), int(args[2]))
    elif len(args) == 2 and args[0] == "press":
        press(args[1])
    elif len(args) == 2 and args[0] == "rows":
        view, count = list_rows(args[1])
        for i in range(1, count + 1):
            print(view.get_child_at_index(i).get_name())
    elif len(args) == 2 and args[0] == "count":
        print(list_rows(args[1])[1])
    elif len(args) == 3 and args[0] == "wait-for-step":
        wait_for_step(args[1], float(args[2]))
    else:
        print(__doc__, file=sys.stderr)
        sys.exit(2)


if __name__ == "__main__":
    main(sys.argv[1:])
