"""A few libX11 calls through ctypes, for the moments when spawning the X tools is too slow:
noticing within a millisecond that a window has been mapped, and reading the screen frame by frame."""
import ctypes
import ctypes.util

_x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XDefaultRootWindow.restype = ctypes.c_ulong
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                            ctypes.POINTER(ctypes.c_uint)]
_x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
_x11.XFree.argtypes = [ctypes.c_void_p]
_x11.XSetErrorHandler.argtypes = [ctypes.c_void_p]
_x11.XCloseDisplay.argtypes = [ctypes.c_void_p]


class _WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


_x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(_WindowAttributes)]
_x11.XInternAtom.restype = ctypes.c_ulong
_x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_x11.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
                                    ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                    ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
                                    ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong))]
_x11.XGetImage.restype = ctypes.c_void_p
_x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                           ctypes.c_ulong, ctypes.c_int]
_x11.XGetPixel.restype = ctypes.c_ulong
_x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
_x11.XDestroyImage.argtypes = [ctypes.c_void_p]
_IS_VIEWABLE = 2
_XA_CARDINAL = 6
_ALL_PLANES, _Z_PIXMAP = 0xFFFFFFFFFFFFFFFF, 2
# Windows vanish between listing and asking; such errors are expected and ignored.
_ignore_errors = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda display, event: 0)
_x11.XSetErrorHandler(_ignore_errors)


class Display:
    def __init__(self):
        self._display = _x11.XOpenDisplay(None)
        if not self._display:
            raise RuntimeError("cannot open the X display")
        self._root = _x11.XDefaultRootWindow(self._display)

    def close(self):
        _x11.XCloseDisplay(self._display)

    def _children(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not _x11.XQueryTree(self._display, window, ctypes.byref(root), ctypes.byref(parent),
                               ctypes.byref(children), ctypes.byref(count)):
            return []
        result = [children[i] for i in range(count.value)]
        if children:
            _x11.XFree(children)
        return result

    def _name(self, window):
        name = ctypes.c_char_p()
        if not _x11.XFetchName(self._display, window, ctypes.byref(name)) or not name.value:
            return None
        value = name.value.decode("utf-8", "replace")
        _x11.XFree(name)
        return value

    def viewable_window(self, title):
        """The id of a viewable client window with this title (top level or inside a frame)."""
        for top in self._children(self._root):
            for window in [top, *self._children(top)]:
                if self._name(window) == title:
                    attributes = _WindowAttributes()
                    if (_x11.XGetWindowAttributes(self._display, window, ctypes.byref(attributes))
                            and attributes.map_state == _IS_VIEWABLE):
                        return window
        return None

    def opacity(self, window):
        """The window's _NET_WM_WINDOW_OPACITY as a fraction, or None when it sets none (opaque)."""
        atom = _x11.XInternAtom(self._display, b"_NET_WM_WINDOW_OPACITY", False)
        kind, size = ctypes.c_ulong(), ctypes.c_int()
        count, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ulong)()
        if _x11.XGetWindowProperty(self._display, window, atom, 0, 1, False, _XA_CARDINAL, ctypes.byref(kind),
                                   ctypes.byref(size), ctypes.byref(count), ctypes.byref(after),
                                   ctypes.byref(data)) != 0 or not data:
            return None
        value = data[0] / 0xFFFFFFFF if count.value else None
        _x11.XFree(data)
        return value

    def screen_pixels(self, x, y, width, height):
        """Rows of (r, g, b) of a rectangle of the screen as it is shown (the root window)."""
        image = _x11.XGetImage(self._display, self._root, x, y, width, height, _ALL_PLANES, _Z_PIXMAP)
        if not image:
            return None
        rows = []
        for row in range(height):
            values = [_x11.XGetPixel(image, column, row) for column in range(width)]
            rows.append([((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF) for v in values])
        _x11.XDestroyImage(image)
        return rows
