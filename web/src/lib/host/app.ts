import { invoke } from "./core";

export function getName(): Promise<string> {
  return invoke<string>("plugin:app|name");
}

export function getVersion(): Promise<string> {
  return invoke<string>("plugin:app|version");
}
