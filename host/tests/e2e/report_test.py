"""The system report dialog in the real launcher: what a collection endpoint on loopback receives
after clicking through the dialog, against the host's own commands and launcher-report."""
import json
import os
import shutil
import subprocess
import tempfile
import unittest

from launcher_e2e import BINARY, BOUND_SECONDS, WebDriver, e2e_fixtures, fresh_profile, wait_for
from loopback_servers import ReportCollector

REPORT_TOOL = os.path.join(os.path.dirname(os.path.abspath(BINARY)), "launcher-report")
CATEGORIES = ["system", "cpu", "gpu", "memory"]


def shape(value):
    """The structure of a JSON value: its keys, element shapes and scalar kinds."""
    if isinstance(value, dict):
        return {key: shape(item) for key, item in value.items()}
    if isinstance(value, list):
        return [shape(item) for item in value]
    if isinstance(value, bool) or value is None or isinstance(value, str):
        return type(value).__name__
    return "number"


def key_order(value):
    """The order of the keys of every object inside a JSON value (values WebDriver hands back
    do not keep it, so it is compared only between texts received as they were sent)."""
    if isinstance(value, dict):
        return [(key, key_order(item)) for key, item in value.items()]
    if isinstance(value, list):
        return [key_order(item) for item in value]
    return None


class ReportDialogTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        fixtures = e2e_fixtures()
        cls.home = tempfile.mkdtemp(prefix="launcher-report-e2e-")
        cls.env = fresh_profile(cls.home)
        cls.collector = ReportCollector(fixtures["report_port"]).__enter__()
        cls.endpoint_path = "/webhook/mrv-system-report"
        try:
            cls.driver = WebDriver(env=cls.env)
            wait_for(lambda: cls.driver.script(
                "return [...document.querySelectorAll('button')].some(b => b.textContent === 'Помочь улучшить игру');"
            ).get("ok"), what="the report button")
        except BaseException:
            cls.collector.__exit__(None, None, None)
            raise

    @classmethod
    def tearDownClass(cls):
        cls.driver.close()
        cls.collector.__exit__(None, None, None)
        shutil.rmtree(cls.home, ignore_errors=True)

    def run_script(self, source, *args):
        answer = self.driver.script(source, *args)
        self.assertIn("ok", answer, answer)
        return answer["ok"]

    def invoke(self, command):
        answer = self.driver.invoke(command)
        self.assertIn("ok", answer, f"{command}: {answer}")
        return answer["ok"]

    def dialog_state(self):
        """Whether the dialog is open, each box's state, Send's usability and the preview text."""
        return self.run_script("""
            const dialog = document.querySelector('[data-slot=alert-dialog-content]');
            if (!dialog) return {open: false};
            const send = [...dialog.querySelectorAll('button')].find(b => b.textContent === 'Отправить');
            const boxes = {};
            for (const key of args[0])
              boxes[key] = dialog.querySelector('#report-' + key).getAttribute('aria-checked') === 'true';
            const preview = dialog.querySelector('[data-slot=report-preview]');
            return {open: true, boxes, sendEnabled: !send.disabled, preview: preview && preview.textContent};""",
            CATEGORIES)

    def open_with(self, selected):
        """Opens the dialog with a click on its button, sets the check boxes by clicking their
        titles, and waits for the gathering of that selection to end."""
        self.driver.click_button("Помочь улучшить игру")
        wait_for(lambda: self.dialog_state()["open"], what="the report dialog")
        for key in CATEGORIES:
            if self.dialog_state()["boxes"][key] != (key in selected):
                self.driver.click(f"label[for=report-{key}]")
        wait_for(lambda: self.dialog_state()["boxes"] == {key: key in selected for key in CATEGORIES},
                 what="the selection")

    def send(self):
        """Presses Send; the one request the collector receives for it, and the toasts after it."""
        # An earlier test's toast may still cover the dialog's footer; it is closed first.
        self.run_script("document.querySelectorAll('[data-sonner-toast] [data-close-button]').forEach(b => b.click());")
        wait_for(lambda: not self.run_script("return document.querySelectorAll('[data-sonner-toast]').length;"),
                 what="earlier toasts gone")
        before = len(self.collector.requests)
        self.driver.click_button("Отправить")
        request = self.collector.wait_for_requests(before + 1)[before]
        wait_for(lambda: not self.dialog_state()["open"], what="the dialog closed")
        toasts = wait_for(lambda: self.run_script(
            "return [...document.querySelectorAll('[data-sonner-toast]')].map(t => t.textContent);"),
            what="a toast")
        return request, toasts

    def assert_simple_post(self, request):
        self.assertEqual((request["method"], request["path"]), ("POST", self.endpoint_path))
        headers = {name.lower(): value for name, value in request["headers"].items()}
        self.assertEqual(headers.get("content-type"), "text/plain;charset=UTF-8")
        self.assertNotIn("cookie", headers)
        self.assertNotIn("authorization", headers)

    def test_sent_report_is_the_one_the_host_commands_give(self):
        self.open_with(CATEGORIES)
        wait_for(lambda: self.dialog_state()["sendEnabled"], what="the gathering at start-up to end")
        request, toasts = self.send()
        self.assert_simple_post(request)
        self.assertIn("Спасибо :)", toasts)

        text = request["body"].decode("utf-8")
        sent = json.loads(text)
        self.assertEqual(list(sent), CATEGORIES)
        self.assertEqual(text, json.dumps(sent, ensure_ascii=False, separators=(",", ":")), "compact JSON")

        # The same commands called from the same page: the processor figures are measured once per
        # process, the adapters do not change; memory figures move, their totals do not.
        facts = self.run_script("return window.__TAURI_OS_PLUGIN_INTERNALS__;")
        self.assertEqual(sent["system"], {"arch": facts["arch"], "platform": facts["platform"],
                                          "type": facts["os_type"], "version": facts["version"],
                                          "locale": self.invoke("plugin:os|locale")})
        self.assertEqual(sent["cpu"], self.invoke("plugin:system-info|cpu_info"))
        self.assertEqual(sent["gpu"], self.invoke("list_gpus"))
        memory = self.invoke("plugin:system-info|memory_info")
        self.assertEqual(shape(sent["memory"]), shape(memory))
        self.assertEqual((sent["memory"]["total_memory"], sent["memory"]["total_swap"]),
                         (memory["total_memory"], memory["total_swap"]))
        self.assertGreater(sent["memory"]["total_memory"], 0)
        self.assertTrue(sent["gpu"], "at least one adapter (llvmpipe at least)")

        # The support tool builds the same report from the same code in another process.
        tool = json.loads(subprocess.run([REPORT_TOOL], capture_output=True, check=True, timeout=BOUND_SECONDS,
                                         env={**os.environ, **self.env}).stdout)
        self.assertEqual(list(tool), CATEGORIES)
        self.assertEqual(tool["system"], sent["system"])
        self.assertEqual(tool["gpu"], sent["gpu"])
        self.assertEqual(shape(tool["cpu"]), shape(sent["cpu"]))
        self.assertEqual(shape(tool["memory"]), shape(sent["memory"]))
        self.assertEqual(key_order(tool), key_order(sent))
        self.assertEqual(tool["memory"]["total_memory"], sent["memory"]["total_memory"])

    def test_preview_shows_the_sent_body_and_unselected_groups_are_null(self):
        self.open_with(["gpu"])
        if not self.dialog_state()["preview"]:
            wait_for(lambda: self.dialog_state()["sendEnabled"], what="the gathering to end")
            self.driver.click_button("Показать отправляемые данные")

        def gpu_only_preview():
            state = self.dialog_state()
            if not state["sendEnabled"] or not state["preview"]:
                return None
            report = json.loads(state["preview"])
            return state["preview"] if [report[k] is None for k in CATEGORIES] == [True, True, False, True] else None

        preview = wait_for(gpu_only_preview, what="the preview of the gpu-only report")
        request, _ = self.send()
        self.assert_simple_post(request)
        sent = json.loads(request["body"])
        self.assertEqual(sent, {"system": None, "cpu": None, "gpu": self.invoke("list_gpus"), "memory": None})
        self.assertEqual(preview, json.dumps(sent, ensure_ascii=False, indent=2), "the preview is the body indented")

        # Nothing selected: Send cannot be pressed.
        self.open_with([])
        wait_for(lambda: self.dialog_state()["preview"] == json.dumps(dict.fromkeys(CATEGORIES), indent=2),
                 what="the all-null preview")
        self.assertFalse(self.dialog_state()["sendEnabled"])
        self.driver.click_button("Отменить")
        wait_for(lambda: not self.dialog_state()["open"], what="the dialog closed by Cancel")
        self.assertTrue(all(r["method"] == "POST" for r in self.collector.requests), "no preflight request")


if __name__ == "__main__":
    unittest.main()
