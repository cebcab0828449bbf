// Lets an element marked with data-tauri-drag-region stand in for a title bar: a left-button
// press on the element itself (not on anything inside it) moves the window, and a double-click
// there toggles maximisation. A value of "false" switches the behaviour off for that element.
(() => {
  const attribute = "data-tauri-drag-region";

  document.addEventListener("mousedown", (event) => {
    const target = event.target;
    if (event.button !== 0 || !(target instanceof Element)) return;
    if (!target.hasAttribute(attribute) || target.getAttribute(attribute) === "false") return;
    const bridge = window.__TAURI_INTERNALS__;
    if (!bridge) return;
    // Keep the press from selecting text or focusing anything while the window moves.
    event.preventDefault();
    const command = event.detail === 2 ? "plugin:window|internal_toggle_maximize" : "plugin:window|start_dragging";
    bridge.invoke(command).catch(() => {});
  });
})();
