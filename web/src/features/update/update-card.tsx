import { format, isValid } from "date-fns";
import { useState } from "react";
import { Badge } from "@/components/ui/badge";
import { Button } from "@/components/ui/button";
import { Card, CardAction, CardContent, CardDescription, CardHeader, CardTitle } from "@/components/ui/card";
import { Progress } from "@/components/ui/progress";
import { errorText } from "@/lib/errors";
import { restart } from "@/lib/host/process";
import { download, install, type Update } from "@/lib/host/updater";
import { error } from "@/lib/toast";
import {
  applyDownloadEvent,
  CARD_TITLES,
  percentOf,
  progressLine,
  type UpdateCardState,
} from "./update-card-state";

/** A verified package together with the update record it was downloaded for. */
interface DownloadedPackage {
  updateRid: number;
  bytesRid: number;
}

function ReleaseDetails({ update }: { update: Update }) {
  const date = update.date === null ? null : new Date(update.date);
  return (
    <div className="flex flex-col gap-1 text-sm">
      <div>
        Версия: <Badge variant="outline">{update.currentVersion}</Badge> → <Badge>{update.version}</Badge>
      </div>
      {date && isValid(date) && <div>Дата выпуска: {format(date, "dd.MM.yyyy")}</div>}
      {update.body !== null && (
        <div className="mt-2">
          <div className="font-medium">📝 Заметка:</div>
          <div className="text-muted-foreground whitespace-pre-line">{update.body}</div>
        </div>
      )}
    </div>
  );
}

/**
 * The offered update and its way through download, installation and restart. "Установить" waits for the
 * downloaded package's id; a failed download or installation is reported and can be tried again.
 */
export function UpdateCard({ update }: { update: Update }) {
  const [state, setState] = useState<UpdateCardState>({ type: "info" });
  const [downloaded, setDownloaded] = useState<DownloadedPackage | null>(null);

  const startDownload = () => {
    const updateRid = update.rid;
    setDownloaded(null);
    setState({ type: "download", total: null, downloaded: 0 });
    download(updateRid, (event) => setState((current) => applyDownloadEvent(current, event))).then(
      (bytesRid) => setDownloaded({ updateRid, bytesRid }),
      (reason) => {
        error(`Не удалось загрузить обновление: ${errorText(reason)}`);
        setState({ type: "info" });
      },
    );
  };

  const startInstall = (pkg: DownloadedPackage) => {
    setState({ type: "install" });
    install(pkg.updateRid, pkg.bytesRid).then(
      () => setState({ type: "finished" }),
      (reason) => {
        error(`Не удалось установить обновление: ${errorText(reason)}`);
        setState({ type: "downloaded" });
      },
    );
  };

  return (
    <Card data-slot="update-card" className="gap-0 rounded-2xl p-2 shadow-md">
      <CardHeader className="px-0">
        <CardTitle className="text-lg">{CARD_TITLES[state.type]}</CardTitle>
        {state.type === "info" && (
          <CardAction>
            <Button className="cursor-pointer" onClick={startDownload}>
              Обновить
            </Button>
          </CardAction>
        )}
      </CardHeader>
      <CardContent className="px-0">
        {state.type === "info" && <ReleaseDetails update={update} />}
        {state.type === "download" && (
          <CardDescription className="flex flex-col gap-1">
            {state.total !== null && (
              <Progress className="h-4" value={Math.min(100, percentOf(state.downloaded, state.total))} />
            )}
            <span>{progressLine(state.downloaded, state.total)}</span>
          </CardDescription>
        )}
        {(state.type === "downloaded" || state.type === "install") && (
          <Button
            className="w-full cursor-pointer"
            disabled={state.type === "install" || downloaded === null}
            onClick={() => downloaded && startInstall(downloaded)}
          >
            {state.type === "install" ? "Установка" : "Установить"}
          </Button>
        )}
        {state.type === "finished" && (
          <Button className="w-full cursor-pointer" onClick={() => restart().catch(() => undefined)}>
            Перезапустить приложение
          </Button>
        )}
      </CardContent>
    </Card>
  );
}
