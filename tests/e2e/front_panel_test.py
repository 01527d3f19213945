# SPDX-License-Identifier: GPL-3.0-or-later
"""The front panel of tavero-ctl serve --http in headless Chromium, driven by Selenium, against
tavero-sim on a pseudo-terminal: what the page sends reaches the generator, what the window
refuses does not, changes of other clients show without a reload, and requests that do not come
from the page itself are refused with nothing carried out; the server's bounds on slow, hostile
and many clients. Leaves screenshots of the page in the folder given as the third argument. Runs
in a network namespace of its own, where loopback is the only interface, every 127.x.y.z address
a client of its own and port 111 free; exits 77 where no namespace can be made, or Chromium or
Selenium is missing."""
import base64
import http.client
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import xml.etree.ElementTree as ElementTree

import network_namespace

network_namespace.enter()

import pyvisa  # noqa: E402

from scpi_serve import Server  # noqa: E402

SIM, CTL, SHOTS = sys.argv.pop(1), sys.argv.pop(1), sys.argv.pop(1)

try:
    from selenium import webdriver
    from selenium.common.exceptions import StaleElementReferenceException
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.actions.wheel_input import ScrollOrigin
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("skipped: python3-selenium is not installed")
    sys.exit(77)
CHROMIUM, DRIVER = shutil.which("chromium"), shutil.which("chromedriver")
if not CHROMIUM or not DRIVER:
    print("skipped: chromium or chromium-driver is not installed")
    sys.exit(77)

# Only a hang is guarded against: the page shows a change within one publish period.
WAIT_S = 20
FREQUENCY_REFUSED = ("Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
                     "Auflösung: 0.25 Hz\nMinimalfrequenz: 0.25 Hz\n"
                     "Maximalfrequenz: 30000000.00 Hz")
AMPLITUDE_REFUSED = ("Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
                     "Auflösung: 1 mV\nMinimum: 0 mV\nMaximum: 1000 mV")
THIN_SPACE = "\u2009"


def field_bytes(value, size):
    """A field as a frame carries it: `size` bytes, most significant first, two's complement."""
    return " ".join(f"{byte:02X}" for byte in (value % (1 << (8 * size))).to_bytes(size, "big"))


def frame(letter, *fields):
    """"w 00 01 86 A0 …" from (value, size) pairs."""
    return " ".join([letter] + [field_bytes(value, size) for value, size in fields])


def stored(state):
    """The page's state in the record's units, as the frames carry them."""
    centi = lambda text: round(float(text) * 100)  # noqa: E731
    deci = lambda text: round(float(text) * 10)  # noqa: E731
    factor, offset = int(state["pll-factor"]), centi(state["pll-offset"])
    return {
        # The synthesiser's frequency before the PLL stage, in 0.01 Hz; the offset is in 0.01 kHz.
        "synthesiser": (centi(state["frequency"]) - offset * 1000) // factor,
        "frequency": centi(state["frequency"]), "step": centi(state["step"]),
        "sweep-start": centi(state["sweep-start"]), "sweep-stop": centi(state["sweep-stop"]),
        "sweep-rate": deci(state["sweep-rate"]), "modulation-rate": deci(state["modulation-rate"]),
        "phase-deviation": int(state["phase-deviation"]),
        "frequency-deviation": centi(state["frequency-deviation"]), "depth": state["depth"],
        "am": state["am"], "keying": state["keying"],
        "modulation-source": state["modulation-source"],
        "pll-factor": factor, "pll-offset": offset,
    }


def dialog_frames(control, values):
    """The frames the window sends when its dialog takes the change of `control`."""
    if control.startswith("sweep-"):
        return [frame("w", (values["sweep-start"], 4), (values["sweep-stop"], 4),
                      (values["sweep-rate"], 2))]
    if control == "pll":
        # The PLL dialog's values go out on closing, with the frequency and the step.
        return [frame("f", (values["synthesiser"], 4)), frame("z", (values["step"], 4)),
                frame("t", (values["pll-factor"], 2)), frame("o", (values["pll-offset"], 4))]
    bits = ((1 if values["am"] else 0) | (2 if values["modulation-source"] == "external" else 0)
            | {"fsk": 0, "psk": 4, "ask": 8}[values["keying"]])
    return [frame("m", (bits, 1), (values["frequency-deviation"], 8),
                  (values["phase-deviation"], 2), (values["depth"], 1),
                  (values["modulation-rate"], 2))]


