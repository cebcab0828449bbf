import { invoke } from "./core";

/** The fixed platform facts the host writes into every page before its scripts run. */
export interface PlatformFacts {
  eol: string;
  os_type: string;
  platform: string;
  family: string;
  version: string;
  arch: string;
  exe_extension: string;
}

declare global {
  interface Window {
    __TAURI_OS_PLUGIN_INTERNALS__?: PlatformFacts;
  }
}

export function platformFacts(): PlatformFacts {
  const facts = window.__TAURI_OS_PLUGIN_INTERNALS__;
  if (!facts) throw new Error("the platform facts are not available in this page");
  return facts;
}

export function locale(): Promise<string | null> {
  return invoke<string | null>("plugin:os|locale");
}
