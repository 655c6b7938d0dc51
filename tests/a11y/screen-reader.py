# Uses the real program as a screen reader does, through AT-SPI's client
# library (the one Orca uses), on X or on Wayland (QT_QPA_PLATFORM=wayland):
# lists its window, checks that the desktop knows the window by its desktop
# entry, types into the input box through the editable-text interface, presses
# HOST TO IP by its action, reads the answer back through the text interface,
# and presses QUIT, which must end the program with status 0.
#
#   screen-reader.py TESSARIN DESKTOP_ENTRY

import contextlib
import os
import re
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

wayland = os.environ.get("QT_QPA_PLATFORM") == "wayland"
# On Wayland the client's own log of its requests shows the application id.
log = tempfile.TemporaryFile()
program = subprocess.Popen([sys.argv[1]], stderr=log if wayland else None,
                           env=dict(os.environ, WAYLAND_DEBUG="client") if wayland else None)


def fail(message):
    program.kill()
    sys.exit("FAIL: " + message)


def wait_for(failure, found):
    """Serves the bus's events until found() answers something, for at most 30 s."""
    end = time.monotonic() + 30
    while time.monotonic() < end:
        while GLib.MainContext.default().iteration(False):
            pass
        answer = found()
        if answer:
            return answer
        time.sleep(0.05)
    fail(failure)


# A role by its value, which a screen reader turns into words of its own: the
# library's name for it changes between versions ("push button", "button").
ROLES = {pyatspi.ROLE_FRAME: "frame", pyatspi.ROLE_TEXT: "text",
         pyatspi.ROLE_PUSH_BUTTON: "push button"}


def said(control):
    """A control as a screen reader says it: role, name, actions and states."""
    actions = []
    if "Action" in pyatspi.listInterfaces(control):
        action = control.queryAction()
        actions = [action.getName(i) for i in range(action.nActions)]
    states = [pyatspi.stateToString(state) for state in control.getState().getStates()
              if state in (pyatspi.STATE_FOCUSABLE, pyatspi.STATE_EDITABLE, pyatspi.STATE_READ_ONLY)]
    role = ROLES.get(control.getRole(), f"other role {control.getRoleName()}")
    return f"{role} '{control.name}' {actions} {sorted(states)}"


def identity():
    """The name the desktop knows the window by: its application id, or its X class."""
    if wayland:
        log.seek(0)
        return re.findall(r'set_app_id\("([^"]*)"\)', log.read().decode())
    return re.findall(r'"([^"]*)"$', subprocess.run(
        ["xprop", "-name", window.name, "WM_CLASS"], capture_output=True, text=True).stdout)


window = wait_for("no Tessarin window on the accessibility bus", lambda: next(
    (app[0] for app in pyatspi.Registry.getDesktop(0)
     if app is not None and app.name == "Tessarin" and app.childCount > 0), None))
controls = list(window)
found = [said(window)] + [said(control) for control in controls]
print("\n  ".join(found))
expected = [
    f"frame 'Tessarin - You are: {window.name.split(': ', 1)[-1]}' [] []",
    "text 'Host name or IPv4 address' ['SetFocus'] ['editable', 'focusable']",
    "push button 'HOST TO IP' ['Press'] []",
    "push button 'IP TO HOST' ['Press'] []",
    "push button 'ABOUT' ['Press'] []",
    "push button 'QUIT' ['Press'] []",
    "text 'Answer' ['SetFocus'] ['focusable', 'read only']",
]
if found != expected:
    fail("the window and its controls are not as expected:\n  " + "\n  ".join(expected))

# On Wayland the desktop finds the entry by its file name, on X by the class it names.
with open(sys.argv[2]) as entry_file:
    known_as = re.findall(r"^StartupWMClass=(.*)$", entry_file.read(), re.MULTILINE)
if wayland:
    known_as = [os.path.basename(sys.argv[2]).removesuffix(".desktop")]
if identity()[-1:] != known_as:
    fail(f"the desktop knows the window as {identity()}, its entry as {known_as}")
print(f"known to the desktop as its entry: {known_as}")

entry, answer = controls[0], controls[5]
button = dict(zip(["HOST TO IP", "IP TO HOST", "ABOUT", "QUIT"], controls[1:5]))
changed = []
pyatspi.Registry.registerEventListener(
    lambda event: changed.append(event.source.name), "object:text-changed:insert")


def ask(text, command):
    """Types the text, presses the command and answers what the answer box says once changed."""
    entry.queryEditableText().setTextContents(text)
    before = answer.queryText().getText(0, -1)
    changed.clear()
    button[command].queryAction().doAction(0)

    def shown():
        now = answer.queryText().getText(0, -1)
        return now if now not in (before, "") else None

    text_shown = wait_for(f"{command} changed nothing", shown)
    wait_for(f"no text-changed event from the answer box after {command}",
             lambda: answer.name in changed)
    print(f"{command} on {text}: {text_shown}")
    return text_shown


if ask("localhost", "HOST TO IP") != "127.0.0.1":
    fail("HOST TO IP on localhost did not answer 127.0.0.1")
with contextlib.suppress(GLib.Error):  # the program may end before it replies
    button["QUIT"].queryAction().doAction(0)
wait_for("QUIT did not end the program", lambda: program.poll() is not None)
if program.returncode != 0:
    sys.exit(f"FAIL: QUIT ended the program with status {program.returncode}")
