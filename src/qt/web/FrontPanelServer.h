// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QSet>
#include <QTranslator>
#include <QWebSocket>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "model/GeneratorObserver.h"
#include "qt/network/ListenAddress.h"
#include "qt/web/BoundedTcpServer.h"
#include "qt/web/RequestGuard.h"
#include "scpi/ErrorQueue.h"
#include "scpi/Instrument.h"

class QHttpServerRequest;

namespace tavero::qt {

/// The front panel page for browsers, beside the SCPI server and on the same instrument: the
/// page and its files from the program's resources, the settings as JSON and pushed over a
/// WebSocket on every change of the generator model, changes checked with the window's rules and
/// carried out as SCPI lines, and the LXI identification. Answers only requests that name the
/// server in their Host and, for changes and WebSockets, come from its own page.
class FrontPanelServer : public QAbstractHttpServer, private model::GeneratorObserver {
    Q_OBJECT
public:
    /// The most live pages at once; one more is refused until another closes.
    static constexpr int kMaxPages = 64;
    /// A page whose browser leaves this much of the updates unread is closed; it reconnects.
    static constexpr qint64 kMaxUnsentUpdateBytes = 256 * 1024;

    /// @param environment the instrument's; its profile file is the page's
    /// @param scpiPort the raw socket's port, for the instrument addresses shown
    /// @param password asked before every change when not empty
    FrontPanelServer(scpi::Instrument& instrument, const scpi::InstrumentEnvironment& environment,
                     quint16 scpiPort, QByteArray password, QObject* parent = nullptr);
    ~FrontPanelServer() override;

    /// False when the address cannot be listened on; errorText() says why.
    bool listen(const ListenAddress& address);
    QString errorText() const { return tcp_.errorString(); }
    /// "http://127.0.0.1:8080/"
    QString pageAddress() const;
    quint16 port() const { return tcp_.serverPort(); }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    /// Every request was answered in handleRequest(); nothing is left to say.
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    bool handleUpgrade(const QHttpServerRequest& request, QTcpSocket* socket);
    void respond(const QHttpServerRequest& request, QTcpSocket* socket, int status,
                 const QByteArray& type, const QByteArray& body);
    void answerGet(const QHttpServerRequest& request, QTcpSocket* socket);
    void answerChange(const QHttpServerRequest& request, QTcpSocket* socket);
    void answerProfile(const QHttpServerRequest& request, QTcpSocket* socket);
    void adoptPage();
    /// Sends the settings to every live page when they changed.
    void publish();
    QByteArray stateJson();
    QByteArray profilesJson(const QTranslator* catalogue);
    QByteArray identificationXml(const QByteArray& host, const QTcpSocket& socket);
    /// The manufacturer, model, serial number and firmware revision *IDN? answers.
    QList<QByteArray> identity();
    /// The LXI addresses for the host the browser named.
    QList<QByteArray> instrumentAddresses(const QByteArray& host) const;
    /// Carries out one SCPI line for the page that sent `request`; the message of its first
    /// error, or nothing.
    std::optional<std::string> execute(const std::string& line, const QHttpServerRequest& request);
    void settingsChanged(const model::SettingsNotice& notice) override;
    void connectionChanged(const model::ConnectionNotice& notice) override;
    bool passwordGiven(const QHttpServerRequest& request) const;
    const QTranslator* catalogueFor(const QHttpServerRequest& request) const;

    scpi::Instrument& instrument_;
    const scpi::InstrumentEnvironment& environment_;
    quint16 scpiPort_;
    QByteArray password_;
    BoundedTcpServer tcp_;
    std::optional<RequestGuard> guard_;
    QTranslator english_;
    bool englishLoaded_ = false;
    scpi::ErrorQueue queue_;
    std::vector<std::unique_ptr<QWebSocket>> pages_;
    /// Subscribed to the generator model once listening.
    bool listening_ = false;
    QByteArray shownState_;
};

}  // namespace tavero::qt
