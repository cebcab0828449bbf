import type { DownloadEvent } from "@/lib/host/updater";
import { formatBytes } from "./format-bytes";

export type UpdateCardState =
  | { type: "info" }
  | { type: "download"; total: number | null; downloaded: number }
  | { type: "downloaded" }
  | { type: "install" }
  | { type: "finished" };

export const CARD_TITLES: Record<UpdateCardState["type"], string> = {
  info: "🔄 Доступно обновление",
  download: "🔄 Загрузка",
  downloaded: "🔄 Установка",
  install: "🔄 Установка",
  finished: "🔄 Установка",
};

/** The card's next state after one download event. */
export function applyDownloadEvent(state: UpdateCardState, event: DownloadEvent): UpdateCardState {
  switch (event.event) {
    case "Started": {
      const length = event.data.contentLength;
      return {
        type: "download",
        total: typeof length === "number" && length !== 0 ? length : null,
        downloaded: 0,
      };
    }
    case "Progress": {
      const chunk = event.data.chunkLength;
      if (!chunk) return state;
      return state.type === "download"
        ? { ...state, downloaded: state.downloaded + chunk }
        : { type: "download", total: null, downloaded: chunk };
    }
    case "Finished":
      return { type: "downloaded" };
  }
}

export function percentOf(downloaded: number, total: number): number {
  return (downloaded / total) * 100;
}

/** The progress line under the bar, as in "Загружено 1.50MB из 10.00MB (15.0%)". */
export function progressLine(downloaded: number, total: number | null): string {
  if (total === null) return `Загружено ${formatBytes(downloaded)}`;
  return `Загружено ${formatBytes(downloaded)} из ${formatBytes(total)} (${percentOf(downloaded, total).toFixed(1)}%)`;
}
