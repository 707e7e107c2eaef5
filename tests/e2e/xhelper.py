# SPDX-License-Identifier: MIT
"""What the end-to-end tests need from the X server beyond xdotool.

  xhelper.py close WINDOW        ask the window to close, as a window manager does
  xhelper.py cover X Y W H       map a plain window over a rectangle, focus it,
                                 print its id and stay until killed or
                                 until the X server goes away
  xhelper.py above A B           exit 0 when window A is stacked above window B
"""
import sys

from Xlib import X, Xatom, display, protocol


def top_level(d, window_id):
    """The child of the root that holds the window (the window itself without a WM)."""
    root = d.screen().root
    w = d.create_resource_object("window", window_id)
    while True:
        tree = w.query_tree()
        if tree.parent == root or tree.parent == 0:
            return w
        w = tree.parent


def close(d, window_id):
    w = d.create_resource_object("window", window_id)
    wm_protocols = d.intern_atom("WM_PROTOCOLS")
    wm_delete = d.intern_atom("WM_DELETE_WINDOW")
    prop = w.get_full_property(wm_protocols, Xatom.ATOM)
    # A window manager only sends the message to windows that ask for it.
    if prop is None or wm_delete not in prop.value:
        sys.exit("window 0x%x does not take WM_DELETE_WINDOW" % window_id)
    event = protocol.event.ClientMessage(
        window=w, client_type=wm_protocols, data=(32, [wm_delete, X.CurrentTime, 0, 0, 0]))
    w.send_event(event, event_mask=X.NoEventMask)
    d.sync()


def cover(d, x, y, width, height):
    root = d.screen().root
    w = root.create_window(x, y, width, height, 0, d.screen().root_depth,
                           background_pixel=d.screen().black_pixel,
                           event_mask=X.ExposureMask)
    w.set_wm_name("e2e cover")
    w.map()
    d.sync()
    w.configure(stack_mode=X.Above)
    w.set_input_focus(X.RevertToPointerRoot, X.CurrentTime)
    d.sync()
    print("0x%x" % w.id, flush=True)
    # Reading events notices a server that is gone: no helper outlives its test.
    while True:
        d.next_event()


def above(d, a, b):
    a, b = top_level(d, a), top_level(d, b)
    order = [c.id for c in d.screen().root.query_tree().children]  # bottom to top
    if a.id not in order or b.id not in order:
        sys.exit("window not found among the top-level windows")
    sys.exit(0 if order.index(a.id) > order.index(b.id) else 1)


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    d = display.Display()
    command, args = argv[1], [int(a, 0) for a in argv[2:]]
    if command == "close" and len(args) == 1:
        close(d, *args)
    elif command == "cover" and len(args) == 4:
        cover(d, *args)
    elif command == "above" and len(args) == 2:
        above(d, *args)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
