# SPDX-License-Identifier: GPL-3.0-or-later
"""What the browser adds to a change: from the Enter key in the front panel's frequency field
(headless Chromium driven by Selenium), which the page sends over its open WebSocket, to the `f`
frame's arrival at tavero-sim --pace, against the same frame sent by a SCPI line on the raw
socket, the bare path through the same server to the same exchange; aim at most 1.5 x. Also the
same Enter sent as a POST from the page, the same change posted as HTTP without a browser, and how long a FREQ set over SCPI takes to show on
the page, against the 1 s the page promises.

    python3 bench/front_panel_bench.py build/release/tools/tavero-sim build/release/tools/tavero-ctl
"""
import http.client
import json
import os
import socket
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from scpi_serve import Server  # noqa: E402

from selenium import webdriver  # noqa: E402
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402
from selenium.webdriver.support.ui import WebDriverWait  # noqa: E402

ROUNDS = 40


def frequencies():
    """Values that differ each round, so that every Enter sends a frame."""
    return [1000 + 0.25 * i for i in range(ROUNDS)]


def main(sim_path, ctl_path):
    server = Server(os.path.abspath(sim_path), os.path.abspath(ctl_path), pace=True,
                    options=["--http", "0"])
    try:
        server.sim.events(3)
        url = server.process.stdout.readline().strip().rsplit(" ", 1)[1]
        options = webdriver.ChromeOptions()
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                         "--disable-dev-shm-usage"):
            options.add_argument(argument)
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        try:
            driver.get(url)
            WebDriverWait(driver, 20).until(
                lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-live") == "open")
            field = driver.find_element(By.ID, "frequency")
            # The moment of the key in the browser's own clock (the system's wall clock, as
            # Python's), so that WebDriver's own round trip is not counted.
            driver.execute_script(
                "arguments[0].addEventListener('keydown', (e) => { if (e.key === 'Enter') "
                "window.enterAt = performance.timeOrigin + performance.now(); }, true);", field)
            def enter_rounds(offset):
                taken = []
                for value in frequencies():
                    field.click()
                    field.send_keys(Keys.CONTROL, "a")
                    field.send_keys(f"{value + offset:.2f}")
                    field.send_keys(Keys.ENTER)
                    server.sim.events(1)
                    arrived = time.time()
                    taken.append(arrived - driver.execute_script("return window.enterAt") / 1000)
                return taken

            page = enter_rounds(0)
            # The same Enter sent as the page sent it before it used its WebSocket: a POST.
            driver.execute_script(
                "arguments[0].form.addEventListener('submit', (e) => {"
                "  e.preventDefault(); e.stopImmediatePropagation();"
                "  fetch('/change', {method: 'POST', headers: {'Content-Type': 'application/json'},"
                "    body: JSON.stringify({control: 'frequency', value: arguments[0].value})});"
                "}, true);", field)
            page_posted = enter_rounds(1000)
            posted = []
            host = url.split("/")[2]
            connection = http.client.HTTPConnection(host)
            for value in frequencies():
                body = json.dumps({"control": "frequency", "value": f"{value + 3000:.2f}"})
                start = time.time()
                connection.request("POST", "/change", body, {"Origin": f"http://{host}"})
                server.sim.events(1)
                posted.append(time.time() - start)
                connection.getresponse().read()
            connection.close()
            bare = []
            shown = []
            with socket.create_connection(("127.0.0.1", server.port)) as scpi:
                scpi.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
                for value in frequencies():
                    start = time.time()
                    scpi.sendall(f"FREQ {value + 5000:.2f}\n".encode())
                    server.sim.events(1)
                    bare.append(time.time() - start)
                    WebDriverWait(driver, 5, poll_frequency=0.005).until(
                        lambda d, v=value: d.find_element(By.ID, "frequency-shown")
                        .get_attribute("textContent").replace("\u2009", "")
                        == f"{v + 5000:.2f}")
                    shown.append(time.time() - start)
        finally:
            driver.quit()
    finally:
        server.close()
    page_ms = statistics.median(page) * 1000
    bare_ms = statistics.median(bare) * 1000
    print(f"Enter in the page -> f frame at the generator: median {page_ms:.2f} ms "
          f"(max {max(page) * 1000:.2f} ms) over {ROUNDS} rounds")
    print(f"Enter in the page sent as a POST instead -> f frame: median "
          f"{statistics.median(page_posted) * 1000:.2f} ms; WebSocket / POST: "
          f"{page_ms / (statistics.median(page_posted) * 1000):.2f} x")
    print(f"HTTP POST of the same change without a browser -> f frame: median "
          f"{statistics.median(posted) * 1000:.2f} ms")
    print(f"SCPI line -> f frame at the generator:         median {bare_ms:.2f} ms "
          f"(max {max(bare) * 1000:.2f} ms)")
    print(f"ratio page / bare: {page_ms / bare_ms:.2f} x (aim <= 1.5 x); posted / bare: "
          f"{statistics.median(posted) * 1000 / bare_ms:.2f} x")
    print(f"FREQ over SCPI -> shown on the page: median {statistics.median(shown) * 1000:.1f} ms, "
          f"max {max(shown) * 1000:.1f} ms (promised <= 1000 ms)")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
