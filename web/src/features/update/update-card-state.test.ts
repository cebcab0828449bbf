import { describe, expect, it } from "vitest";
import type { DownloadEvent } from "@/lib/host/updater";
import { applyDownloadEvent, progressLine, type UpdateCardState } from "./update-card-state";

describe("applyDownloadEvent", () => {
  const downloading = (total: number | null, downloaded: number): UpdateCardState => ({
    type: "download",
    total,
    downloaded,
  });

  it.each<[string, UpdateCardState, DownloadEvent, UpdateCardState]>([
    [
      "Started with a length",
      downloading(null, 0),
      { event: "Started", data: { contentLength: 4096 } },
      downloading(4096, 0),
    ],
    [
      "Started without a length",
      downloading(null, 0),
      { event: "Started", data: { contentLength: null } },
      downloading(null, 0),
    ],
    [
      "Started with length 0",
      downloading(null, 0),
      { event: "Started", data: { contentLength: 0 } },
      downloading(null, 0),
    ],
    [
      "Started restarts the count",
      downloading(10, 7),
      { event: "Started", data: { contentLength: 20 } },
      downloading(20, 0),
    ],
    [
      "Progress adds up",
      downloading(4096, 1000),
      { event: "Progress", data: { chunkLength: 24 } },
      downloading(4096, 1024),
    ],
    [
      "Progress of 0 changes nothing",
      downloading(4096, 1000),
      { event: "Progress", data: { chunkLength: 0 } },
      downloading(4096, 1000),
    ],
    [
      "Progress outside download",
      { type: "info" },
      { event: "Progress", data: { chunkLength: 512 } },
      downloading(null, 512),
    ],
    [
      "Progress after Finished",
      { type: "downloaded" },
      { event: "Progress", data: { chunkLength: 5 } },
      downloading(null, 5),
    ],
    ["Finished", downloading(4096, 4096), { event: "Finished" }, { type: "downloaded" }],
  ])("%s", (_name, before, event, after) => {
    expect(applyDownloadEvent(before, event)).toEqual(after);
  });
});

describe("progressLine", () => {
  it.each([
    [1572864, 10485760, "Загружено 1.50MB из 10.00MB (15.0%)"],
    [2048, null, "Загружено 2.00KB"],
    [0, 3, "Загружено 0.00B из 3.00B (0.0%)"],
  ])("%d of %s", (downloaded, total, line) => {
    expect(progressLine(downloaded, total)).toBe(line);
  });
});