# A control of the sweep, modulation or PLL settings, what is typed or chosen (of two choices the
# one the record does not hold yet), and the values in the record it gives.
DIALOG_CASES = [
    ("sweep-start", ["1 kHz"], {"sweep-start": 100000}),
    ("sweep-stop", ["2,5 MHz"], {"sweep-stop": 250000000}),
    ("sweep-rate", ["2.5"], {"sweep-rate": 25}),
    ("modulation-rate", ["1k"], {"modulation-rate": 10000}),
    ("phase-deviation", ["90"], {"phase-deviation": 90}),
    ("frequency-deviation", ["-1,5 kHz"], {"frequency-deviation": -150000}),
    ("keying", ["psk", "ask"], {"keying": None}),
    ("modulation-source", ["external", "internal"], {"modulation-source": None}),
    ("am", ["on", "off"], {"am": None}),
    ("pll", [("2", "100 kHz")], {"pll-factor": 2, "pll-offset": 10000}),
    ("pll", [("1", "0")], {"pll-factor": 1, "pll-offset": 0}),
]


def task_list_file(path, frequencies_hz):
    """A task list of the window's format, each entry held 1 s, played once."""
    lines = [f'<Playlist Anzahl="{len(frequencies_hz)}" Schleife="0">']
    for number, hertz in enumerate(frequencies_hz, 1):
        lines.append(
            f'\t<Playlistelement_{number} Frequenz="{hertz * 100}" Minimalfrequenz="25" '
            'Maximalfrequenz="3000000000" Schrittweite="0" Amplitude="500" '
            'Wobbel-Startfrequenz="25" Wobbel-Stoppfrequenz="3000000000" Wobbel-Frequenz="100" '
            'Signalform="0" Modulationseinstellungen="0" Frequenzhub="1000000" Phasenhub="1" '
            'Amplitudenhub="100" Modulationsfrequenz="10000" Konfiguration="1" PLL-Faktor="1" '
            f'PLL-Offset="0" Duration="1" ElementNr="{number}">')
        lines.append(f"\t\tSinus {hertz} Hz")
        lines.append(f"\t</Playlistelement_{number}>")
    lines.append("</Playlist>")
    with open(path, "w", encoding="cp1252", newline="\r\n") as file:
        file.write("\n".join(lines) + "\n")


def browser(language):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                     "--disable-dev-shm-usage", f"--lang={language}",
                     "--window-size=1280,900"):
        options.add_argument(argument)
    options.add_experimental_option("prefs", {"intl.accept_languages": language})
    options.set_capability("goog:loggingPrefs", {"performance": "ALL"})
    return webdriver.Chrome(service=Service(DRIVER), options=options)


def websocket_handshake(port, host, origin, headers="", source="127.0.0.1"):
    """Opens /live with `host`, `origin` and further header lines from the address `source`;
    the connection and the answer's status."""
    connection = socket.create_connection(("127.0.0.1", port), source_address=(source, 0))
    connection.sendall((f"GET /live HTTP/1.1\r\nHost: {host}\r\nUpgrade: websocket\r\n"
                        "Connection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                        "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                        f"Origin: {origin}\r\n{headers}\r\n").encode())
    return connection, int(connection.makefile("rb").readline().split()[1])


def basic(password):
    return "Basic " + base64.b64encode(b"anyone:" + password.encode()).decode()


# The elements of an LXI identification's network interface, in the order the LXI schema wants
# them, after the instrument addresses.
NETWORK_INFORMATION = ["Hostname", "IPAddress", "SubnetMask", "MACAddress", "Gateway",
                       "DHCPEnabled", "AutoIPEnabled"]
LXI = "{http://www.lxistandard.org/InstrumentIdentification/1.0}"


