import { useEffect, useRef, useState } from "react";
import {
  ALL_SELECTED,
  gatherReport,
  withinSelection,
  type Selection,
  type SystemReport,
} from "./system-report";
import { error } from "@/lib/toast";

export interface SystemReportState {
  report: SystemReport | null;
  collecting: boolean;
  selection: Selection;
  setSelection(selection: Selection): void;
}

/**
 * Gathers the report at mount and again after each change of the selection. Runs may overlap; only the
 * latest one writes the report or reports a failure, and collecting stays true until it ends, so the report
 * shown and sent always belongs to the current selection. After a failure the previous report is kept, less
 * any category that is no longer selected.
 */
export function useSystemReport(): SystemReportState {
  const [report, setReport] = useState<SystemReport | null>(null);
  const [collecting, setCollecting] = useState(false);
  const [selection, setSelection] = useState<Selection>(ALL_SELECTED);
  const latestRun = useRef(0);

  useEffect(() => {
    const run = ++latestRun.current;
    const isLatest = () => run === latestRun.current;
    setCollecting(true);
    gatherReport(selection)
      .then(
        (gathered) => {
          if (isLatest()) setReport(gathered);
        },
        () => {
          if (!isLatest()) return;
          setReport((previous) => previous && withinSelection(previous, selection));
          error("Не удалось собрать данные. Попробуйте ещё раз.");
        },
      )
      .finally(() => {
        if (isLatest()) setCollecting(false);
      });
  }, [selection]);

  return { report, collecting, selection, setSelection };
}
