import { toast } from "sonner";

// The toast functions every feature uses; all of them land in the page's one toaster.

export function message(text: string): string | number {
  return toast(text);
}

export function success(text: string): void {
  toast.success(text);
}

export function info(text: string): void {
  toast.info(text);
}

export function error(text: string): void {
  toast.error(text);
}

export function dismiss(id: string | number): void {
  toast.dismiss(id);
}
