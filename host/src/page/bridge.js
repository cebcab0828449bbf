// The command bridge between a page and the host. Runs in the top frame at document start,
// before the page's own scripts, so it keeps its own references to what it uses.
(function () {
  "use strict";
  const metadata = __LAUNCHER_METADATA__;
  const token = __LAUNCHER_TOKEN__;
  const handler = window.webkit.messageHandlers.ipc;
  const post = handler.postMessage.bind(handler);
  const stringify = JSON.stringify;
  const parse = JSON.parse;
  const reportError = window.reportError.bind(window);
  const callbacks = new Map();
  let nextCallback = 1;

  function transformCallback(callback, once) {
    const id = nextCallback++;
    callbacks.set(id, { callback, once: Boolean(once) });
    return id;
  }

  function unregisterCallback(id) {
    callbacks.delete(id);
  }

  // The host delivers channel messages and events through this, several in one script;
  // unknown ids are dropped. A callback that throws is reported as an uncaught error, and the
  // deliveries after it in the same script still run.
  function runCallback(id, payload) {
    const entry = callbacks.get(id);
    if (!entry) return;
    if (entry.once) callbacks.delete(id);
    if (typeof entry.callback !== "function") return;
    try {
      entry.callback(payload);
    } catch (error) {
      reportError(error);
    }
  }

  function invoke(cmd, args) {
    let message;
    try {
      message = stringify({ cmd: String(cmd), args: args === undefined ? {} : args, token });
    } catch (e) {
      return Promise.reject(String(e && e.message ? e.message : e));
    }
    // The host answers with JSON text both ways; an error is a JSON string, so its NULs and every
    // character arrive whole. The answer is parsed in a script closure, not by JSON.parse as the
    // reaction itself: with the native function there, round trips were a third slower.
    return post(message).then((answer) => parse(answer), refused);
  }

  // A rejection that is not one of the host's JSON strings keeps WebKit's own text.
  function refused(error) {
    const text = error && error.message !== undefined ? String(error.message) : String(error);
    let reason = text;
    try {
      reason = parse(text);
    } catch (e) {}
    throw typeof reason === "string" ? reason : text;
  }

  const internals = Object.freeze({
    invoke,
    transformCallback,
    unregisterCallback,
    runCallback,
    metadata: Object.freeze(metadata),
  });
  Object.defineProperty(window, "__TAURI_INTERNALS__", {
    value: internals,
    writable: false,
    enumerable: false,
    configurable: false,
  });
})();
