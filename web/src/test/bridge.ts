// A stand-in for the host bridge in unit tests: each command runs a handler given by the test, which may
// answer at once, reject, or return a promise the test settles later.

type Handler = (args: Record<string, unknown>) => unknown;

export interface TestBridge {
  calls: { cmd: string; args: Record<string, unknown> }[];
  commands(): string[];
  emit(event: string, payload: unknown): void;
  /** Sends a message on the channel passed as `onEvent` in the last call of `cmd`. */
  send(cmd: string, message: unknown): void;
}

export function installTestBridge(handlers: Record<string, Handler>, label = "main"): TestBridge {
  const callbacks = new Map<number, (message: unknown) => void>();
  const listeners: { event: string; handler: number; id: number }[] = [];
  const calls: TestBridge["calls"] = [];
  let nextId = 1;

  window.__TAURI_INTERNALS__ = {
    invoke: async (cmd, args = {}) => {
      calls.push({ cmd, args });
      if (cmd === "plugin:event|listen") {
        const id = nextId++;
        listeners.push({ event: String(args.event), handler: Number(args.handler), id });
        return id;
      }
      if (cmd === "plugin:event|unlisten") return null;
      const handler = handlers[cmd];
      if (!handler) throw `Command ${cmd} not found`;
      return handler(args);
    },
    transformCallback: (callback) => {
      const id = nextId++;
      callbacks.set(id, callback);
      return id;
    },
    unregisterCallback: (id) => callbacks.delete(id),
    metadata: { currentWindow: { label }, currentWebview: { label } },
  };

  return {
    calls,
    commands: () => calls.map((call) => call.cmd),
    emit(event, payload) {
      for (const l of listeners.filter((l) => l.event === event))
        callbacks.get(l.handler)?.({ event, payload });
    },
    send(cmd, message) {
      const call = calls.findLast((c) => c.cmd === cmd);
      const id = Number(String(call?.args.onEvent).replace("__CHANNEL__:", ""));
      callbacks.get(id)?.(message);
    },
  };
}

/** A promise with its settle functions, for answers the test releases in its own order. */
export function deferred<T>() {
  let resolve!: (value: T) => void;
  let reject!: (reason: unknown) => void;
  const promise = new Promise<T>((res, rej) => {
    resolve = res;
    reject = rej;
  });
  return { promise, resolve, reject };
}
