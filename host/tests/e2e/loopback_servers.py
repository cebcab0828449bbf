"""Loopback servers the test build's endpoints point at (127.0.0.1, the fixed ports of the
build's fixtures), each serving on its own thread for the life of a `with` block."""
import http.server
import ssl
import threading

from launcher_e2e import BOUND_SECONDS


class _Server:
    def __init__(self, port, handler, tls=None):
        self._port = port
        self._handler = handler
        self._tls = tls

    def __enter__(self):
        try:
            self._server = http.server.ThreadingHTTPServer(("127.0.0.1", self._port), self._handler)
        except OSError as error:
            raise AssertionError(f"port {self._port} of the test build is taken ({error}); stop what holds it, "
                                 "or remove the build's -fixtures folder and configure it again") from None
        self._server.daemon_threads = True
        # The launcher may hang up early (a closed window ends its transfers): not worth a trace.
        self._server.handle_error = lambda request, address: None
        if self._tls:
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(*self._tls)
            self._server.socket = context.wrap_socket(self._server.socket, server_side=True)
        self._server.owner = self
        self._thread = threading.Thread(target=self._server.serve_forever, daemon=True)
        self._thread.start()
        return self

    def __exit__(self, *exc):
        self._server.shutdown()
        self._server.server_close()
        self._thread.join(BOUND_SECONDS)


class _Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    @property
    def owner(self):
        return self.server.owner


class ReportCollector(_Server):
    """The report endpoint: records every request it receives and answers 204 without CORS
    headers, as a collection service that never expects to be read back."""

    def __init__(self, port):
        super().__init__(port, _CollectorHandler)
        self.requests = []
        self._arrived = threading.Condition()

    def record(self, request):
        with self._arrived:
            self.requests.append(request)
            self._arrived.notify_all()

    def wait_for_requests(self, count, timeout=BOUND_SECONDS):
        with self._arrived:
            if not self._arrived.wait_for(lambda: len(self.requests) >= count, timeout):
                raise AssertionError(f"{len(self.requests)} requests reached the collector, expected {count}")
            return list(self.requests)


class _CollectorHandler(_Handler):
    def _record_and_answer(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        self.owner.record({"method": self.command, "path": self.path, "headers": dict(self.headers.items()),
                           "body": body})
        self.send_response(204)
        self.end_headers()

    do_POST = _record_and_answer
    # A preflight would be a fault of the page's request: it is recorded so a test sees it.
    do_OPTIONS = _record_and_answer


class UpdateServer(_Server):
    """The update storage host over TLS. `routes` maps a path to the bytes served (status 200
    with Content-Length) or to a bare status code. A route named in `hold_after` sends that many
    bytes of its body, then waits until `release()` before sending the rest, so a test can look
    at a download in the middle."""

    def __init__(self, port, cert, key):
        super().__init__(port, _UpdateHandler, tls=(cert, key))
        self.routes = {}
        self.hold_after = {}
        self.requests = []
        self._released = threading.Event()

    def release(self):
        self._released.set()

    def wait_released(self):
        if not self._released.wait(BOUND_SECONDS):
            raise TimeoutError("the held body was never released")


class _UpdateHandler(_Handler):
    def do_GET(self):
        server = self.owner
        server.requests.append({"path": self.path, "headers": dict(self.headers.items())})
        route = server.routes.get(self.path, 404)
        if isinstance(route, int):
            self.send_response(route)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        self.send_response(200)
        self.send_header("Content-Length", str(len(route)))
        self.end_headers()
        held = server.hold_after.get(self.path)
        if held is not None:
            self.wfile.write(route[:held])
            self.wfile.flush()
            server.wait_released()
            route = route[held:]
        self.wfile.write(route)
