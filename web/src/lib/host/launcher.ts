import { invoke } from "./core";

/** Tells the host a start-up task is done; the second report hands over from the splash card. */
export function setComplete(task: "frontend"): Promise<void> {
  return invoke<void>("set_complete", { task });
}
