import { ChevronDownIcon, ChevronUpIcon } from "lucide-react";
import { useState, type ReactElement } from "react";
import { useTranslation } from "react-i18next";
import {
  AlertDialog,
  AlertDialogAction,
  AlertDialogCancel,
  AlertDialogContent,
  AlertDialogDescription,
  AlertDialogFooter,
  AlertDialogHeader,
  AlertDialogTitle,
  AlertDialogTrigger,
} from "@/components/ui/alert-dialog";
import { Button } from "@/components/ui/button";
import { Checkbox } from "@/components/ui/checkbox";
import { Label } from "@/components/ui/label";
import { ScrollArea } from "@/components/ui/scroll-area";
import { useSystemReport } from "./use-system-report";
import { success } from "@/lib/toast";
import { CATEGORIES, nothingSelected, sendReport } from "./system-report";

/**
 * The consent dialog for the system report. Its state lives in this component, which stays mounted with the
 * coming-soon card, so the choices and the preview survive closing and reopening the dialog.
 */
export function SystemReportDialog({ trigger }: { trigger: ReactElement }) {
  const { t } = useTranslation();
  const { report, collecting, selection, setSelection } = useSystemReport();
  const [showData, setShowData] = useState(false);

  return (
    <AlertDialog>
      <AlertDialogTrigger asChild>{trigger}</AlertDialogTrigger>
      <AlertDialogContent>
        <AlertDialogHeader>
          <AlertDialogTitle>{t("telemetry.title")}</AlertDialogTitle>
        </AlertDialogHeader>
        <ScrollArea className="max-h-[68vh]">
          <AlertDialogDescription>{t("telemetry.description")}</AlertDialogDescription>
          <br />
          <div className="flex flex-col gap-2">
            {CATEGORIES.map(({ key, title }) => (
              <div key={key} className="flex items-center gap-3">
                <Checkbox
                  id={`report-${key}`}
                  checked={selection[key]}
                  onCheckedChange={(checked) => setSelection({ ...selection, [key]: checked === true })}
                />
                <Label htmlFor={`report-${key}`} className="cursor-pointer">
                  {title}
                </Label>
              </div>
            ))}
          </div>
          {showData ? (
            <Button variant="ghost" className="mt-4 w-full cursor-pointer" onClick={() => setShowData(false)}>
              <ChevronUpIcon />
              {t("telemetry.hide")}
            </Button>
          ) : (
            <Button
              variant="ghost"
              className="mt-4 w-full cursor-pointer"
              disabled={collecting}
              onClick={() => setShowData(true)}
            >
              {collecting ? (
                t("telemetry.collecting")
              ) : (
                <>
                  <ChevronDownIcon />
                  {t("telemetry.show")}
                </>
              )}
            </Button>
          )}
          {showData && report && (
            <pre
              data-slot="report-preview"
              className="bg-muted mt-3 overflow-auto rounded-md p-3 font-mono text-xs whitespace-pre-wrap wrap-anywhere"
            >
              {JSON.stringify(report, null, 2)}
            </pre>
          )}
        </ScrollArea>
        <AlertDialogFooter>
          <AlertDialogCancel className="cursor-pointer">{t("telemetry.cancel")}</AlertDialogCancel>
          <AlertDialogAction
            className="cursor-pointer"
            disabled={collecting || nothingSelected(selection)}
            onClick={() => {
              sendReport(report);
              success("Спасибо :)");
            }}
          >
            {t("telemetry.send")}
          </AlertDialogAction>
        </AlertDialogFooter>
      </AlertDialogContent>
    </AlertDialog>
  );
}
