// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/FrontPanelServer.h"

#include <QFile>
#include <QHostInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QTcpSocket>
#include <QUrl>
#include <QXmlStreamWriter>
#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <variant>

#include "core/NumberText.h"
#include "ctl/ProfileFileAccess.h"
#include "model/OutputFrequency.h"
#include "qt/i18n/TextTranslation.h"
#include "qt/i18n/Translations.h"
#include "qt/web/PanelChange.h"
#include "qt/web/PanelTexts.h"

// Outside any namespace, as Qt's macro needs: a static library's resources are registered by
// hand, or the linker leaves them out.
static void registerPageResources() {
    Q_INIT_RESOURCE(front_panel);
}

namespace tavero::qt {

namespace {

using Status = QHttpServerResponder::StatusCode;

constexpr char kContentSecurityPolicy[] =
    "default-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
constexpr char kJson[] = "application/json";
constexpr char kText[] = "text/plain; charset=utf-8";
/// A change's body is a small JSON object; more is no page's.
constexpr qsizetype kMaxChangeBytes = 4096;

constexpr std::array<std::string_view, 4> kWaveformValues = {"sine", "triangle", "square",
                                                             "square-half"};

QString modeValue(const GeneratorSettings& settings) {
    switch (settings.konfiguration & kKonfigurationBetriebsartMask) {
        case kBetriebsartWobbeln:
            return QStringLiteral("sweep");
        case kBetriebsartModulation:
            return QStringLiteral("modulation");
        default:
            return QStringLiteral("standard");
    }
}

QByteArray resource(const QString& name) {
    QFile file(QStringLiteral(":/panel/") + name);
    // The files are built into the program: a missing one is a build fault, not a user's.
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray messageJson(const QString& message) {
    return QJsonDocument(QJsonObject{{"message", message}}).toJson(QJsonDocument::Compact);
}

/// The host part of a Host header, brackets of an IPv6 address kept.
QByteArray hostName(const QByteArray& host) {
    const QUrl url(QStringLiteral("http://") + QString::fromLatin1(host) + '/');
    const QString name = url.host();
    return (name.contains(':') ? '[' + name + ']' : name).toUtf8();
}

}  // namespace

FrontPanelServer::FrontPanelServer(scpi::Instrument& instrument,
                                   const scpi::InstrumentEnvironment& environment, quint16 scpiPort,
                                   QByteArray password, QObject* parent)
    : QAbstractHttpServer(parent),
      instrument_(instrument),
      environment_(environment),
      scpiPort_(scpiPort),
      password_(std::move(password)) {
    registerPageResources();
    for (const QString& folder : Translations::defaultCatalogueFolders()) {
        if (!englishLoaded_) {
            englishLoaded_ = english_.load(QStringLiteral("tavero_en"), folder);
        }
    }
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, &FrontPanelServer::adoptPage);
}

FrontPanelServer::~FrontPanelServer() {
    if (listening_) {
        instrument_.generatorModel().unsubscribe(*this);
    }
    instrument_.forget(queue_);
}

void FrontPanelServer::settingsChanged(const model::SettingsNotice& /*notice*/) {
    publish();
}

void FrontPanelServer::connectionChanged(const model::ConnectionNotice& /*notice*/) {
    publish();
}

bool FrontPanelServer::listen(const ListenAddress& address) {
    if (!tcp_.listen(address.host, address.port)) {
        return false;
    }
    QStringList names{QHostInfo::localHostName()};
    if (!QHostInfo::localDomainName().isEmpty()) {
        names.append(QHostInfo::localHostName() + '.' + QHostInfo::localDomainName());
    }
    guard_.emplace(address.host, tcp_.serverPort(), names, QNetworkInterface::allAddresses());
    bind(&tcp_);
    shownState_ = stateJson();
    instrument_.generatorModel().subscribe(*this);
    listening_ = true;
    return true;
}

QString FrontPanelServer::pageAddress() const {
    return QStringLiteral("http://") + addressText(tcp_.serverAddress(), tcp_.serverPort()) + '/';
}

void FrontPanelServer::respond(const QHttpServerRequest& request, QTcpSocket* socket, int status,
                               const QByteArray& type, const QByteArray& body) {
    QHttpServerResponder responder = makeResponder(request, socket);
    const auto code = static_cast<Status>(status);
    if (code == Status::Unauthorized) {
        responder.write(body,
                        {{"Content-Type", type},
                         {"Content-Security-Policy", kContentSecurityPolicy},
                         {"WWW-Authenticate", "Basic realm=\"Tavero\", charset=\"UTF-8\""},
                         {"Cache-Control", "no-store"}},
                        code);
        return;
    }
    responder.write(body,
                    {{"Content-Type", type},
                     {"Content-Security-Policy", kContentSecurityPolicy},
                     {"X-Content-Type-Options", "nosniff"},
                     {"Referrer-Policy", "no-referrer"},
                     {"Vary", "Accept-Language"},
                     {"Cache-Control", "no-store"}},
                    code);
}

bool FrontPanelServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    tcp_.requestSeen(socket);
    if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0) {
        return handleUpgrade(request, socket);
    }
    // A client that does not read its answers is not sent more of them.
    if (socket->bytesToWrite() > kMaxUnsentUpdateBytes) {
        socket->abort();
        return true;
    }
    const QByteArray host = request.value("host");
    if (!guard_->hostAllowed(host)) {
        respond(request, socket, 421, kText, "Misdirected request: unknown host\n");
        return true;
    }
    if (request.method() == QHttpServerRequest::Method::Get) {
        answerGet(request, socket);
        return true;
    }
    if (request.method() != QHttpServerRequest::Method::Post) {
        respond(request, socket, 405, kText, "Method not allowed\n");
        return true;
    }
    if (!RequestGuard::originAllowed(request.value("origin"), host)) {
        respond(request, socket, 403, kText, "Forbidden: not sent by this server's page\n");
        return true;
    }
    if (!passwordGiven(request)) {
        respond(request, socket, 401, kText, "Password required\n");
        return true;
    }
    if (request.body().size() > kMaxChangeBytes) {
        respond(request, socket, 413, kText, "Request too large\n");
        return true;
    }
    const QString path = request.url().path();
    if (path == QLatin1String("/change")) {
        answerChange(request, socket);
    } else if (path == QLatin1String("/profile")) {
        answerProfile(request, socket);
    } else {
        respond(request, socket, 404, kText, "Not found\n");
    }
    return true;
}

