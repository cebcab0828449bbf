import { RefreshCcwIcon } from "lucide-react";
import { Button } from "@/components/ui/button";

export function UpdateCheckButton({ checking, onCheck }: { checking: boolean; onCheck: () => void }) {
  return (
    <Button variant="ghost" className="w-full cursor-pointer" disabled={checking} onClick={onCheck}>
      <RefreshCcwIcon />
      Проверить обновления
    </Button>
  );
}
