// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/FrontPanelServer.h"

#include <QDir>
#include <QFile>
#include <QHostInfo>
#include <QHttpServerRequest>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <QUrl>
#include <QWebSocket>
#include <QXmlStreamWriter>
#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "app/MainWindowTexts.h"
#include "core/NumberText.h"
#include "ctl/ProfileFileAccess.h"
#include "ctl/StreamMessageSink.h"
#include "link/Connection.h"
#include "model/OutputFrequency.h"
#include "model/TypedFields.h"
#include "qt/i18n/TextTranslation.h"
#include "qt/i18n/Translations.h"
#include "qt/network/InterfaceFacts.h"
#include "qt/web/HttpAnswer.h"
#include "qt/web/PanelChange.h"
#include "qt/web/PanelTexts.h"
#include "scpi/DeviceErrors.h"
#include "store/ListFile.h"
#include "store/ProfileFile.h"
#include "store/TaskListFile.h"
#include "store/text/Windows1252.h"

// Outside any namespace, as Qt's macro needs: a static library's resources are registered by
// hand, or the linker leaves them out.
static void registerPageResources() {
    Q_INIT_RESOURCE(front_panel);
}

namespace tavero::qt {

namespace {

constexpr char kContentSecurityPolicy[] =
    "default-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
constexpr char kJson[] = "application/json";
constexpr char kText[] = "text/plain; charset=utf-8";
constexpr char kIdentificationPath[] = "/lxi/identification";

/// The headers of every answer, the ones the connections' bounds give by themselves too.
std::vector<HttpHeader> commonHeaders() {
    return {{"Content-Security-Policy", kContentSecurityPolicy},
            {"X-Content-Type-Options", "nosniff"},
            {"Referrer-Policy", "no-referrer"},
            {"Cache-Control", "no-store"}};
}

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

QJsonObject messageObject(const QString& message) {
    return {{"message", message}};
}

QString keyingValue(std::uint8_t modulationseinstellungen) {
    switch (modulationseinstellungen & kModulationPmArtMask) {
        case kPmArtPsk:
            return QStringLiteral("psk");
        case kPmArtFsk:
            return QStringLiteral("fsk");
        default:
            return QStringLiteral("ask");
    }
}

model::Origin pageOrigin(const QString& peer) {
    return {model::FrontEnd::kPage, peer.toStdString()};
}

/// An address as VISA resource strings carry it: IPv6 in brackets.
QByteArray visaHost(const QHostAddress& address) {
    const QString name = address.toString();
    return (name.contains(':') ? '[' + name + ']' : name).toUtf8();
}

QString yesNo(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace

FrontPanelServer::FrontPanelServer(scpi::Instrument& instrument,
                                   const scpi::InstrumentEnvironment& environment,
                                   ServedInstrument served, QByteArray password, std::ostream& log,
                                   std::filesystem::path taskListFolder, QObject* parent)
    : QAbstractHttpServer(parent),
      instrument_(instrument),
      environment_(environment),
      served_(std::move(served)),
      password_(std::move(password)),
      log_(log),
      tcp_(commonHeaders(), log),
      taskListFolder_(std::move(taskListFolder)),
      pages_(log) {
    registerPageResources();
    taskListTimer_.setSingleShot(true);
    connect(&taskListTimer_, &QTimer::timeout, this, [this] {
        instrument_.advanceTaskList();
        publish();
    });
    connect(&pages_, &LivePages::received, this, &FrontPanelServer::answerLive);
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
    QStringList pages;
    for (const QHostAddress& address : reachableAddresses(tcp_.serverAddress())) {
        pages.append(QStringLiteral("http://") + addressText(address, tcp_.serverPort()) + '/');
    }
    return listText(pages);
}

void FrontPanelServer::respond(const QHttpServerRequest& request, QTcpSocket* socket, int status,
                               const QByteArray& type, const QByteArray& body) {
    std::vector<HttpHeader> headers = commonHeaders();
    headers.emplace_back("Content-Type", type);
    headers.emplace_back("Vary", "Accept-Language");
    if (status == 401) {
        headers.emplace_back("WWW-Authenticate", "Basic realm=\"Tavero\", charset=\"UTF-8\"");
    } else if (status == 405) {
        headers.emplace_back("Allow", "GET, HEAD, POST");
    }
    const QByteArray answer =
        httpAnswer(status, headers, body, request.method() != QHttpServerRequest::Method::Head);
    if (socket->write(answer) != answer.size()) {
        socket->abort();  // the client is gone, or its connection broke
    }
}

bool FrontPanelServer::authorized(const QHttpServerRequest& request, QTcpSocket* socket) {
    const QByteArray authorization = request.value("authorization");
    if (password_.isEmpty() || request.url().path() == QLatin1String(kIdentificationPath)) {
        return true;
    }
    if (authorization.isEmpty()) {
        respond(request, socket, 401, kText, "Password required\n");
        return false;
    }
    const QHostAddress peer = plainAddress(socket->peerAddress());
    const auto now = PasswordAttempts::Clock::now();
    const auto wait = attempts_.waitFor(peer, now);
    if (wait > PasswordAttempts::Clock::duration::zero()) {
        // Not even tried: guessing gains nothing from asking faster.
        const auto seconds = std::chrono::ceil<std::chrono::seconds>(wait).count();
        respond(request, socket, 429, kText,
                "Too many wrong passwords: try again in " + QByteArray::number(seconds) + " s\n");
        return false;
    }
    if (passwordRight(authorization)) {
        attempts_.succeeded(peer);
        return true;
    }
    attempts_.failed(peer, now);
    if (const std::optional<std::size_t> heldBack =
            passwordLines_.admit(peer.toString().toStdString(), now)) {
        log_ << "tavero-ctl: front panel: wrong password from " << peer.toString().toStdString();
        if (*heldBack != 0) {
            log_ << " (and " << *heldBack << " more since the last such line)";
        }
        log_ << '\n';
    }
    respond(request, socket, 401, kText, "Password required\n");
    return false;
}

bool FrontPanelServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    tcp_.requestSeen(socket);
    if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0) {
        return handleUpgrade(request, socket);
    }
    // A client that does not read its answers is not sent more of them.
    if (socket->bytesToWrite() > kMaxUnsentAnswerBytes) {
        socket->abort();
        return true;
    }
    const QByteArray host = request.value("host");
    if (!guard_->hostAllowed(host)) {
        respond(request, socket, 421, kText, "Misdirected request: unknown host\n");
        return true;
    }
    if (!authorized(request, socket)) {
        return true;
    }
    if (request.method() == QHttpServerRequest::Method::Get ||
        request.method() == QHttpServerRequest::Method::Head) {
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
    if (request.body().size() > BoundedTcpServer::kMaxBodyBytes) {
        respond(request, socket, 413, kText, "Request too large\n");
        return true;
    }
    const QString path = request.url().path();
    QJsonObject action = QJsonDocument::fromJson(request.body()).object();
    if (path == QLatin1String("/change")) {
        action.insert("action", "change");
        answerPosted(request, socket, action);
    } else if (path == QLatin1String("/profile")) {
        answerPosted(request, socket, action);
    } else {
        respond(request, socket, 404, kText, "Not found\n");
    }
    return true;
}

bool FrontPanelServer::handleUpgrade(const QHttpServerRequest& request, QTcpSocket* socket) {
    // Answered here; returning false makes the server close the connection after the answer.
    const QByteArray host = request.value("host");
    if (!guard_->hostAllowed(host)) {
        refuseUpgrade(request, socket, 421, "Misdirected request: unknown host");
        return false;
    }
    if (!RequestGuard::originAllowed(request.value("origin"), host)) {
        refuseUpgrade(request, socket, 403, "Forbidden: not sent by this server's page");
        return false;
    }
    if (request.url().path() != QLatin1String("/live")) {
        refuseUpgrade(request, socket, 404, "Not found");
        return false;
    }
    if (!authorized(request, socket)) {
        return false;
    }
    if (!pages_.makeRoomFor(plainAddress(socket->peerAddress()))) {
        refuseUpgrade(request, socket, 503, "Too many open pages");
        return false;
    }
    tcp_.becamePage(socket);
    return true;
}

void FrontPanelServer::refuseUpgrade(const QHttpServerRequest& request, QTcpSocket* socket,
                                     int status, const QByteArray& reason) {
    respond(request, socket, status, kText, reason + '\n');
    const QString peer = plainAddress(socket->peerAddress()).toString();
    if (const std::optional<std::size_t> heldBack =
            refusedLines_.admit(peer.toStdString(), std::chrono::steady_clock::now())) {
        log_ << "tavero-ctl: front panel: refused a live page to " << peer.toStdString() << ": "
             << status << ' ' << reason.constData();
        if (*heldBack != 0) {
            log_ << " (and " << *heldBack << " more refusals since the last such line)";
        }
        log_ << '\n';
    }
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
        for (const QByteArray& address : instrumentAddresses(socket->localAddress())) {
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
        respond(request, socket, 200, kJson,
                QJsonDocument(profilesJson(catalogue)).toJson(QJsonDocument::Compact));
    } else if (path == QLatin1String("/tasklists")) {
        respond(request, socket, 200, kJson,
                QJsonDocument(QJsonObject{{"files", QJsonArray::fromStringList(taskListFiles())}})
                    .toJson(QJsonDocument::Compact));
    } else if (path == QLatin1String(kIdentificationPath)) {
        respond(request, socket, 200, "text/xml; charset=utf-8",
                identificationXml(request.value("host"), *socket));
    } else {
        respond(request, socket, 404, kText, "Not found\n");
    }
}

void FrontPanelServer::answerPosted(const QHttpServerRequest& request, QTcpSocket* socket,
                                    QJsonObject action) {
    const PanelAnswer answer =
        act(action, catalogueFor(request), request.remoteAddress().toString());
    respond(request, socket, answer.status, kJson,
            QJsonDocument(answer.body).toJson(QJsonDocument::Compact));
}

void FrontPanelServer::answerLive(QWebSocket& page, const QString& message) {
    const QJsonObject request = QJsonDocument::fromJson(message.toUtf8()).object();
    const QTranslator* catalogue =
        request.value("lang").toString() == QLatin1String("en") && englishLoaded_ ? &english_
                                                                                  : nullptr;
    PanelAnswer answer = act(request, catalogue, page.peerAddress().toString());
    answer.body.insert("reply", request.value("id"));
    answer.body.insert("ok", answer.status == 200);
    page.sendTextMessage(
        QString::fromUtf8(QJsonDocument(answer.body).toJson(QJsonDocument::Compact)));
}

FrontPanelServer::PanelAnswer FrontPanelServer::act(const QJsonObject& request,
                                                    const QTranslator* catalogue,
                                                    const QString& peer) {
    const QString action = request.value("action").toString();
    PanelAnswer answer{400, messageObject(QStringLiteral("unknown action"))};
    if (action == QLatin1String("change")) {
        answer = change(request, catalogue, peer);
    } else if (action == QLatin1String("connect")) {
        answer = toggleConnection(catalogue, peer);
    } else if (action == QLatin1String("load")) {
        answer = loadProfile(request, catalogue, peer);
    } else if (action == QLatin1String("store")) {
        answer = storeProfile(request, catalogue);
    } else if (action == QLatin1String("play")) {
        answer = play(request, catalogue, peer);
    } else if (action == QLatin1String("stop")) {
        instrument_.stopPlaying();
        answer = {200, {}};
    }
    publish();
    return answer;
}

FrontPanelServer::PanelAnswer FrontPanelServer::change(const QJsonObject& request,
                                                       const QTranslator* catalogue,
                                                       const QString& peer) {
    const std::string control = request.value("control").toString().toStdString();
    const std::string value = request.value("value").toString().toStdString();
    const std::string offset = request.value("offset").toString().toStdString();
    auto edit = panelEdit({control, value, offset}, instrument_.generatorModel().settings());
    if (const auto* refused = std::get_if<RefusedEntry>(&edit)) {
        return {422, messageObject(translatedText(refused->message, catalogue))};
    }
    auto* taken = std::get_if<model::Edit>(&edit);
    if (taken == nullptr) {
        return {400, messageObject(QStringLiteral("unknown control"))};
    }
    noteTaskListFailure();
    if (const std::optional<scpi::ErrorEntry> failed =
            instrument_.apply(queue_, std::move(*taken), pageOrigin(peer))) {
        return {503, messageObject(translatedText(failed->message, catalogue))};
    }
    return {200, {}};
}

FrontPanelServer::PanelAnswer FrontPanelServer::toggleConnection(const QTranslator* catalogue,
                                                                 const QString& peer) {
    model::GeneratorModel& generator = instrument_.generatorModel();
    std::ostringstream messages;
    ctl::StreamMessageSink sink(messages);
    const model::Requester by{pageOrigin(peer), sink};
    instrument_.stopPlaying();
    if (generator.connected()) {
        generator.disconnect(by);
    } else if (generator.connect(by) == link::ConnectResult::kConnected) {
        generator.readParameters(by);
    } else if (messages.str().empty()) {
        messages << link::kConnectFailedText;
    }
    if (!messages.str().empty()) {
        return {503, messageObject(translatedText(messages.str(), catalogue))};
    }
    return {200, {}};
}

FrontPanelServer::PanelAnswer FrontPanelServer::loadProfile(const QJsonObject& request,
                                                            const QTranslator* catalogue,
                                                            const QString& peer) {
    const int number = request.value("number").toInt();
    noteTaskListFailure();
    if (const std::optional<scpi::ErrorEntry> failed = instrument_.recall(
            queue_, static_cast<std::size_t>(std::max(number, 0)), pageOrigin(peer))) {
        return {503, messageObject(translatedText(failed->message, catalogue))};
    }
    QJsonObject body = profilesJson(catalogue);
    body.insert("done", translatedText("Profil %1 geladen", catalogue)
                            .replace(QStringLiteral("%1"), QString::number(number)));
    return {200, body};
}

FrontPanelServer::PanelAnswer FrontPanelServer::storeProfile(const QJsonObject& request,
                                                             const QTranslator* catalogue) {
    const int number = request.value("number").toInt();
    // The empty profile's name as the page shows it goes back into the file in German.
    const QString typed = request.value("name").toString();
    const std::string name = typed == translatedText(store::kEmptyProfileName, catalogue)
                                 ? std::string(store::kEmptyProfileName)
                                 : typed.toStdString();
    const std::vector<std::string> outside = store::text::charactersOutsideWindows1252(name);
    if (!outside.empty()) {
        // The window's reason, without its question whether to store "?" instead.
        QString listed;
        for (const std::string& character : outside) {
            listed += (listed.isEmpty() ? "" : " ") + QString::fromStdString(character);
        }
        std::string question(app::kUnstorableNameText);
        question.replace(question.find("%s"), 2, "%1");
        QString reason = translatedText(question, catalogue);
        reason = reason.left(reason.indexOf(QStringLiteral("\n\n"))).replace("%1", listed);
        return {422, messageObject(reason)};
    }
    std::ostringstream messages;
    ctl::ProfileFileAccess file(environment_.profileFile, environment_.fileWriter, messages);
    const std::optional<std::vector<StoredProfile>> profiles = file.read();
    if (profiles && (number < 1 || number > static_cast<int>(profiles->size()))) {
        return {400, messageObject(QStringLiteral("unknown profile"))};
    }
    if (!profiles ||
        !file.update(static_cast<std::size_t>(number - 1), [this, &name](StoredProfile& profile) {
            profile.name = name;
            profile.settings = instrument_.generatorModel().settings();
        })) {
        return {503, messageObject(translatedText(messages.str(), catalogue))};
    }
    QJsonObject body = profilesJson(catalogue);
    body.insert("done", translatedText("Profil %1 gespeichert", catalogue)
                            .replace(QStringLiteral("%1"), QString::number(number)));
    return {200, body};
}

FrontPanelServer::PanelAnswer FrontPanelServer::play(const QJsonObject& request,
                                                     const QTranslator* catalogue,
                                                     const QString& peer) {
    const QString fileName = request.value("file").toString();
    store::TaskListRead read;
    if (request.contains("content")) {
        // Read where the reader reads every task list: from a file.
        QTemporaryFile uploaded;
        const QByteArray content =
            QByteArray::fromBase64(request.value("content").toString().toLatin1());
        if (!uploaded.open() || uploaded.write(content) != content.size() || !uploaded.flush()) {
            return {503, messageObject(uploaded.errorString())};
        }
        read = store::readTaskListFile(uploaded.fileName().toStdU16String());
        playedName_ = request.value("name").toString();
    } else if (taskListFiles().contains(fileName)) {
        read = store::readTaskListFile(taskListFolder_ / fileName.toStdU16String());
        playedName_ = fileName;
    } else {
        return {400, messageObject(QStringLiteral("unknown task list"))};
    }
    if (!read.ok() || read.list.entries.empty()) {
        const std::string detail = read.ok() ? "no entries" : store::loadFailureText(read.load);
        return {422, messageObject(translatedText("Die Aufgabenliste könnte nicht gelesen werden.",
                                                  catalogue) +
                                   ' ' + QString::fromStdString(detail))};
    }
    queue_.clear();
    taskListFailure_.clear();
    if (const std::optional<scpi::ErrorEntry> failed =
            instrument_.play(queue_, std::move(read.list.entries), request.value("loop").toBool(),
                             pageOrigin(peer))) {
        return {503, messageObject(translatedText(failed->message, catalogue))};
    }
    // The first step is sent at once; the list may have stopped on it already.
    noteTaskListFailure();
    if (!taskListFailure_.empty()) {
        return {503, messageObject(translatedText(taskListFailure_, catalogue))};
    }
    return {200, {}};
}

QStringList FrontPanelServer::taskListFiles() const {
    QDir folder(QString::fromStdU16String(taskListFolder_.u16string()));
    return folder.entryList({QStringLiteral("*.tvr")}, QDir::Files | QDir::Readable, QDir::Name);
}

void FrontPanelServer::scheduleTaskList() {
    const std::optional<std::chrono::milliseconds> due = instrument_.taskListDue();
    if (!due) {
        taskListTimer_.stop();
        return;
    }
    taskListTimer_.start(std::max(*due - instrument_.now(), std::chrono::milliseconds{0}));
}

void FrontPanelServer::adoptPage() {
    while (hasPendingWebSocketConnections()) {
        // Fresh: a running task list's remaining time has moved on since the last publish.
        pages_.add(nextPendingWebSocketConnection(), QString::fromUtf8(stateJson()));
    }
}

void FrontPanelServer::noteTaskListFailure() {
    while (!queue_.empty()) {
        const scpi::ErrorEntry entry = queue_.pop();
        if (entry.code != scpi::kTaskListStopped && entry.code != scpi::kValueReplaced) {
            taskListFailure_ = entry.message;
        }
    }
}

void FrontPanelServer::publish() {
    noteTaskListFailure();
    scheduleTaskList();
    QByteArray state = stateJson();
    if (state == shownState_) {
        return;
    }
    shownState_ = std::move(state);
    pages_.send(QString::fromUtf8(shownState_));
}

QByteArray FrontPanelServer::stateJson() {
    const model::GeneratorModel& generator = instrument_.generatorModel();
    const GeneratorSettings& settings = generator.settings();
    const auto shown = [&settings](const model::TypedField& field) {
        return QString::fromStdString(
            field.show(settingsFields()[settingsFieldIndex(field.key)].get(settings)));
    };
    const auto hertz = [](std::int64_t centiHz) {
        return QString::fromStdString(formatFixed(static_cast<double>(centiHz) / 100, 2));
    };
    const std::uint8_t modulation = settings.modulationseinstellungen;
    QJsonObject state{
        {"connected", generator.connected()},
        {"firmware", QString::fromStdString(
                         formatFixed(static_cast<double>(generator.firmwareVersion()) / 100, 2))},
        {"frequency", hertz(model::outputFrequencyOf(settings))},
        {"pll", model::usesPllStage(settings)},
        {"amplitude", static_cast<int>(settings.amplitude)},
        {"minimum", hertz(settings.minimalfrequenz)},
        {"maximum", hertz(settings.maximalfrequenz)},
        {"step", hertz(settings.schrittweite)},
        {"waveform", settings.signalform < kWaveformValues.size()
                         ? QString::fromLatin1(
                               kWaveformValues[settings.signalform].data(),
                               static_cast<qsizetype>(kWaveformValues[settings.signalform].size()))
                         : QString()},
        {"mode", modeValue(settings)},
        {"filter", (settings.konfiguration & kKonfigurationFilter) != 0},
        {"sweep-start", shown(model::kSweepStartField)},
        {"sweep-stop", shown(model::kSweepStopField)},
        {"sweep-rate", shown(model::kSweepRateField)},
        {"modulation-rate", shown(model::kModulationRateField)},
        {"phase-deviation", shown(model::kPhaseDeviationField)},
        {"frequency-deviation", shown(model::kFrequencyDeviationField)},
        {"depth", static_cast<int>(settings.amplitudenhub)},
        {"am", (modulation & kModulationAm) != 0},
        {"keying", keyingValue(modulation)},
        {"modulation-source",
         (modulation & kModulationPmQuelleExtern) != 0 ? "external" : "internal"},
        {"pll-factor", shown(model::kPllFactorField)},
        {"pll-offset", shown(model::kPllOffsetField)},
    };
    if (!taskListFailure_.empty()) {
        // Pushed to pages of either language: each shows its own.
        state.insert("taskListFailure",
                     QJsonObject{{"de", QString::fromStdString(taskListFailure_)},
                                 {"en", translatedText(taskListFailure_,
                                                       englishLoaded_ ? &english_ : nullptr)}});
    }
    if (const auto progress = instrument_.taskListProgress()) {
        state.insert(
            "taskList",
            QJsonObject{{"name", playedName_},
                        {"step", static_cast<int>(progress->step)},
                        {"steps", static_cast<int>(progress->steps)},
                        {"loops", progress->loops},
                        {"remainingMs",
                         static_cast<double>((progress->passEnd - instrument_.now()).count())}});
    }
    return QJsonDocument(state).toJson(QJsonDocument::Compact);
}

QJsonObject FrontPanelServer::profilesJson(const QTranslator* catalogue) {
    std::ostringstream messages;
    ctl::ProfileFileAccess file(environment_.profileFile, environment_.fileWriter, messages);
    const std::optional<std::vector<StoredProfile>> profiles = file.read();
    QJsonArray names;
    if (profiles) {
        for (const StoredProfile& profile : *profiles) {
            names.append(profile.name == store::kEmptyProfileName
                             ? translatedText(store::kEmptyProfileName, catalogue)
                             : QString::fromStdString(profile.name));
        }
    }
    return {{"profiles", names}, {"message", translatedText(messages.str(), catalogue)}};
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

QList<QByteArray> FrontPanelServer::instrumentAddresses(const QHostAddress& local) const {
    if (!listensOn(served_.host, local)) {
        return {};
    }
    const QByteArray host = visaHost(plainAddress(local));
    QList<QByteArray> addresses;
    if (served_.vxi11Findable) {
        addresses.append("TCPIP::" + host + "::INSTR");
    }
    if (served_.scpiPort != 0) {
        addresses.append("TCPIP::" + host + "::" + QByteArray::number(served_.scpiPort) +
                         "::SOCKET");
    }
    return addresses;
}

QByteArray FrontPanelServer::identificationXml(const QByteArray& host, const QTcpSocket& socket) {
    const QList<QByteArray> fields = identity();
    const InterfaceFacts facts = interfaceFacts(socket.localAddress());
    const QString base = QStringLiteral("http://") + QString::fromLatin1(host);
    const QString schemaInstance = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");
    QByteArray xml;
    QXmlStreamWriter out(&xml);
    out.setAutoFormatting(true);
    out.writeStartDocument();
    out.writeStartElement(QStringLiteral("LXIDevice"));
    out.writeDefaultNamespace(
        QStringLiteral("http://www.lxistandard.org/InstrumentIdentification/1.0"));
    out.writeNamespace(schemaInstance, QStringLiteral("xsi"));
    out.writeTextElement(QStringLiteral("Manufacturer"), QString::fromUtf8(fields[0]));
    out.writeTextElement(QStringLiteral("Model"), QString::fromUtf8(fields[1]));
    out.writeTextElement(QStringLiteral("SerialNumber"), QString::fromUtf8(fields[2]));
    out.writeTextElement(QStringLiteral("FirmwareRevision"), QString::fromUtf8(fields[3]));
    out.writeTextElement(QStringLiteral("ManufacturerDescription"),
                         QStringLiteral("30 MHz DDS function generator"));
    out.writeTextElement(QStringLiteral("HomepageURL"), base + '/');
    out.writeTextElement(QStringLiteral("DriverURL"), base + '/');
    out.writeTextElement(QStringLiteral("IdentificationURL"), base + kIdentificationPath);
    out.writeStartElement(QStringLiteral("Interface"));
    out.writeAttribute(schemaInstance, QStringLiteral("type"),
                       QStringLiteral("NetworkInformation"));
    out.writeAttribute(QStringLiteral("InterfaceType"), QStringLiteral("LXI"));
    out.writeAttribute(QStringLiteral("IPType"),
                       facts.address.protocol() == QAbstractSocket::IPv6Protocol
                           ? QStringLiteral("IPv6")
                           : QStringLiteral("IPv4"));
    if (!facts.name.isEmpty()) {
        out.writeAttribute(QStringLiteral("InterfaceName"), facts.name);
    }
    for (const QByteArray& address : instrumentAddresses(socket.localAddress())) {
        out.writeTextElement(QStringLiteral("InstrumentAddressString"), QString::fromUtf8(address));
    }
    out.writeTextElement(QStringLiteral("Hostname"), QHostInfo::localHostName());
    out.writeTextElement(QStringLiteral("IPAddress"), facts.address.toString());
    out.writeTextElement(QStringLiteral("SubnetMask"), facts.netmask.toString());
    out.writeTextElement(QStringLiteral("MACAddress"), facts.macAddress);
    out.writeTextElement(QStringLiteral("Gateway"), facts.gateway.toString());
    out.writeTextElement(QStringLiteral("DHCPEnabled"), yesNo(facts.dhcp));
    out.writeTextElement(QStringLiteral("AutoIPEnabled"), yesNo(facts.autoIp));
    out.writeEndElement();
    out.writeTextElement(QStringLiteral("Domain"), QStringLiteral("0"));
    out.writeTextElement(QStringLiteral("LXIVersion"), QStringLiteral("1.4"));
    out.writeEndElement();
    out.writeEndDocument();
    return xml;
}

bool FrontPanelServer::passwordRight(const QByteArray& authorization) const {
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