bool FrontPanelServer::handleUpgrade(const QHttpServerRequest& request, QTcpSocket* socket) {
    // Answered here; returning false makes the server close the connection after the answer.
    const QByteArray host = request.value("host");
    if (!guard_->hostAllowed(host)) {
        respond(request, socket, 421, kText, "Misdirected request: unknown host\n");
        return false;
    }
    if (!RequestGuard::originAllowed(request.value("origin"), host)) {
        respond(request, socket, 403, kText, "Forbidden: not sent by this server's page\n");
        return false;
    }
    if (request.url().path() != QLatin1String("/live")) {
        respond(request, socket, 404, kText, "Not found\n");
        return false;
    }
    if (static_cast<int>(pages_.size()) >= kMaxPages) {
        respond(request, socket, 503, kText, "Too many open pages\n");
        return false;
    }
    tcp_.becamePage(socket);
    return true;
}

void FrontPanelServer::missingHandler(const QHttpServerRequest& /*request*/,
                                      QTcpSocket* /*socket*/) {}

void FrontPanelServer::answerGet(const QHttpServerRequest& request, QTcpSocket* socket) {
    const QString path = request.url().path();
    const QTranslator* catalogue = catalogueFor(request);
    if (path == QLatin1String("/")) {
        respond(request, socket, 200, "text/html; charset=utf-8",
                withPanelTexts(resource(QStringLiteral("index.html")), catalogue));
    } else if (path == QLatin1String("/panel.js")) {
        respond(request, socket, 200, "text/javascript; charset=utf-8",
                resource(QStringLiteral("panel.js")));
    } else if (path == QLatin1String("/panel.css")) {
        respond(request, socket, 200, "text/css; charset=utf-8",
                resource(QStringLiteral("panel.css")));
    } else if (path == QLatin1String("/state")) {
        respond(request, socket, 200, kJson, stateJson());
    } else if (path == QLatin1String("/identity")) {
        const QList<QByteArray> fields = identity();
        QJsonArray addresses;
        for (const QByteArray& address : instrumentAddresses(request.value("host"))) {
            addresses.append(QString::fromUtf8(address));
        }
        respond(request, socket, 200, kJson,
                QJsonDocument(QJsonObject{{"manufacturer", QString::fromUtf8(fields[0])},
                                          {"model", QString::fromUtf8(fields[1])},
                                          {"serial", QString::fromUtf8(fields[2])},
                                          {"firmware", QString::fromUtf8(fields[3])},
                                          {"addresses", addresses}})
                    .toJson(QJsonDocument::Compact));
    } else if (path == QLatin1String("/profiles")) {
        respond(request, socket, 200, kJson, profilesJson(catalogue));
    } else if (path == QLatin1String("/lxi/identification")) {
        respond(request, socket, 200, "text/xml; charset=utf-8",
                identificationXml(request.value("host"), *socket));
    } else {
        respond(request, socket, 404, kText, "Not found\n");
    }
}

