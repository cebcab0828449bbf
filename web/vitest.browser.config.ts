import { defineConfig } from "vitest/config";

// Browser tests (after `vite build`, see the test:browser script) drive Debian's Chromium through playwright-core against the built dist/.
export default defineConfig({
  test: {
    environment: "node",
    include: ["e2e/**/*.test.ts"],
    // Bounds for a hang, far above what a test takes on a machine busy with other work.
    testTimeout: 120_000,
    hookTimeout: 120_000,
    expect: { poll: { timeout: 15_000 } },
    fileParallelism: false,
  },
});
