// A scripted stand-in for the host bridge, installed into the page before its scripts run. Each command is
// answered from a table; the test can also hold an answer back and release it later, emit window events,
// and read every call the page made.

export type Answer =
  | { value: unknown }
  | { error: string }
  /** Sends these messages on the call's "onEvent" channel, then answers. */
  | { events: unknown[]; value: unknown }
  /** Answers only when the test calls __bridge.release(cmd, answer). */
  | { hold: true };

export interface BridgeScript {
  label: string;
  facts: Record<string, string>;
  answers: Record<string, Answer>;
}

export interface RecordedCall {
  cmd: string;
  args: Record<string, unknown>;
}

export const RELEASE_FACTS = {
  eol: "\r\n",
  os_type: "windows",
  platform: "windows",
  family: "windows",
  version: "10.0.22631",
  arch: "x86_64",
  exe_extension: "exe",
};

export function defaultAnswers(): Record<string, Answer> {
  return {
    set_complete: { value: null },
    "plugin:app|name": { value: "Mirravel - Launcher" },
    "plugin:app|version": { value: "0.1.36" },
    "plugin:window|is_maximized": { value: false },
    "plugin:window|is_fullscreen": { value: false },
    "plugin:window|theme": { value: null },
    "plugin:window|minimize": { value: null },
    "plugin:window|toggle_maximize": { value: null },
    "plugin:window|close": { value: null },
    "plugin:os|locale": { value: "ru-RU" },
    "plugin:system-info|cpu_info": { value: { name: "Test CPU", cores: 8 } },
    "plugin:system-info|memory_info": { value: { total_memory: 17179869184 } },
    list_gpus: { value: [{ name: "Test GPU", device_type: "DiscreteGpu" }] },
    "plugin:updater|check": { value: null },
    "plugin:process|restart": { value: null },
  };
}

/** Runs inside the page (serialised by Playwright), so it may use nothing from this module's scope. */
export function installBridge(script: BridgeScript): void {
  type Callback = (message: unknown) => void;
  const callbacks = new Map<number, Callback>();
  const listeners: { event: string; handler: number; id: number }[] = [];
  const held = new Map<string, { resolve: (v: unknown) => void; reject: (e: unknown) => void }>();
  const calls: { cmd: string; args: Record<string, unknown> }[] = [];
  let nextId = 1;

  const channelOf = (args: Record<string, unknown>) => {
    const text = String(args.onEvent ?? "");
    return callbacks.get(Number(text.replace("__CHANNEL__:", "")));
  };

  const invoke = (cmd: string, args: Record<string, unknown> = {}): Promise<unknown> => {
    calls.push({ cmd, args: JSON.parse(JSON.stringify(args)) });
    if (cmd === "plugin:event|listen") {
      const id = nextId++;
      listeners.push({ event: String(args.event), handler: Number(args.handler), id });
      return Promise.resolve(id);
    }
    if (cmd === "plugin:event|unlisten") {
      const at = listeners.findIndex((l) => l.id === args.eventId);
      if (at >= 0) listeners.splice(at, 1);
      return Promise.resolve(null);
    }
    const answer = script.answers[cmd];
    if (!answer) return Promise.reject(`Command ${cmd} not found`);
    if ("hold" in answer) return new Promise((resolve, reject) => held.set(cmd, { resolve, reject }));
    if ("error" in answer) return Promise.reject(answer.error);
    if ("events" in answer) {
      const channel = channelOf(args);
      return new Promise((resolve) =>
        setTimeout(() => {
          for (const message of answer.events) channel?.(message);
          resolve(answer.value);
        }, 0),
      );
    }
    return Promise.resolve(answer.value);
  };

  Object.defineProperty(window, "__TAURI_OS_PLUGIN_INTERNALS__", {
    value: Object.freeze({ ...script.facts }),
  });
  Object.defineProperty(window, "__TAURI_INTERNALS__", {
    value: {
      invoke,
      transformCallback(callback: Callback) {
        const id = nextId++;
        callbacks.set(id, callback);
        return id;
      },
      unregisterCallback(id: number) {
        callbacks.delete(id);
      },
      metadata: { currentWindow: { label: script.label }, currentWebview: { label: script.label } },
    },
  });
  Object.defineProperty(window, "__bridge", {
    value: {
      calls,
      emit(event: string, payload: unknown) {
        for (const l of listeners.filter((l) => l.event === event)) {
          callbacks.get(l.handler)?.({ event, id: l.id, payload });
        }
      },
      send(cmd: string, message: unknown) {
        const call = [...calls].reverse().find((c) => c.cmd === cmd);
        if (call) channelOf(call.args)?.(message);
      },
      release(cmd: string, answer: { value?: unknown; error?: string }) {
        const pending = held.get(cmd);
        held.delete(cmd);
        if ("error" in answer) pending?.reject(answer.error);
        else pending?.resolve(answer.value);
      },
    },
  });
}
