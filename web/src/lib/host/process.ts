import { invoke } from "./core";

export function restart(): Promise<void> {
  return invoke<void>("plugin:process|restart");
}
