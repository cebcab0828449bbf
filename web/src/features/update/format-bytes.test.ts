import { describe, expect, it } from "vitest";
import { formatBytes } from "./format-bytes";

describe("formatBytes", () => {
  it.each([
    [0, "0.00B"],
    [1023, "1023.00B"],
    [1024, "1.00KB"],
    [1536, "1.50KB"],
    [1572864, "1.50MB"],
    [10485760, "10.00MB"],
    [2 ** 40, "1.00TB"],
    [2 ** 51, "2048.00TB"],
  ])("%d bytes read %s", (bytes, text) => {
    expect(formatBytes(bytes)).toBe(text);
  });
});
