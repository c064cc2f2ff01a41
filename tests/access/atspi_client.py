#!/usr/bin/python3
"""A screen reader's ear for the tests: prints every event a screen reader
would act on as one JSON line on standard output, with the role and name of
the object it came from as the client reads them at that moment. Prints
{"type": "ready"} once it listens. Ends when standard input closes."""

import json
import sys

import pyatspi
from gi.repository import GLib

EVENTS = [
    "object:state-changed:showing",
    "object:property-change:accessible-name",
]


def tell(message):
    sys.stdout.write(json.dumps(message) + "\n")
    sys.stdout.flush()


def heard(event):
    if event.type.startswith("object:state-changed:showing") and not event.detail1:
        return  # something going out of sight says nothing
    try:
        source = event.source
        # What the object says now, not what the client kept of it.
        source.clear_cache()
        tell({
            "type": event.type,
            "detail1": event.detail1,
            "role": source.getRoleName(),
            "name": source.name,
            "app": source.getApplication().name,
        })
    except Exception as error:  # an object gone before it could be read
        tell({"type": event.type, "error": str(error)})


def stdin_closed(channel, condition):
    if condition & (GLib.IO_HUP | GLib.IO_ERR) or not sys.stdin.readline():
        pyatspi.Registry.stop()
        return False
    return True


for kind in EVENTS:
    pyatspi.Registry.registerEventListener(heard, kind)
GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP | GLib.IO_ERR, stdin_closed)
tell({"type": "ready"})
pyatspi.Registry.start()
