import { defineConfig } from "vitest/config";

// Browser tests (after `vite build`, see the test:browser script) drive Debian's Chromium through playwright-core against the built dist/.
export default defineConfig({
  test: {
    environment: "node",
    include: ["e2e/**/*.test.ts"],
    testTimeout: 30_000,
    hookTimeout: 60_000,
    fileParallelism: false,
  },
});
