"""The update prompt in the real launcher: a release made by scripts/publish-release and served
over TLS on loopback is checked for, downloaded with visible progress, verified, and handed to its
installer, after which the launcher is gone with exit code 0.

The release is a real MSI package (wixl): the hand-off starts it through "msiexec.exe", looked up
on PATH, where the test puts a recorder. (An NSIS package would be started directly, and the
hand-off writes it without an executable bit, which only Windows does not need.)"""
import datetime
import json
import os
import shutil
import stat
import subprocess
import tempfile
import unittest

from launcher_e2e import BINARY, BOUND_SECONDS, WebDriver, e2e_fixtures, fresh_profile, wait_for
from loopback_servers import UpdateServer

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = os.path.join(HERE, "..", "fixtures")
ROOT = os.path.join(HERE, "..", "..", "..")
NOTES = "Исправления:\n- быстрее  запуск\n- меньше    памяти"
# Bytes of the package sent before the server holds the rest back.
HELD_AFTER = 4096


def format_bytes(count):
    value, unit = float(count), "B"
    for bigger in ("KB", "MB"):
        if value < 1024:
            break
        value, unit = value / 1024, bigger
    return f"{value:.2f}{unit}"


class UpdateFlowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        fixtures = e2e_fixtures()
        cls.home = tempfile.mkdtemp(prefix="launcher-update-e2e-")
        work = lambda *names: os.path.join(cls.home, *names)
        for folder in ("package", "bin", "tmp"):
            os.makedirs(work(folder))

        # A real MSI package, signed and described by the studio's release script.
        shutil.copy(os.path.join(FIXTURES, "installer", "product.wxs"), work("package"))
        shutil.copy(os.path.join(FIXTURES, "installer", "payload.txt"), work("package"))
        subprocess.run(["wixl", "-o", "setup.msi", "product.wxs"], cwd=work("package"), check=True,
                       timeout=BOUND_SECONDS)
        base_url = fixtures["update_endpoint"].rsplit("/", 1)[0]
        subprocess.run([os.path.join(ROOT, "scripts", "publish-release"), "--installer", work("package", "setup.msi"),
                        "--version", "0.1.37", "--notes", NOTES, "--base-url", base_url,
                        "--secret-key", fixtures["minisign_secret_key"], "--out", work("release")],
                       check=True, timeout=BOUND_SECONDS, stdout=subprocess.DEVNULL)
        with open(work("release", "latest.json"), "rb") as f:
            cls.manifest = f.read()
        with open(work("release", "setup.msi"), "rb") as f:
            cls.package = f.read()

        # "msiexec.exe" on the launcher's PATH records how the hand-off started it.
        recorder = work("bin", "msiexec.exe")
        shutil.copy(os.path.join(FIXTURES, "shell", "record_args.sh"), recorder)
        os.chmod(recorder, stat.S_IRWXU)
        cls.record, cls.exit_record = work("installer-args"), work("exit-code")
        cls.temp = work("tmp")
        env = {**fresh_profile(cls.home), "PATH": work("bin") + os.pathsep + os.environ["PATH"], "TMPDIR": cls.temp,
               "RECORD_TO": cls.record, "LAUNCHER_BINARY": os.path.abspath(BINARY), "EXIT_RECORD_TO": cls.exit_record}
        env.pop("SYSTEMROOT", None)

        cls.server = UpdateServer(fixtures["update_port"], fixtures["server_cert"], fixtures["server_key"]).__enter__()
        cls.manifest_path = "/stable/latest.json"
        cls.package_path = "/stable/setup.msi"
        try:
            cls.driver = WebDriver(env=env, binary=os.path.join(FIXTURES, "shell", "record_exit.sh"))
        except BaseException:
            cls.server.__exit__(None, None, None)
            raise

    @classmethod
    def tearDownClass(cls):
        try:
            cls.driver.close()
        except AssertionError:
            pass  # the session ended with the launcher that installed the update
        cls.server.release()
        cls.server.__exit__(None, None, None)
        shutil.rmtree(cls.home, ignore_errors=True)

    def run_script(self, source, *args):
        answer = self.driver.script(source, *args)
        self.assertIn("ok", answer, answer)
        return answer["ok"]

    def toasts(self):
        return self.run_script("return [...document.querySelectorAll('[data-sonner-toast]')].map(t => t.textContent);")

    def card(self):
        """The update card as shown: title, text, buttons, the progress bar's value, and the notes
        with the number of lines they take; or None."""
        return self.run_script("""
            const card = document.querySelector('[data-slot=update-card]');
            if (!card) return null;
            const bar = card.querySelector('[data-slot=progress]');
            const heading = [...card.querySelectorAll('div')].find(d => d.textContent === '📝 Заметка:');
            const notes = heading && heading.nextElementSibling;
            const lines = document.createRange();
            if (notes) lines.selectNodeContents(notes);
            return {
              title: card.querySelector('[data-slot=card-title]').textContent,
              text: card.querySelector('[data-slot=card-content]').innerText,
              buttons: [...card.querySelectorAll('button')].map(b => [b.textContent, !b.disabled]),
              progress: bar && Number(bar.getAttribute('aria-valuenow')),
              notes: notes && {text: notes.textContent, lines: new Set([...lines.getClientRects()].map(r => r.top)).size},
            };""")

    def check(self):
        self.driver.click_button("Проверить обновления")

    def test_check_download_with_progress_then_installer_hand_off(self):
        settings = 'header button[aria-label="Настройки"]'
        wait_for(lambda: self.run_script("return !!document.querySelector(args[0]);", settings), what="the header")
        self.driver.click(settings)
        wait_for(lambda: self.run_script("return !!document.querySelector('[data-slot=dialog-content]');"),
                 what="the settings dialog")

        # No update announced (204): a toast, no card.
        self.server.routes[self.manifest_path] = 204
        self.check()
        wait_for(lambda: "Обновлений не найдено" in self.toasts(), what="the no-update toast")
        self.assertIsNone(self.card())

        # The release: the card with its versions, local date and notes.
        self.server.routes[self.manifest_path] = self.manifest
        self.server.routes[self.package_path] = self.package
        self.server.hold_after[self.package_path] = HELD_AFTER
        self.check()
        wait_for(lambda: "Найдено обновление" in self.toasts(), what="the update-found toast")
        published = datetime.datetime.fromisoformat(json.loads(self.manifest)["pub_date"].replace("Z", "+00:00"))
        card = self.card()
        self.assertEqual(card["title"], "🔄 Доступно обновление")
        self.assertEqual(card["buttons"], [["Обновить", True]])
        self.assertEqual(card["text"].splitlines()[:3], [
            "Версия: 0.1.36 → 0.1.37",
            f"Дата выпуска: {published.astimezone().strftime('%d.%m.%Y')}",
            "📝 Заметка:"])
        # The notes keep their line breaks on screen (WebKit's innerText does not show them).
        self.assertEqual(card["notes"], {"text": NOTES, "lines": 3})

        # The download, seen while the server holds back the rest of the package.
        self.driver.click_button("Обновить")
        total = len(self.package)
        percent = HELD_AFTER / total * 100
        line = f"Загружено {format_bytes(HELD_AFTER)} из {format_bytes(total)} ({percent:.1f}%)"
        held = wait_for(lambda: (lambda c: c if c and c["text"].strip() == line else None)(self.card()),
                        what=f"the progress line {line!r}")
        self.assertEqual(held["title"], "🔄 Загрузка")
        self.assertAlmostEqual(held["progress"], percent, places=3)

        self.server.release()
        wait_for(lambda: self.card()["buttons"] == [["Установить", True]], what="the verified package")
        self.assertEqual(self.card()["title"], "🔄 Установка")
        package_requests = [r for r in self.server.requests if r["path"] == self.package_path]
        self.assertEqual(len(package_requests), 1)

        # The hand-off: the launcher ends with code 0 and the installer is started on a copy of
        # the package, with the passive switches.
        self.driver.click_to_end('//button[normalize-space()="Установить"]', "xpath")
        wait_for(lambda: os.path.exists(self.exit_record), what="the launcher's exit")
        with open(self.exit_record) as f:
            self.assertEqual(f.read().strip(), "0")
        wait_for(lambda: os.path.exists(self.record), what="the installer started")
        with open(self.record, "rb") as f:
            args = [a.decode() for a in f.read().split(b"\0")[:-1]]
        self.assertEqual(args[:1] + args[2:], ["/i", "/passive", "/promptrestart", "AUTOLAUNCHAPP=True",
                                               "LAUNCHAPPARGS="])
        installer = args[1]
        self.assertEqual(os.path.dirname(os.path.dirname(installer)), self.temp)
        self.assertTrue(os.path.basename(os.path.dirname(installer)).startswith("Mirravel - Launcher-0.1.37-updater-"))
        self.assertEqual(os.path.basename(installer), "Mirravel - Launcher-0.1.37-installer.msi")
        with open(installer, "rb") as f:
            self.assertEqual(f.read(), self.package)