void FrontPanelServer::answerChange(const QHttpServerRequest& request, QTcpSocket* socket) {
    const QJsonObject body = QJsonDocument::fromJson(request.body()).object();
    const std::string control = body.value("control").toString().toStdString();
    const std::string value = body.value("value").toString().toStdString();
    const QTranslator* catalogue = catalogueFor(request);
    const auto command = panelCommand({control, value}, instrument_.generatorModel().settings());
    if (const auto* refused = std::get_if<RefusedEntry>(&command)) {
        respond(request, socket, 422, kJson,
                messageJson(translatedText(refused->message, catalogue)));
        return;
    }
    const auto* line = std::get_if<std::string>(&command);
    if (line == nullptr) {
        respond(request, socket, 400, kJson, messageJson(QStringLiteral("unknown control")));
        return;
    }
    const std::optional<std::string> failed = execute(*line, request);
    if (failed) {
        respond(request, socket, 503, kJson, messageJson(translatedText(*failed, catalogue)));
        return;
    }
    respond(request, socket, 200, kJson, stateJson());
}

void FrontPanelServer::answerProfile(const QHttpServerRequest& request, QTcpSocket* socket) {
    const QJsonObject body = QJsonDocument::fromJson(request.body()).object();
    const QString action = body.value("action").toString();
    const int number = body.value("number").toInt();
    const QTranslator* catalogue = catalogueFor(request);
    std::optional<std::string> failed;
    if (action == QLatin1String("load")) {
        failed = execute("*RCL " + std::to_string(number), request);
    } else if (action == QLatin1String("store")) {
        std::ostringstream messages;
        ctl::ProfileFileAccess file(environment_.profileFile, environment_.fileWriter, messages);
        const std::optional<std::vector<StoredProfile>> profiles = file.read();
        if (profiles && (number < 1 || number > static_cast<int>(profiles->size()))) {
            respond(request, socket, 400, kJson, messageJson(QStringLiteral("unknown profile")));
            return;
        }
        if (!profiles) {
            failed = messages.str();
        } else if (!file.update(static_cast<std::size_t>(number - 1),
                                [this, &body](StoredProfile& profile) {
                                    profile.name = body.value("name").toString().toStdString();
                                    profile.settings = instrument_.generatorModel().settings();
                                })) {
            failed = messages.str();
        }
    } else {
        respond(request, socket, 400, kJson, messageJson(QStringLiteral("unknown action")));
        return;
    }
    publish();
    if (failed) {
        respond(request, socket, 503, kJson, messageJson(translatedText(*failed, catalogue)));
        return;
    }
    respond(request, socket, 200, kJson, profilesJson(catalogue));
}

