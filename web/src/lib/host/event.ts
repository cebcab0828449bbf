import { invoke, transformCallback, unregisterCallback } from "./core";

export type EventTarget = { kind: "Any" } | { kind: "WebviewWindow"; label: string };

export interface HostEvent<T> {
  event: string;
  id: number;
  payload: T;
}

export type UnlistenFn = () => void;

/** Subscribes to a host event; the returned function stops the subscription. */
export async function listen<T>(
  event: string,
  handler: (event: HostEvent<T>) => void,
  target: EventTarget = { kind: "Any" },
): Promise<UnlistenFn> {
  const callback = transformCallback<HostEvent<T>>(handler);
  let eventId: number;
  try {
    eventId = await invoke<number>("plugin:event|listen", { event, target, handler: callback });
  } catch (error) {
    unregisterCallback(callback);
    throw error;
  }
  return () => {
    unregisterCallback(callback);
    invoke("plugin:event|unlisten", { event, eventId }).catch(() => undefined);
  };
}
