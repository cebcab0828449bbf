import { fileURLToPath, URL } from "node:url";
import tailwindcss from "@tailwindcss/vite";
import react from "@vitejs/plugin-react";
import { defineConfig } from "vite";

// The host serves dist/ from its asset table; names are fixed so the table and the page agree:
// one script module "assets/index-[hash].js" and one stylesheet "assets/style-[hash].css".
export default defineConfig({
  base: "./",
  plugins: [react(), tailwindcss()],
  resolve: {
    alias: { "@": fileURLToPath(new URL("./src", import.meta.url)) },
  },
  build: {
    outDir: "dist",
    emptyOutDir: true,
    cssCodeSplit: false,
    modulePreload: false,
    // The Linux web view (WebKitGTK 2.50) and the Windows one (Chromium) both run modern modules.
    target: ["chrome120", "safari17"],
    rollupOptions: {
      output: {
        entryFileNames: "assets/index-[hash].js",
        chunkFileNames: "assets/index-[hash].js",
        assetFileNames: (asset) =>
          asset.names.some((name) => name.endsWith(".css"))
            ? "assets/style-[hash][extname]"
            : "assets/[name]-[hash][extname]",
      },
    },
  },
});