void FrontPanelServer::adoptPage() {
    while (hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> page = nextPendingWebSocketConnection();
        // The page only listens; what it sends is read and dropped, within small bounds.
        page->setMaxAllowedIncomingFrameSize(1024);
        page->setMaxAllowedIncomingMessageSize(1024);
        QWebSocket* raw = page.get();
        connect(raw, &QWebSocket::disconnected, this, [this, raw] {
            const auto found = std::find_if(pages_.begin(), pages_.end(),
                                            [raw](const auto& held) { return held.get() == raw; });
            if (found != pages_.end()) {
                found->release()->deleteLater();
                pages_.erase(found);
            }
        });
        raw->sendTextMessage(QString::fromUtf8(shownState_));
        pages_.push_back(std::move(page));
    }
}

void FrontPanelServer::publish() {
    QByteArray state = stateJson();
    if (state == shownState_) {
        return;
    }
    shownState_ = std::move(state);
    const QString message = QString::fromUtf8(shownState_);
    for (const std::unique_ptr<QWebSocket>& page : pages_) {
        if (page->bytesToWrite() > kMaxUnsentUpdateBytes) {
            page->abort();  // its browser reads nothing; the page reconnects when it does
        } else {
            page->sendTextMessage(message);
        }
    }
}

QByteArray FrontPanelServer::stateJson() {
    const model::GeneratorModel& generator = instrument_.generatorModel();
    const GeneratorSettings& settings = generator.settings();
    const bool connected = generator.connected();
    QJsonObject state{
        {"connected", connected},
        {"firmware", QString::fromStdString(
                         formatFixed(static_cast<double>(generator.firmwareVersion()) / 100, 2))},
        {"frequency", QString::fromStdString(formatFixed(
                          static_cast<double>(model::outputFrequencyOf(settings)) / 100, 2))},
        {"pll", model::usesPllStage(settings)},
        {"amplitude", static_cast<int>(settings.amplitude)},
        {"waveform", settings.signalform < kWaveformValues.size()
                         ? QString::fromLatin1(
                               kWaveformValues[settings.signalform].data(),
                               static_cast<qsizetype>(kWaveformValues[settings.signalform].size()))
                         : QString()},
        {"mode", modeValue(settings)},
        {"filter", (settings.konfiguration & kKonfigurationFilter) != 0},
    };
    return QJsonDocument(state).toJson(QJsonDocument::Compact);
}

QByteArray FrontPanelServer::profilesJson(const QTranslator* catalogue) {
    std::ostringstream messages;
    ctl::ProfileFileAccess file(environment_.profileFile, environment_.fileWriter, messages);
    const std::optional<std::vector<StoredProfile>> profiles = file.read();
    QJsonArray names;
    if (profiles) {
        for (const StoredProfile& profile : *profiles) {
            names.append(QString::fromStdString(profile.name));
        }
    }
    return QJsonDocument(QJsonObject{{"profiles", names},
                                     {"message", translatedText(messages.str(), catalogue)}})
        .toJson(QJsonDocument::Compact);
}

QList<QByteArray> FrontPanelServer::identity() {
    scpi::ErrorQueue queue;
    QList<QByteArray> fields =
        QByteArray::fromStdString(instrument_.execute(queue, "*IDN?", {model::FrontEnd::kPage, {}}))
            .trimmed()
            .split(',');
    instrument_.forget(queue);
    fields.resize(4);
    return fields;
}

QList<QByteArray> FrontPanelServer::instrumentAddresses(const QByteArray& host) const {
    const QByteArray name = hostName(host);
    return {"TCPIP::" + name + "::INSTR",
            "TCPIP::" + name + "::" + QByteArray::number(scpiPort_) + "::SOCKET"};
}

