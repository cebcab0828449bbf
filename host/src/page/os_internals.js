// Platform facts, fixed when the host started; the host writes each value in as a string literal.
// A property defined with a value only can be neither reassigned, enumerated, deleted nor
// redefined by the page's own scripts.
Object.defineProperty(window, "__TAURI_OS_PLUGIN_INTERNALS__", {
  value: {
    eol: __OS_EOL__,
    os_type: __OS_TYPE__,
    platform: __OS_PLATFORM__,
    family: __OS_FAMILY__,
    version: __OS_VERSION__,
    arch: __OS_ARCH__,
    exe_extension: __OS_EXE_EXTENSION__,
  },
});