class FrontPanel(unittest.TestCase):
    def setUp(self):
        self.server = Server(SIM, CTL, options=["--http", "0"], pluggable=True)
        self.addCleanup(self.server.close)
        self.sim = self.server.sim
        self.documents = os.path.join(self.server.folder.name, "Documents")
        self.assertEqual(self.sim.events(3), ["port opened", "x 01", "P"])
        line = self.server.process.stdout.readline().strip()
        self.assertTrue(line.startswith("Front panel on http://127.0.0.1:"), line)
        self.url = line.rsplit(" ", 1)[1]
        self.http_port = int(self.url.rstrip("/").rsplit(":", 1)[1])

    def open_page(self, language="de-DE"):
        driver = browser(language)
        self.addCleanup(driver.quit)
        driver.get(self.url)
        self.wait(driver, lambda d: d.find_element(By.TAG_NAME, "body").get_attribute(
            "data-live") == "open")
        return driver

    def wait(self, driver, condition):
        # The page replaces the profile list's options when it changes.
        WebDriverWait(driver, WAIT_S, ignored_exceptions=[StaleElementReferenceException]).until(
            condition)

    def state(self):
        connection = http.client.HTTPConnection("127.0.0.1", self.http_port, timeout=WAIT_S)
        connection.request("GET", "/state")
        state = json.loads(connection.getresponse().read())
        connection.close()
        return state

    def type_into(self, driver, control, text, enter=True):
        field = driver.find_element(By.ID, control)
        field.click()
        field.send_keys(Keys.CONTROL, "a")
        field.send_keys(Keys.DELETE)
        field.send_keys(text + (Keys.ENTER if enter else ""))

    def scpi(self, line):
        with socket.create_connection(("127.0.0.1", self.server.port)) as connection:
            connection.sendall(line.encode() + b"\n*OPC?\n")
            self.assertEqual(connection.makefile().readline().strip(), "1")

    def test_controls_send_their_frame_and_refused_values_nothing(self):
        driver = self.open_page()
        cases = [  # control, what is done, frame the generator receives, message beside it
            ("frequency", "2500\n", "f 00 03 D0 90", ""),
            ("frequency", "30000000.1\n", None, FREQUENCY_REFUSED),
            ("frequency", "12,5\n", "f 00 00 04 E2", ""),
            ("frequency", "1k\n", "f 00 01 86 A0", ""),
            ("frequency", "1,5 kHz\n", "f 00 02 49 F0", ""),
            ("frequency", "12abc\n", None, FREQUENCY_REFUSED),
            ("frequency", "1.000,5\n", None, FREQUENCY_REFUSED),
            ("frequency", "\n", None, FREQUENCY_REFUSED),
            ("amplitude", "1500\n", None, AMPLITUDE_REFUSED),
            ("amplitude", "abc\n", None, AMPLITUDE_REFUSED),
            ("amplitude", "\n", None, AMPLITUDE_REFUSED),
            ("amplitude", "1V\n", "g 03 E8", ""),
            ("amplitude", "250\n", "g 00 FA", ""),
            ("waveform", "square", "s 02", None),
            ("waveform", "square-half", "s 03", None),
        ]
        for control, action, frame, message in cases:
            with self.subTest(control=control, action=action):
                if control in ("frequency", "amplitude"):
                    field = driver.find_element(By.ID, control)
                    # Set again by the server's answer, which the wait is for.
                    driver.execute_script("arguments[0].removeAttribute('aria-invalid')", field)
                    self.type_into(driver, control, action.rstrip("\n"))
                    self.wait(driver, lambda d, f=field: f.get_attribute("aria-invalid"))
                    self.assertEqual(driver.find_element(By.ID, f"{control}-message")
                                     .get_attribute("textContent"), message)
                    self.assertEqual(field.get_attribute("aria-invalid"),
                                     "true" if message else "false")
                else:
                    driver.find_element(
                        By.CSS_SELECTOR, f'input[name="{control}"][value="{action}"]').click()
                if frame:
                    # The frame follows the one before it: a refused value sent nothing between.
                    self.assertEqual(self.sim.events(1), [frame])
        self.wait(driver, lambda d: d.find_element(By.ID, "amplitude-shown").get_attribute(
            "textContent") == "250")

    def test_changes_of_other_clients_and_an_unplugged_generator_show_without_a_reload(self):
        driver = self.open_page()
        self.assertEqual(driver.find_element(By.ID, "connection").text, "verbunden")
        cases = [  # SCPI line, element, what it shows
            ("FREQ 1234.5", "frequency-shown", f"1{THIN_SPACE}234.50"),
            ("FREQ 29999999.75", "frequency-shown",
             f"29{THIN_SPACE}999{THIN_SPACE}999.75"),
            ("VOLT 0.125", "amplitude-shown", "125"),
        ]
        for line, element, shown in cases:
            with self.subTest(line=line):
                self.scpi(line)
                self.wait(driver, lambda d, e=element, s=shown: d.find_element(
                    By.ID, e).get_attribute("textContent") == s)
        self.scpi("FUNC TRI;:SWE:STAT ON;:OUTP:FILT OFF")
        self.wait(driver, lambda d: d.find_element(
            By.CSS_SELECTOR, 'input[name="mode"][value="sweep"]').is_selected())
        self.assertTrue(driver.find_element(
            By.CSS_SELECTOR, 'input[name="waveform"][value="triangle"]').is_selected())
        self.assertFalse(driver.find_element(By.ID, "filter").is_selected())
        body = driver.find_element(By.TAG_NAME, "body")
        self.assertEqual(body.get_attribute("data-generator"), "connected")
        # Unplugged, the digits dim; plugged in again, serve takes it back with nothing done.
        self.sim.stop()
        self.wait(driver, lambda d: d.find_element(By.ID, "connection").text == "nicht verbunden")
        self.assertEqual(body.get_attribute("data-generator"), "disconnected")
        plugged = time.monotonic()
        self.server.plug()
        self.wait(driver, lambda d: d.find_element(By.ID, "connection").text == "verbunden")
        print(f"replugged generator shown after {time.monotonic() - plugged:.2f} s",
              file=sys.stderr)
        self.assertEqual(body.get_attribute("data-generator"), "connected")
        self.assertEqual(self.server.sim.events(3), ["port opened", "x 01", "P"])

    def test_page_reconnects_when_the_server_comes_back(self):
        driver = self.open_page()
        status, errors = self.server.stop()
        self.assertEqual(status, 0, errors)
        self.assertEqual(self.sim.events(2), ["x 00", "port closed"])
        self.wait(driver, lambda d: d.find_element(By.ID, "server").is_displayed())
        # Under the banner nothing claims what the server no longer says.
        self.assertEqual(driver.find_element(By.ID, "connection").text, "unbekannt")
        again = subprocess.Popen(
            [CTL, "--port", self.sim.path, "serve", "--listen", "127.0.0.1:0", "--http",
             f"127.0.0.1:{self.http_port}"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            text=True, cwd=self.server.folder.name,
            env=dict(os.environ, XDG_DATA_HOME=self.server.folder.name))
        self.addCleanup(again.stdout.close)
        self.addCleanup(again.wait)
        self.addCleanup(again.terminate)
        self.assertTrue(again.stdout.readline().startswith("Listening on"))
        self.assertEqual(again.stdout.readline().strip(), f"Front panel on {self.url}")
        self.wait(driver, lambda d: not d.find_element(By.ID, "server").is_displayed())
        self.assertEqual(driver.find_element(By.ID, "connection").text, "verbunden")

    def test_requests_not_from_the_page_itself_change_nothing(self):
        driver = self.open_page()
        self.type_into(driver, "frequency", "3000")
        self.assertEqual(self.sim.events(1), ["f 00 04 93 E0"])
        host = f"127.0.0.1:{self.http_port}"
        # What the page's own change would be as a request of its origin.
        headers = {"Origin": f"http://{host}", "Content-Type": "application/json"}
        body = json.dumps({"control": "frequency", "value": "4000"})
        cases = [  # what is replaced in the page's own request, status
            ({"Origin": "http://evil.example"}, 403),
            ({"Origin": "null"}, 403),
            ({"Host": f"evil.example:{self.http_port}"}, 421),
            ({"Host": "127.0.0.1:1"}, 421),
        ]
        for replaced, status in cases:
            with self.subTest(replaced=replaced):
                self.assertEqual(self.post("/change", body, {**headers, "Host": host,
                                                             **replaced}), status)
        for origin, status in (("http://evil.example", 403), (f"http://{host}", 101)):
            with self.subTest(websocket_origin=origin):
                connection, answered = websocket_handshake(self.http_port, host, origin)
                connection.close()
                self.assertEqual(answered, status)
        # As the page's own, it is carried out, and its frame is the first since the page's.
        self.assertEqual(self.post("/change", body, {**headers, "Host": host}), 200)
        self.assertEqual(self.sim.events(1), ["f 00 06 1A 80"])

    def test_profiles_are_the_windows_file_and_store_and_load_say_so(self):
        driver = self.open_page()
        self.wait(driver, lambda d: len(d.find_elements(By.CSS_SELECTOR, "#profile-list option"))
                  == 50)
        driver.find_element(By.CSS_SELECTOR, '#profile-list option[value="3"]').click()
        profile_file = os.path.join(self.server.folder.name, "Tavero", "Profile", "Profile.pro")
        name = driver.find_element(By.ID, "profile-name")
        cases = [  # name, what the message says, what the confirmation says, name kept
            ("Quarz 4 MHz", "", "Profil 3 gespeichert", "Quarz 4 MHz"),
            ("Filter 1 kΩ", "Der Profilname enthält Zeichen, die in der Profildatei\n"
             "nicht gespeichert werden können: Ω", "", "Quarz 4 MHz"),
        ]
        for typed, message, done, kept in cases:
            with self.subTest(name=typed):
                name.clear()
                name.send_keys(typed)
                driver.find_element(By.ID, "profile-store").click()
                self.wait(driver, lambda d, m=message, o=done: (
                    d.find_element(By.ID, "profile-message").get_attribute("textContent"),
                    d.find_element(By.ID, "profile-done").get_attribute("textContent"))
                    == (m, o))
                self.assertEqual(driver.find_element(
                    By.CSS_SELECTOR, '#profile-list option[value="3"]').text, f"3: {kept}")
                with open(profile_file, encoding="cp1252") as saved:
                    self.assertIn(kept, saved.read())
        driver.find_element(By.ID, "profile-load").click()
        self.assertTrue(self.sim.events(1)[0].startswith("p 00 01 86 A0"))
        self.wait(driver, lambda d: d.find_element(By.ID, "profile-done").text
                  == "Profil 3 geladen")

    def test_dialog_settings_send_the_windows_frames_in_both_languages(self):
        # Each language at one of the two widths: the layout decides nothing the frames show.
        for language, width in [("de-DE", 360), ("en-US", 1280)]:
            driver = self.open_page(language)
            driver.set_window_size(width, 900)
            for control, choices, values in DIALOG_CASES:
                current = self.state()
                now = ("on" if current["am"] else "off") if control == "am" else current.get(
                    control)
                choice = next(c for c in choices if c != now or len(choices) == 1)
                with self.subTest(language=language, width=width, control=control,
                                  choice=choice):
                    expected = stored(current)
                    expected.update({key: value if value is not None else
                                     choice == "on" if key == "am" else choice
                                     for key, value in values.items()})
                    if control == "pll":
                        self.type_into(driver, "pll-factor", choice[0], enter=False)
                        self.type_into(driver, "pll-offset", choice[1])
                    elif control == "am":
                        driver.find_element(By.ID, "am").click()
                    elif len(choices) > 1:
                        driver.find_element(
                            By.CSS_SELECTOR, f'input[name="{control}"][value="{choice}"]').click()
                    else:
                        self.type_into(driver, control, choice)
                    frames = dialog_frames(control, expected)
                    self.assertEqual(self.sim.events(len(frames)), frames)
                    message = "pll-message" if control == "pll" else f"{control}-message"
                    if driver.find_elements(By.ID, message):
                        self.assertEqual(driver.find_element(By.ID, message).text, "")

    def test_digits_step_by_click_key_and_wheel(self):
        driver = self.open_page()
        start = stored(self.state())["frequency"]
        amplitude = self.state()["amplitude"]
        # The page draws the digits anew with every value it is sent.
        digit = lambda row, position: driver.find_element(  # noqa: E731
            By.CSS_SELECTOR, f'#{row}-digits [data-position="{position}"]')
        digit("frequency", 5).click()
        self.assertEqual(digit("frequency", 5).get_attribute("aria-pressed"), "true")
        steps = [  # what is done, the frame it sends
            (lambda: driver.find_element(
                By.CSS_SELECTOR, '.arrow[data-control="frequency"][data-direction="up"]').click(),
             frame("f", (start + 100000, 4))),
            (lambda: digit("frequency", 5).send_keys(Keys.ARROW_UP),
             frame("f", (start + 200000, 4))),
            (lambda: ActionChains(driver).scroll_from_origin(
                ScrollOrigin.from_element(digit("frequency", 5)), 0, 120).perform(),
             frame("f", (start + 100000, 4))),
            (lambda: driver.find_element(By.ID, "step-up").click(),
             frame("f", (start + 100000 + stored(self.state())["step"], 4))),
            (lambda: digit("amplitude", 1).click(), None),
            (lambda: digit("amplitude", 1).send_keys(Keys.ARROW_UP),
             frame("g", (amplitude + 10 if amplitude <= 990 else amplitude, 2))),
        ]
        for number, (action, sent) in enumerate(steps):
            with self.subTest(step=number):
                action()
                if sent:
                    self.assertEqual(self.sim.events(1), [sent])
        shown = f"{(start + 100000 + stored(self.state())['step']) / 100:.2f}"
        self.wait(driver, lambda d: d.find_element(By.ID, "frequency-shown").get_attribute(
            "textContent").replace(THIN_SPACE, "") == shown)

    def test_task_list_played_from_the_page_shows_its_steps_live_and_ends(self):
        os.makedirs(self.documents, exist_ok=True)
        task_list_file(os.path.join(self.documents, "kurz.tvr"), [1000, 2000])
        driver = self.open_page()
        self.wait(driver, lambda d: d.find_elements(
            By.CSS_SELECTOR, '#task-list-file option[value="kurz.tvr"]'))
        # Every text the step shows, as it shows it.
        driver.execute_script(
            "window.shownSteps = [];"
            "new MutationObserver(() => window.shownSteps.push("
            "  document.getElementById('task-list-step').textContent + ' | ' +"
            "  document.getElementById('task-list-remaining').textContent))"
            ".observe(document.getElementById('task-list-status'),"
            "  {childList: true, subtree: true, characterData: true});")
        driver.find_element(By.ID, "task-list-start").click()
        self.assertTrue(self.sim.events(1)[0].startswith("p 00 01 86 A0"))
        self.assertTrue(self.sim.events(1)[0].startswith("p 00 03 0D 40"))
        self.wait(driver, lambda d: d.find_element(By.ID, "task-list-step").text
                  == "Aufgabenliste beendet")
        shown = driver.execute_script("return window.shownSteps")
        for step in ("1 / 2 (kurz.tvr)", "2 / 2 (kurz.tvr)"):
            self.assertTrue(any(re.fullmatch(re.escape(step) + r" \| \d+ s", text)
                                for text in shown), shown)
        self.assertEqual(driver.find_element(By.ID, "task-list-message").text, "")
        # The same file uploaded plays in a loop until stopped.
        driver.find_element(By.ID, "task-list-upload").send_keys(
            os.path.join(self.documents, "kurz.tvr"))
        driver.find_element(By.ID, "task-list-loop").click()
        driver.find_element(By.ID, "task-list-start").click()
        for first_bytes in ("p 00 01 86 A0", "p 00 03 0D 40", "p 00 01 86 A0"):
            self.assertTrue(self.sim.events(1)[0].startswith(first_bytes))
        self.wait(driver, lambda d: d.find_element(By.ID, "task-list-step").text.endswith(
            " / 2 (kurz.tvr)"))
        driver.find_element(By.ID, "task-list-stop").click()
        self.wait(driver, lambda d: d.find_element(By.ID, "task-list-step").text
                  == "Aufgabenliste beendet")
        self.assertEqual(driver.find_element(By.ID, "task-list-message").text, "")
        # A list that stops because the generator went says so, and not that it ended.
        driver.find_element(By.ID, "task-list-start").click()
        self.assertTrue(self.sim.events(1)[0].startswith("p 00 01 86 A0"))
        self.sim.stop()
        self.wait(driver, lambda d: d.find_element(By.ID, "task-list-message").text != "")
        self.assertEqual(driver.find_element(By.ID, "task-list-step").text, "\u2014")

    def post(self, path, body, headers):
        connection = http.client.HTTPConnection("127.0.0.1", self.http_port)
        connection.putrequest("POST", path, skip_host=True, skip_accept_encoding=True)
        for name, value in headers.items():
            if name.lower() != "content-length":
                connection.putheader(name, value)
        connection.putheader("Content-Length", str(len(body.encode())))
        connection.endheaders(body.encode())
        status = connection.getresponse().status
        connection.close()
        return status

    def test_page_in_both_languages_fits_a_phone_and_leaves_screenshots(self):
        os.makedirs(SHOTS, exist_ok=True)
        cases = [  # Accept-Language, legend of the waveforms, page language, empty profile
            ("de-DE", "Signalform", "de", "-- leeres Profil --"),
            ("en-US", "Waveform", "en", "-- empty profile --"),
        ]
        for language, legend, lang, empty in cases:
            driver = self.open_page(language)
            for width in (1280, 360):
                with self.subTest(language=language, width=width):
                    driver.set_window_size(width, 900)
                    driver.refresh()
                    self.wait(driver, lambda d: d.find_element(
                        By.TAG_NAME, "body").get_attribute("data-live") == "open")
                    self.assertEqual(driver.find_element(By.TAG_NAME, "html").get_attribute(
                        "lang"), lang)
                    self.assertEqual(driver.find_element(By.TAG_NAME, "legend").text, legend)
                    self.wait(driver, lambda d, e=empty: d.find_element(
                        By.CSS_SELECTOR, '#profile-list option[value="1"]').text == f"1: {e}")
                    inner = driver.execute_script("return window.innerWidth")
                    self.assertLessEqual(driver.execute_script(
                        "return document.documentElement.scrollWidth"), inner)
                    for control in driver.find_elements(By.CSS_SELECTOR,
                                                        "input, select, button"):
                        self.assertTrue(driver.execute_script(
                            "return arguments[0].labels.length > 0 || "
                            "arguments[0].hasAttribute('aria-label') || "
                            "arguments[0].textContent.trim() !== ''", control),
                            control.get_attribute("outerHTML"))
                    driver.set_window_size(width, driver.execute_script(
                        "return document.documentElement.scrollHeight") + 120)
                    path = os.path.join(SHOTS, f"front-panel-{lang}-{width}.png")
                    self.assertTrue(driver.save_screenshot(path), path)


class FrontPanelBounds(unittest.TestCase):
    """Without a browser: the password file and the bound on open pages."""

    def setUp(self):
        self.password = tempfile.NamedTemporaryFile("w", suffix=".txt")
        self.password.write("geheim\nnot read\n")
        self.password.flush()
        self.addCleanup(self.password.close)
        self.server = Server(SIM, CTL, options=["--http", "0", "--http-password-file",
                                                self.password.name])
        self.addCleanup(self.server.close)
        self.assertEqual(self.server.sim.events(3), ["port opened", "x 01", "P"])
        url = self.server.process.stdout.readline().strip().rsplit(" ", 1)[1]
        self.port = int(url.rstrip("/").rsplit(":", 1)[1])
        self.host = f"127.0.0.1:{self.port}"

    def test_changes_need_the_password_of_the_file(self):
        body = json.dumps({"control": "frequency", "value": "2500"})
        cases = [  # Authorization, status
            (None, 401),
            ("Basic " + base64.b64encode(b"anyone:wrong").decode(), 401),
            ("Basic " + base64.b64encode(b"geheim").decode(), 401),
            ("Bearer geheim", 401),
            ("Basic " + base64.b64encode(b"anyone:geheim").decode(), 200),
        ]
        for authorization, status in cases:
            with self.subTest(authorization=authorization):
                connection = http.client.HTTPConnection("127.0.0.1", self.port)
                headers = {"Content-Type": "application/json"}
                if authorization:
                    headers["Authorization"] = authorization
                connection.request("POST", "/change", body, headers)
                self.assertEqual(connection.getresponse().status, status)
                connection.close()
        # Only the last was carried out.
        self.assertEqual(self.server.sim.events(1), ["f 00 03 D0 90"])

    def test_pages_beyond_the_bound_are_refused_until_one_closes(self):
        pages = []
        for _ in range(64):
            page, status = self.handshake()
            pages.append(page)
            self.assertEqual(status, 101)
        extra, status = self.handshake()
        extra.close()
        self.assertEqual(status, 503)
        pages.pop().close()
        for _ in range(20):  # the server may see the close after the next handshakes
            page, status = self.handshake()
            pages.append(page)
            if status == 101:
                break
        self.assertEqual(status, 101)
        for page in pages:
            page.close()
        # Pages that closed leave no trace: more of them than the server holds connections,
        # one after the other, are all served.
        for _ in range(300):
            page, status = self.handshake()
            page.close()
            self.assertEqual(status, 101)

    def handshake(self, password="geheim", origin=None):
        return websocket_handshake(self.port, self.host, origin or f"http://{self.host}",
                                   f"Authorization: {basic(password)}\r\n")

    def ask(self, method, path, authorization=None, body=None):
        """The status, headers and body of one request to the page's server."""
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=WAIT_S)
        headers = {"Authorization": authorization} if authorization else {}
        connection.request(method, path, body, headers)
        response = connection.getresponse()
        answer = (response.status, dict(response.getheaders()), response.read())
        connection.close()
        return answer

    def test_every_request_but_the_identification_needs_the_password(self):
        right = basic("geheim")
        cases = [  # method, path, Authorization, status, body expected
            ("GET", "/", None, 401, b"Password required\n"),
            ("GET", "/state", right, 200, None),
            ("HEAD", "/", right, 200, b""),
            ("HEAD", "/", None, 401, b""),
            ("PUT", "/", right, 405, b"Method not allowed\n"),
            ("GET", "/lxi/identification", None, 200, None),
            ("HEAD", "/lxi/identification", None, 200, b""),
        ]
        for method, path, authorization, status, body in cases:
            with self.subTest(method=method, path=path, authorization=authorization):
                answered, headers, content = self.ask(method, path, authorization)
                self.assertEqual(answered, status)
                if body is not None:
                    self.assertEqual(content, body)
                if method == "HEAD" and status == 200:
                    self.assertGreater(int(headers["Content-Length"]), 0)
        _, status = self.handshake(password="")
        self.assertEqual(status, 401)

    def test_wrong_passwords_are_slowed_and_logged_once(self):
        wrong, right = basic("falsch"), basic("geheim")
        statuses = [self.ask("GET", "/state", wrong)[0] for _ in range(6)]
        # Five go free; after the sixth its address waits, and not even the right one is tried.
        self.assertEqual(statuses, [401] * 6)
        status, headers, body = self.ask("GET", "/state", right)
        self.assertEqual(status, 429, body)
        self.assertIn(b"Too many wrong passwords", body)
        # Another address is not held up by this one's guesses.
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=WAIT_S,
                                                source_address=("127.0.0.9", 0))
        connection.request("GET", "/state", headers={"Authorization": right})
        self.assertEqual(connection.getresponse().status, 200)
        connection.close()
        status, errors = self.server.stop()
        self.assertEqual(status, 0, errors)
        lines = [line for line in errors.splitlines() if "wrong password" in line]
        self.assertEqual(lines, ["tavero-ctl: front panel: wrong password from 127.0.0.1"])

    def test_a_body_over_the_bound_gets_413_before_it_is_sent(self):
        # The whole body sent anyway, as clients do: it is read and dropped, not reset.
        status, headers, body = self.ask("POST", "/change", basic("geheim"), b"x" * 200_000)
        self.assertEqual(status, 413)
        self.assertEqual(headers["Connection"], "close")

    def test_identification_names_the_interface_and_what_is_served_on_it(self):
        status, _, body = self.ask("GET", "/lxi/identification")
        self.assertEqual(status, 200)
        device = ElementTree.fromstring(body)
        self.assertEqual(device.tag, LXI + "LXIDevice")
        interface = device.find(LXI + "Interface")
        self.assertEqual(interface.get("InterfaceType"), "LXI")
        self.assertEqual(interface.get("IPType"), "IPv4")
        self.assertEqual(interface.get("InterfaceName"), "lo")
        names = [child.tag.removeprefix(LXI) for child in interface]
        self.assertEqual(names, ["InstrumentAddressString"] * 2 + NETWORK_INFORMATION)
        values = {child.tag.removeprefix(LXI): child.text for child in interface}
        self.assertEqual(values["IPAddress"], "127.0.0.1")
        self.assertEqual(values["SubnetMask"], "255.0.0.0")
        self.assertEqual(values["Hostname"], socket.gethostname())
        self.assertIn(values["DHCPEnabled"], ("true", "false"))
        self.assertEqual([child.text for child in interface][:2], [
            "TCPIP::127.0.0.1::INSTR", f"TCPIP::127.0.0.1::{self.server.port}::SOCKET"])
        self.assertEqual(device.find(LXI + "LXIVersion").text, "1.4")

    def test_a_page_that_answers_no_ping_is_closed(self):
        page, status = self.handshake()
        self.assertEqual(status, 101)
        page.settimeout(WAIT_S)
        # Read, as the system would, but never answered: the server closes it.
        while page.recv(4096):
            pass
        page.close()

    def test_refused_handshakes_write_a_line_a_minute(self):
        for _ in range(200):
            page, status = self.handshake(origin="http://evil.example")
            page.close()
            self.assertEqual(status, 403)
        status, errors = self.server.stop()
        self.assertEqual(status, 0, errors)
        lines = errors.splitlines()
        self.assertEqual(len([line for line in lines if "refused a live page" in line]), 1, errors)
        self.assertLessEqual(len([line for line in lines if "WebSocket" in line]), 1, errors)

