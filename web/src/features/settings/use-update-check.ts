import { useCallback, useState } from "react";
import { check, type Update } from "@/lib/host/updater";
import { dismiss, error, info, message, success } from "@/lib/toast";

export interface UpdateCheck {
  update: Update | null;
  checking: boolean;
  runCheck(): void;
}

/** The last check's result and whether a check is running; a failed check keeps the earlier result. */
export function useUpdateCheck(): UpdateCheck {
  const [update, setUpdate] = useState<Update | null>(null);
  const [checking, setChecking] = useState(false);

  const runCheck = useCallback(() => {
    const pending = message("Проверка обновлений...");
    setChecking(true);
    check().then(
      (result) => {
        setChecking(false);
        setUpdate(result);
        dismiss(pending);
        if (result === null) success("Обновлений не найдено");
        else info("Найдено обновление");
      },
      () => {
        error("Ошибка при проверке обновлений");
        setChecking(false);
      },
    );
  }, []);

  return { update, checking, runCheck };
}