QByteArray FrontPanelServer::identificationXml(const QByteArray& host, const QTcpSocket& socket) {
    const QList<QByteArray> fields = identity();
    const QString base = QStringLiteral("http://") + QString::fromLatin1(host);
    QByteArray xml;
    QXmlStreamWriter out(&xml);
    out.setAutoFormatting(true);
    out.writeStartDocument();
    out.writeStartElement(QStringLiteral("LXIDevice"));
    out.writeDefaultNamespace(
        QStringLiteral("http://www.lxistandard.org/InstrumentIdentification/1.0"));
    out.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                       QStringLiteral("xsi"));
    out.writeTextElement(QStringLiteral("Manufacturer"), QString::fromUtf8(fields[0]));
    out.writeTextElement(QStringLiteral("Model"), QString::fromUtf8(fields[1]));
    out.writeTextElement(QStringLiteral("SerialNumber"), QString::fromUtf8(fields[2]));
    out.writeTextElement(QStringLiteral("FirmwareRevision"), QString::fromUtf8(fields[3]));
    out.writeTextElement(QStringLiteral("ManufacturerDescription"),
                         QStringLiteral("30 MHz DDS function generator"));
    out.writeTextElement(QStringLiteral("HomepageURL"), base + '/');
    out.writeTextElement(QStringLiteral("DriverURL"), base + '/');
    out.writeTextElement(QStringLiteral("IdentificationURL"), base + "/lxi/identification");
    out.writeStartElement(QStringLiteral("Interface"));
    out.writeAttribute(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                       QStringLiteral("type"), QStringLiteral("NetworkInformation"));
    out.writeAttribute(QStringLiteral("InterfaceType"), QStringLiteral("LXI"));
    out.writeAttribute(QStringLiteral("IPType"),
                       socket.localAddress().protocol() == QAbstractSocket::IPv6Protocol
                           ? QStringLiteral("IPv6")
                           : QStringLiteral("IPv4"));
    out.writeAttribute(QStringLiteral("InterfaceName"), QStringLiteral("eth0"));
    for (const QByteArray& address : instrumentAddresses(host)) {
        out.writeTextElement(QStringLiteral("InstrumentAddressString"), QString::fromUtf8(address));
    }
    out.writeTextElement(QStringLiteral("Hostname"), QString::fromUtf8(hostName(host)));
    out.writeTextElement(QStringLiteral("IPAddress"), socket.localAddress().toString());
    out.writeEndElement();
    out.writeTextElement(QStringLiteral("Domain"), QStringLiteral("0"));
    out.writeTextElement(QStringLiteral("LXIVersion"), QStringLiteral("1.5"));
    out.writeEndElement();
    out.writeEndDocument();
    return xml;
}

std::optional<std::string> FrontPanelServer::execute(const std::string& line,
                                                     const QHttpServerRequest& request) {
    queue_.clear();
    instrument_.execute(queue_, line,
                        {model::FrontEnd::kPage, request.remoteAddress().toString().toStdString()});
    if (queue_.empty()) {
        return std::nullopt;
    }
    return queue_.pop().message;
}

bool FrontPanelServer::passwordGiven(const QHttpServerRequest& request) const {
    if (password_.isEmpty()) {
        return true;
    }
    const QByteArray authorization = request.value("authorization");
    if (!authorization.startsWith("Basic ")) {
        return false;
    }
    const QByteArray credentials = QByteArray::fromBase64(authorization.mid(6));
    const qsizetype colon = credentials.indexOf(':');
    return colon >= 0 && credentials.mid(colon + 1) == password_;
}

const QTranslator* FrontPanelServer::catalogueFor(const QHttpServerRequest& request) const {
    const bool english = panelLanguage(request.value("accept-language")) == Language::English;
    return english && englishLoaded_ ? &english_ : nullptr;
}

}  // namespace tavero::qt