class SlowClients(threading.Thread):
    """`count` connections from `addresses` in turn, each sending a request a byte at a time and
    never its end, and opened again whenever the server closes one, as a slowloris attack does."""

    REQUEST = b"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: " + b"a" * 4000

    def __init__(self, port, addresses, count):
        super().__init__(daemon=True)
        self.port, self.addresses, self.count = port, addresses, count
        self.stopping = threading.Event()
        self.reopened = 0
        # Set once the server has closed as many as it holds: the attack is in full swing.
        self.cycling = threading.Event()

    def open(self, number):
        client = socket.socket()
        client.bind((self.addresses[number % len(self.addresses)], 0))
        client.setblocking(False)
        client.connect_ex(("127.0.0.1", self.port))
        return [client, 0]

    def run(self):
        clients = [self.open(number) for number in range(self.count)]
        while not self.stopping.is_set():
            for number, held in enumerate(clients):
                client, sent = held
                try:
                    if client.recv(1) == b"":
                        raise ConnectionError("closed")
                except BlockingIOError:
                    pass  # still open: nothing came, as nothing whole was asked
                except OSError:
                    client.close()
                    clients[number] = self.open(number)
                    self.reopened += 1
                    if self.reopened >= self.count:
                        self.cycling.set()
                    continue
                try:
                    held[1] += client.send(self.REQUEST[sent:sent + 1])
                except (BlockingIOError, ConnectionError):
                    pass
            self.stopping.wait(0.5)  # the attack's own pace: a byte per connection per turn
        for client, _ in clients:
            client.close()


