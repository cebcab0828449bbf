import { Channel, invoke } from "./core";

export interface Update {
  rid: number;
  currentVersion: string;
  version: string;
  date: string | null;
  body: string | null;
  rawJson: unknown;
}

export type DownloadEvent =
  | { event: "Started"; data: { contentLength: number | null } }
  | { event: "Progress"; data: { chunkLength: number } }
  | { event: "Finished" };

export function check(): Promise<Update | null> {
  return invoke<Update | null>("plugin:updater|check", { allowDowngrades: true });
}

/** Downloads and verifies the package; answers the id of the downloaded package for `install`. */
export async function download(rid: number, onEvent: (event: DownloadEvent) => void): Promise<number> {
  const channel = new Channel<DownloadEvent>(onEvent);
  return invoke<number>("plugin:updater|download", { onEvent: channel.toJSON(), rid });
}

export function install(updateRid: number, bytesRid: number): Promise<void> {
  return invoke<void>("plugin:updater|install", { updateRid, bytesRid });
}
