// A stand-in for the host bridge, so a bare web view or a browser can show the built main page: every
// command the page sends while it boots and idles is answered at once from a table, as cheaply as the
// host could answer it. bare_webview injects it at document start; bench/run's loopback server puts it
// first in the main page's head for Chromium.
(() => {
  const answers = {
    set_complete: null,
    "plugin:app|name": "Mirravel - Launcher",
    "plugin:app|version": "0.1.36",
    "plugin:window|is_maximized": false,
    "plugin:window|is_fullscreen": false,
    "plugin:window|theme": null,
    "plugin:os|locale": "ru-RU",
    "plugin:system-info|cpu_info": { name: "Stub CPU", cores: 8 },
    "plugin:system-info|memory_info": { total_memory: 17179869184 },
    list_gpus: [{ name: "Stub GPU", device_type: "DiscreteGpu" }],
    "plugin:event|unlisten": null,
  };
  const callbacks = new Map();
  let nextId = 1;
  const invoke = (cmd) => {
    if (cmd === "plugin:event|listen") return Promise.resolve(nextId++);
    if (cmd in answers) return Promise.resolve(answers[cmd]);
    return Promise.reject(`Command ${cmd} not found`);
  };
  Object.defineProperty(window, "__TAURI_OS_PLUGIN_INTERNALS__", {
    value: Object.freeze({
      eol: "\n",
      os_type: "linux",
      platform: "linux",
      family: "unix",
      version: "12",
      arch: "x86_64",
      exe_extension: "",
    }),
  });
  Object.defineProperty(window, "__TAURI_INTERNALS__", {
    value: {
      invoke,
      transformCallback(callback) {
        const id = nextId++;
        callbacks.set(id, callback);
        return id;
      },
      unregisterCallback(id) {
        callbacks.delete(id);
      },
      metadata: { currentWindow: { label: "main" }, currentWebview: { label: "main" } },
    },
  });
})();