class FrontPanelUnderAttack(unittest.TestCase):
    """300 slow connections from 20 addresses and 64 pages that never read from another hold the
    server while a browser and a VISA client from a third address come."""

    def test_a_new_page_and_a_visa_client_are_served_and_the_attackers_closed(self):
        server = Server(SIM, CTL, options=["--http", "0"])
        self.addCleanup(server.close)
        self.assertEqual(server.sim.events(3), ["port opened", "x 01", "P"])
        url = server.process.stdout.readline().strip().rsplit(" ", 1)[1]
        port = int(url.rstrip("/").rsplit(":", 1)[1])
        host = f"127.0.0.1:{port}"
        slow_addresses = [f"127.0.1.{n}" for n in range(1, 21)]
        holder = "127.0.2.1"
        slow = SlowClients(port, slow_addresses, 300)
        slow.start()
        self.addCleanup(slow.join)
        self.addCleanup(slow.stopping.set)
        held = []
        for _ in range(64):
            page, status = websocket_handshake(port, host, f"http://{host}", source=holder)
            held.append(page)
            self.assertEqual(status, 101)
        self.addCleanup(lambda: [page.close() for page in held])
        self.assertTrue(slow.cycling.wait(WAIT_S))

        started = time.monotonic()
        driver = browser("de-DE")
        self.addCleanup(driver.quit)
        browser_ready = time.monotonic()
        driver.get(url)
        WebDriverWait(driver, WAIT_S).until(
            lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-live") == "open")
        field = driver.find_element(By.ID, "frequency")
        field.click()
        field.send_keys(Keys.CONTROL, "a")
        field.send_keys("2345", Keys.ENTER)
        self.assertEqual(server.sim.events(1), ["f 00 03 94 04"])
        applied = time.monotonic()
        print(f"under attack: Chromium started in {browser_ready - started:.2f} s, the page "
              f"loaded and applied a frequency {applied - browser_ready:.2f} s later "
              f"({slow.reopened} slow connections were closed and opened again meanwhile)")

        resources = pyvisa.ResourceManager("@py")
        instrument = resources.open_resource("TCPIP::127.0.0.1::INSTR", read_termination="\n",
                                             write_termination="\n", timeout=WAIT_S * 1000)
        self.assertEqual(instrument.query("FREQ?"), "2345.00")
        instrument.close()
        resources.close()

        slow.stopping.set()
        status, errors = server.stop()
        self.assertEqual(status, 0, errors)
        closed = re.findall(r"closed .* of (\S+) to serve (\S+)", errors)
        self.assertTrue(closed, errors)
        for loser, _ in closed:
            self.assertIn(loser, slow_addresses + [holder], errors)


if __name__ == "__main__":
    unittest.main()
