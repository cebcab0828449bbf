import { cleanup, configure } from "@testing-library/react";
import { afterEach, beforeEach, vi } from "vitest";
import { installMatchMedia } from "./media";

// waitFor and findBy* give up after this long; a second (their default) is too short on a busy machine.
configure({ asyncUtilTimeout: 15_000 });

// The runner game draws on a canvas, which jsdom lacks; the browser suite covers the real one.
vi.mock("react-chrome-dino", () => ({ default: () => null }));

// jsdom lacks ResizeObserver, which the scroll area and check boxes measure themselves with.
globalThis.ResizeObserver ??= class {
  observe() {}
  unobserve() {}
  disconnect() {}
};

beforeEach(() => {
  installMatchMedia();
  localStorage.clear();
  document.documentElement.className = "";
  document.documentElement.removeAttribute("data-theme");
});

afterEach(() => {
  cleanup();
  delete window.__TAURI_INTERNALS__;
});
