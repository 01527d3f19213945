// SPDX-License-Identifier: GPL-3.0-or-later
// How soon the window shows a change made over the network: from a FREQ line on the raw SCPI
// socket to the paint of the window's frequency digits showing the new value, the window and
// its services in one process on the simulated generator, as `tavero --simulator --serve`
// runs them. Aim: median at most 100 ms.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/CTaveroApp.h"
#include "app/DigitDisplay.h"
#include "link/TraceFile.h"
#include "model/GeneratorModel.h"
#include "qt/PictureWidget.h"
#include "qt/QtHost.h"
#include "qt/remote/RemoteOptions.h"
#include "qt/remote/WindowRemoteServices.h"
#include "res/MainWindowIds.h"
#include "res/ProgramTemplates.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"
#include "store/AtomicFileWriter.h"

namespace {

constexpr int kChanges = 60;
/// In 0.01 Hz: the first value sent; each change adds one 0.25 Hz step.
constexpr std::int64_t kFirstCentiHz = 100025;
constexpr std::int64_t kStepCentiHz = 25;

/// Sends the FREQ lines one after another, each once the digits painted the one before, and
/// keeps how long each took.
class RepaintProbe final : public QObject {
public:
    RepaintProbe(const QWidget& window, quint16 scpiPort) : scpiPort_(scpiPort) {
        for (const int id : tavero::res::kFrequencyDigitIds) {
            digits_.push_back(window.findChild<tavero::qt::PictureWidget*>(QString::number(id)));
        }
    }

    bool start() {
        if (std::find(digits_.begin(), digits_.end(), nullptr) != digits_.end()) {
            std::cerr << "window_repaint_bench: the window has no frequency digits\n";
            return false;
        }
        socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        socket_.connectToHost(QStringLiteral("127.0.0.1"), scpiPort_);
        if (!socket_.waitForConnected(5000)) {
            std::cerr << "window_repaint_bench: no SCPI socket: "
                      << socket_.errorString().toStdString() << '\n';
            return false;
        }
        qApp->installEventFilter(this);
        sendNext();
        return true;
    }

    const std::vector<double>& millis() const { return millis_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && expected_ &&
            std::find(digits_.begin(), digits_.end(), watched) != digits_.end() &&
            showsExpected()) {
            millis_.push_back(static_cast<double>(sent_.nsecsElapsed()) / 1e6);
            expected_.reset();
            // After this paint, not inside it.
            QTimer::singleShot(0, this, [this] { sendNext(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool showsExpected() const {
        for (std::size_t i = 0; i < digits_.size(); ++i) {
            if (digits_[i]->picture() != expected_->digits[i]) {
                return false;
            }
        }
        return true;
    }

    void sendNext() {
        if (millis_.size() == kChanges) {
            QCoreApplication::exit(0);
            return;
        }
        const std::int64_t centiHz =
            kFirstCentiHz + kStepCentiHz * static_cast<std::int64_t>(millis_.size());
        expected_ = tavero::app::frequencyReadout(centiHz);
        char line[64];
        std::snprintf(line, sizeof line, "FREQ %lld.%02lld\n",
                      static_cast<long long>(centiHz / 100), static_cast<long long>(centiHz % 100));
        sent_.start();
        if (socket_.write(line) < 0 || !socket_.flush()) {
            std::cerr << "window_repaint_bench: cannot send: "
                      << socket_.errorString().toStdString() << '\n';
            QCoreApplication::exit(1);
        }
    }

    quint16 scpiPort_;
    std::vector<tavero::qt::PictureWidget*> digits_;
    QTcpSocket socket_;
    QElapsedTimer sent_;
    std::optional<tavero::app::FrequencyReadout> expected_;
    std::vector<double> millis_;
};

/// The port of "Listening on HOST:PORT", or 0.
quint16 listeningPort(const std::string& said) {
    const std::string prefix = "Listening on ";
    const std::size_t at = said.find(prefix);
    const std::size_t line = said.find('\n', at);
    if (at == std::string::npos || line == std::string::npos) {
        return 0;
    }
    const std::string address = said.substr(at + prefix.size(), line - at - prefix.size());
    return static_cast<quint16>(std::stoul(address.substr(address.rfind(':') + 1)));
}

}  // namespace

int main(int argc, char** argv) {
    const QTemporaryDir home;
    if (!home.isValid()) {
        std::cerr << "window_repaint_bench: no temporary folder\n";
        return 1;
    }
    // The window's data and settings go to a folder of the run's own.
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    tavero::sim::SimulatedGenerator simulated;
    tavero::sim::SimulatedBridge bridge(simulated);
    std::ostringstream diagnostics;
    tavero::link::TraceFile trace((home.path() + "/out.txt").toStdString());
    tavero::model::GeneratorModel generator(bridge, trace, diagnostics);
    tavero::qt::QtHost host(tavero::res::programTemplates());
    tavero::store::AtomicFileWriter fileWriter;
    tavero::app::CTaveroApp app(host, generator, fileWriter);
    std::ostringstream said;
    tavero::qt::WindowRemoteServices services({.generator = generator,
                                               .profileFile = {},
                                               .fileWriter = fileWriter,
                                               .out = said,
                                               .errors = std::cerr});
    if (!services.start({.listen = "127.0.0.1:0", .vxi11 = false})) {
        return 1;
    }
    const quint16 port = listeningPort(said.str());
    std::optional<RepaintProbe> probe;
    bool started = false;
    // Once the window is on screen and connected: the first turn of its event loop.
    QTimer::singleShot(0, &application, [&] {
        QWidget* window = host.frontWidget();
        if (window == nullptr) {
            QCoreApplication::exit(1);
            return;
        }
        probe.emplace(*window, port);
        started = probe->start();
        if (!started) {
            QCoreApplication::exit(1);
        }
    });
    app.run(true);
    if (!started || probe->millis().size() != kChanges) {
        std::cerr << "window_repaint_bench: the run did not finish\n";
        return 1;
    }
    std::vector<double> millis = probe->millis();
    std::sort(millis.begin(), millis.end());
    std::cout << "FREQ over SCPI -> the window's digits repainted: median "
              << millis[millis.size() / 2] << " ms, max " << millis.back() << " ms over "
              << kChanges << " changes (aim <= 100 ms)\n";
    return 0;
}
