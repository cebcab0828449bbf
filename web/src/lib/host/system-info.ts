import { invoke } from "./core";

// The records are passed on to the report exactly as the host answers them, so they stay opaque JSON here.
export type HostRecord = Record<string, unknown>;

export function cpuInfo(): Promise<HostRecord> {
  return invoke<HostRecord>("plugin:system-info|cpu_info");
}

export function memoryInfo(): Promise<HostRecord> {
  return invoke<HostRecord>("plugin:system-info|memory_info");
}

/** The launcher's own adapter list (not a plugin command). */
export function listGpus(): Promise<HostRecord[]> {
  return invoke<HostRecord[]>("list_gpus");
}