class ReplyTextTest(unittest.TestCase):
    """Texts from the network reach the page through the command bridge whole: NUL and characters
    of every length, in an answer and in an error; and an error never turns into an answer."""

    @classmethod
    def setUpClass(cls):
        fixtures = e2e_fixtures()
        cls.home = tempfile.mkdtemp(prefix="launcher-reply-e2e-")
        cls.server = UpdateServer(fixtures["update_port"], fixtures["server_cert"], fixtures["server_key"]).__enter__()
        try:
            cls.driver = WebDriver(env=fresh_profile(cls.home))
        except BaseException:
            cls.server.__exit__(None, None, None)
            raise

    @classmethod
    def tearDownClass(cls):
        cls.driver.close()
        cls.server.__exit__(None, None, None)
        shutil.rmtree(cls.home, ignore_errors=True)

    def check_with(self, manifest):
        self.server.routes["/stable/latest.json"] = manifest
        return self.driver.invoke("plugin:updater|check")

    def test_answers_and_errors_keep_every_character(self):
        notes = "a\0b ١ ™ 🎮"
        release = {"version": "0.1.37", "notes": notes, "url": "https://127.0.0.1:1/setup.msi", "signature": "s"}
        answer = self.check_with(json.dumps(release).encode())
        self.assertIn("ok", answer, answer)
        self.assertEqual((answer["ok"]["body"], answer["ok"]["rawJson"]["notes"]), (notes, notes))

        cases = [
            ({**release, "version": "0.1.37-١"}, "unexpected character '١' in pre-release identifier"),
            ({**release, "version": "0.1.37-a\0b"}, "unexpected character '\0' in pre-release identifier"),
        ]
        for manifest, error in cases:
            with self.subTest(version=manifest["version"]):
                self.assertEqual(self.check_with(json.dumps(manifest).encode()), {"error": error})

    def test_an_error_quoting_bytes_that_are_no_text_still_rejects(self):
        # The JSON reader's message quotes the byte it stopped at; the page gets U+FFFD for it.
        answer = self.check_with(b'{"version": "0.1.37", "notes": "\xff"}')
        self.assertIn("error", answer, answer)
        self.assertTrue(answer["error"].startswith("error decoding response body: "), answer)
        self.assertIn("\ufffd", answer["error"])


if __name__ == "__main__":
    unittest.main()
