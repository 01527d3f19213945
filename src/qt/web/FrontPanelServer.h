// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QJsonObject>
#include <QStringList>
#include <QTimer>
#include <QTranslator>
#include <filesystem>
#include <optional>
#include <ostream>

#include "model/GeneratorObserver.h"
#include "qt/network/LineLimiter.h"
#include "qt/network/ListenAddress.h"
#include "qt/web/BoundedTcpServer.h"
#include "qt/web/LivePages.h"
#include "qt/web/PasswordAttempts.h"
#include "qt/web/QtWarningLimit.h"
#include "qt/web/RequestGuard.h"
#include "scpi/ErrorQueue.h"
#include "scpi/Instrument.h"

class QHttpServerRequest;
class QWebSocket;

namespace tavero::qt {

/// The front panel page for browsers, beside the SCPI server and on the same instrument: the
/// page and its files from the program's resources, the settings as JSON and pushed over a
/// WebSocket on every change of the generator model, changes sent back over it (or posted),
/// checked with the window's rules and carried out as edits of the generator model, the
/// profiles, the task lists of the documents folder, and the LXI identification. Answers only
/// requests that name the server in their Host and, for changes and WebSockets, come from its own
/// page; with a password, only requests that bring it, but for the identification.
class FrontPanelServer : public QAbstractHttpServer, private model::GeneratorObserver {
    Q_OBJECT
public:
    /// A client that leaves this much of its answers unread is closed.
    static constexpr qint64 kMaxUnsentAnswerBytes = 256 * 1024;

    /// Where the instrument serves beside the page, for the addresses it names.
    struct ServedInstrument {
        QHostAddress host;           ///< the SCPI server's listen address
        quint16 scpiPort = 0;        ///< the raw socket's port; 0 without one
        bool vxi11Findable = false;  ///< VXI-11 clients find it through the port mapper
    };

    /// @param environment the instrument's; its profile file is the page's
    /// @param served where the instrument serves beside the page
    /// @param password asked with every request but the identification when not empty
    /// @param log gets a line a minute per address for refused clients and wrong passwords
    /// @param taskListFolder where the page finds stored task lists, as the window's dialog
    ///        does: the documents folder
    FrontPanelServer(scpi::Instrument& instrument, const scpi::InstrumentEnvironment& environment,
                     ServedInstrument served, QByteArray password, std::ostream& log,
                     std::filesystem::path taskListFolder, QObject* parent = nullptr);
    ~FrontPanelServer() override;

    /// False when the address cannot be listened on; errorText() says why.
    bool listen(const ListenAddress& address);
    QString errorText() const { return tcp_.errorString(); }
    /// "http://127.0.0.1:8080/"; for an any-address those of this computer, e.g.
    /// "http://192.168.1.20:8080/ and http://127.0.0.1:8080/".
    QString pageAddress() const;
    quint16 port() const { return tcp_.serverPort(); }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    /// Every request was answered in handleRequest(); nothing is left to say.
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    bool handleUpgrade(const QHttpServerRequest& request, QTcpSocket* socket);
    /// Answers `status` with `body`; a HEAD request gets the headers alone.
    void respond(const QHttpServerRequest& request, QTcpSocket* socket, int status,
                 const QByteArray& type, const QByteArray& body);
    /// Answers a WebSocket handshake that is refused, with a line a minute per address.
    void refuseUpgrade(const QHttpServerRequest& request, QTcpSocket* socket, int status,
                       const QByteArray& reason);
    /// Whether the request brings the password; if not, it is answered 401, or 429 while its
    /// address must wait after wrong ones.
    bool authorized(const QHttpServerRequest& request, QTcpSocket* socket);
    void answerGet(const QHttpServerRequest& request, QTcpSocket* socket);
    /// A change or an action the page asks for, in its answer's status and body.
    struct PanelAnswer {
        int status;        ///< 200 done, 422 refused by the window's rules, 400 unknown, 503 failed
        QJsonObject body;  ///< "message" and what else the action gives back
    };
    /// Carries out `request`: {"action": "change", "control", "value", "offset"}, "connect",
    /// {"action": "load" or "store", "number", "name"}, {"action": "play", "file" or "content",
    /// "loop"} or "stop".
    PanelAnswer act(const QJsonObject& request, const QTranslator* catalogue, const QString& peer);
    PanelAnswer change(const QJsonObject& request, const QTranslator* catalogue,
                       const QString& peer);
    PanelAnswer toggleConnection(const QTranslator* catalogue, const QString& peer);
    PanelAnswer storeProfile(const QJsonObject& request, const QTranslator* catalogue);
    PanelAnswer loadProfile(const QJsonObject& request, const QTranslator* catalogue,
                            const QString& peer);
    PanelAnswer play(const QJsonObject& request, const QTranslator* catalogue, const QString& peer);
    /// Answers an action posted by a client without the page's WebSocket.
    void answerPosted(const QHttpServerRequest& request, QTcpSocket* socket, QJsonObject action);
    /// Answers what a live page sent: {"id", "lang", ...an action}, with {"reply": id, "ok", ...}.
    void answerLive(QWebSocket& page, const QString& message);
    void adoptPage();
    /// Sends the settings to every live page when they changed.
    void publish();
    /// Keeps what stopped a task list the page started: its run tells the page's queue.
    void noteTaskListFailure();
    QByteArray stateJson();
    QJsonObject profilesJson(const QTranslator* catalogue);
    /// The stored task lists' file names, sorted.
    QStringList taskListFiles() const;
    /// Runs advanceTaskList() when the next step of a running task list falls due.
    void scheduleTaskList();
    QByteArray identificationXml(const QByteArray& host, const QTcpSocket& socket);
    /// The manufacturer, model, serial number and firmware revision *IDN? answers.
    QList<QByteArray> identity();
    /// The VISA addresses of the instrument at the local address a client reached: only those
    /// served there.
    QList<QByteArray> instrumentAddresses(const QHostAddress& local) const;
    void settingsChanged(const model::SettingsNotice& notice) override;
    void connectionChanged(const model::ConnectionNotice& notice) override;
    bool passwordRight(const QByteArray& authorization) const;
    const QTranslator* catalogueFor(const QHttpServerRequest& request) const;

    scpi::Instrument& instrument_;
    const scpi::InstrumentEnvironment& environment_;
    ServedInstrument served_;
    QByteArray password_;
    std::ostream& log_;
    QtWarningLimit warningLimit_;
    BoundedTcpServer tcp_;
    std::optional<RequestGuard> guard_;
    QTranslator english_;
    bool englishLoaded_ = false;
    std::filesystem::path taskListFolder_;
    scpi::ErrorQueue queue_;
    QTimer taskListTimer_;
    /// The name of the task list the page plays.
    QString playedName_;
    /// Why the task list the page played last stopped before its end; empty when it did not.
    std::string taskListFailure_;
    LivePages pages_;
    PasswordAttempts attempts_;
    LineLimiter refusedLines_;
    LineLimiter passwordLines_;
    /// Subscribed to the generator model once listening.
    bool listening_ = false;
    QByteArray shownState_;
};

}  // namespace tavero::qt
