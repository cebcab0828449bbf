import type { CSSProperties } from "react";
import { Toaster as Sonner } from "sonner";

// One toaster per page. It follows the operating system's light or dark preference, not the chosen theme.
export function Toaster() {
  return (
    <Sonner
      data-slot="toaster"
      theme="system"
      expand
      richColors
      closeButton
      duration={5000}
      className="toaster group pointer-events-none fixed z-[100000]"
      toastOptions={{
        className: "pointer-events-auto z-[100000]",
        classNames: { closeButton: "cursor-pointer" },
      }}
      style={
        {
          "--normal-bg": "var(--popover)",
          "--normal-text": "var(--popover-foreground)",
          "--normal-border": "var(--border)",
        } as CSSProperties
      }
    />
  );
}
