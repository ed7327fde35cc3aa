#include "SpeechConnection.h"

#include "MediaLog.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTcpSocket>
#include <cctype>

namespace media {

namespace {

constexpr quint16 kSpeechPort = 6560;
constexpr int kConnectMs = 2000;
// The server answers every request at once; a sentence's end comes as an event.
constexpr int kReplyMs = 3000;
// Its longest reply line is a few dozen bytes, its longest reply a few lines.
constexpr qsizetype kLineBytes = 4096;
constexpr int kReplyLines = 32;
// How long starting this user's own speech server may take.
constexpr int kSpawnMs = 5000;
// Ends of sentences told before their number: only a few are ever pending.
constexpr qsizetype kMostEndedEarly = 64;

// Where this user's own server listens, as the server itself chooses.
QString ownSocketPath() {
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return runtime + QLatin1String("/speech-dispatcher/speechd.sock");
}

// A client name is three words joined by colons, without spaces.
QByteArray clientName() {
    QByteArray user = qgetenv("USER");
    for (char& c : user) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-')
            c = '_';
    }
    return (user.isEmpty() ? QByteArray("user") : user) + ":metamorfine:speech";
}

}  // namespace

SpeechConnection::~SpeechConnection() {
    if (!socket_)
        return;
    disconnect(socket_.get(), nullptr, this, nullptr);
    socket_->write("QUIT\r\n");
    socket_->waitForBytesWritten(100);
}

bool SpeechConnection::open(const QString& address) {
    if (!connectTo(address)) {
        if (!address.isEmpty())
            return false;
        const QString path = ownSocketPath();
        QProcess server;
        server.start(QStringLiteral("speech-dispatcher"),
                     {QStringLiteral("--spawn"), QStringLiteral("--communication-method"),
                      QStringLiteral("unix_socket"), QStringLiteral("--socket-path"), path});
        if (!server.waitForFinished(kSpawnMs)) {
            qCWarning(lcMedia, "the speech server could not be started: %s", qUtf8Printable(server.errorString()));
            server.kill();
            server.waitForFinished(kSpawnMs);
        }
        if (!connectTo(QLatin1String("unix_socket:") + path))
            return false;
    }
    connect(socket_.get(), &QIODevice::readyRead, this, &SpeechConnection::readEvents);
    if (!succeeds("SET SELF CLIENT_NAME " + clientName()))
        qCInfo(lcMedia, "the speech server refused this program's name");
    toldEnds_ = succeeds("SET SELF NOTIFICATION END on") && succeeds("SET SELF NOTIFICATION CANCEL on");
    if (socket_ && !toldEnds_)
        qCWarning(lcMedia, "the speech server does not tell when a sentence ends");
    return isOpen();
}

bool SpeechConnection::connectTo(const QString& address) {
    const QString method = address.section(u':', 0, 0);
    const QString where = address.section(u':', 1);
    if (address.isEmpty() || method == QLatin1String("unix_socket")) {
        auto socket = std::make_unique<QLocalSocket>();
        socket->setReadBufferSize(kLineBytes);
        const QString path = where.isEmpty() ? ownSocketPath() : where;
        socket->connectToServer(path);
        if (!socket->waitForConnected(kConnectMs)) {
            // This user's own server is started when it is not there yet.
            if (!address.isEmpty())
                qCWarning(lcMedia, "no speech server at %s: nothing is spoken", qUtf8Printable(path));
            return false;
        }
        connect(socket.get(), &QLocalSocket::disconnected, this, [this] { fail("closed the connection"); });
        socket_ = std::move(socket);
        return true;
    }
    if (method == QLatin1String("inet_socket")) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->setReadBufferSize(kLineBytes);
        const QString host = where.section(u':', 0, 0);
        socket->connectToHost(host.isEmpty() ? QStringLiteral("127.0.0.1") : host,
                              quint16(where.section(u':', 1).toUInt() ? where.section(u':', 1).toUInt() : kSpeechPort));
        if (!socket->waitForConnected(kConnectMs)) {
            qCWarning(lcMedia, "no speech server at %s (%s): nothing is spoken", qUtf8Printable(address),
                      qUtf8Printable(socket->errorString()));
            return false;
        }
        connect(socket.get(), &QTcpSocket::disconnected, this, [this] { fail("closed the connection"); });
        socket_ = std::move(socket);
        return true;
    }
    qCWarning(lcMedia, "the speech server's address %s is not understood: nothing is spoken", qUtf8Printable(address));
    return false;
}

bool SpeechConnection::isOpen() const {
    return socket_ != nullptr;
}

bool SpeechConnection::setLanguage(const QByteArray& tag) {
    return succeeds("SET SELF LANGUAGE " + tag);
}

bool SpeechConnection::setRate(int rate) {
    return succeeds("SET SELF RATE " + QByteArray::number(rate));
}

bool SpeechConnection::cancel() {
    return succeeds("CANCEL SELF");
}

void SpeechConnection::say(const QString& text, std::function<void()> ended) {
    // The text is one line; a line of a single dot would end it early.
    QByteArray body = text.toUtf8().replace('\r', ' ').replace('\n', ' ');
    if (body.startsWith('.'))
        body.prepend('.');
    const std::optional<Reply> receiving = command("SPEAK");
    const std::optional<Reply> queued =
        receiving && receiving->code == 230 ? command(body + "\r\n.") : std::optional<Reply>();
    bool numbered = false;
    const quint64 message = queued && queued->code == 225 ? queued->lines.value(0).toULongLong(&numbered) : 0;
    if (!numbered || endedEarly_.remove(message))
        ended();
    else if (toldEnds_)
        beingSaid_.insert(message, std::move(ended));
}

bool SpeechConnection::anyBeingSaid() const {
    return !beingSaid_.isEmpty();
}

bool SpeechConnection::succeeds(const QByteArray& line) {
    const std::optional<Reply> reply = command(line);
    return reply && reply->code / 100 == 2;
}

std::optional<SpeechConnection::Reply> SpeechConnection::command(const QByteArray& line) {
    if (!socket_)
        return std::nullopt;
    reading_ = true;
    const auto idle = qScopeGuard([this] {
        reading_ = false;
        // Ends of sentences that came along with the reply.
        if (received_.contains('\n'))
            QMetaObject::invokeMethod(this, &SpeechConnection::readEvents, Qt::QueuedConnection);
    });
    const QDeadlineTimer deadline(kReplyMs);
    socket_->write(line + "\r\n");
    while (socket_ && socket_->bytesToWrite() > 0) {
        if (!socket_->waitForBytesWritten(int(deadline.remainingTime()))) {
            fail("does not take what is sent to it");
            return std::nullopt;
        }
    }
    while (std::optional<Reply> reply = nextReply(deadline)) {
        if (reply->code / 100 != 7)
            return reply;
    }
    return std::nullopt;
}

// A reply is lines of a three-digit code followed by '-', the last by a
// space. Events (7xx) are handled as they come, between replies too.
std::optional<SpeechConnection::Reply> SpeechConnection::nextReply(QDeadlineTimer deadline) {
    Reply reply;
    while (std::optional<QByteArray> line = nextLine(deadline)) {
        bool isNumber = false;
        const int code = line->left(3).toInt(&isNumber);
        if (line->size() < 4 || !isNumber || code < 100 || (line->at(3) != '-' && line->at(3) != ' ') ||
            (reply.code != 0 && code != reply.code) || reply.lines.size() >= kReplyLines) {
            fail("answered what is not its protocol");
            return std::nullopt;
        }
        reply.code = code;
        reply.lines << line->mid(4);
        if (line->at(3) == ' ') {
            // 702: a sentence ended; 703: it was cut. The first line numbers it.
            if (code == 702 || code == 703)
                sentenceEnded(reply.lines.first().toULongLong());
            return reply;
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> SpeechConnection::nextLine(QDeadlineTimer deadline) {
    while (socket_) {
        const qsizetype end = received_.indexOf('\n');
        if (end >= 0) {
            QByteArray line = received_.left(end);
            received_.remove(0, end + 1);
            if (line.endsWith('\r'))
                line.chop(1);
            return line;
        }
        if (received_.size() > kLineBytes) {
            fail("sent a line longer than any of its replies");
            return std::nullopt;
        }
        const QByteArray more = socket_->read(kLineBytes + 1 - received_.size());
        if (!more.isEmpty()) {
            received_ += more;
            continue;
        }
        if (deadline.hasExpired() || !socket_->waitForReadyRead(int(deadline.remainingTime()))) {
            if (socket_)
                fail("did not answer in time");
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void SpeechConnection::readEvents() {
    if (reading_)
        return;
    reading_ = true;
    const auto idle = qScopeGuard([this] { reading_ = false; });
    while (socket_ && (received_.contains('\n') || socket_->bytesAvailable() > 0)) {
        const std::optional<Reply> reply = nextReply(QDeadlineTimer(kReplyMs));
        if (reply && reply->code / 100 != 7)
            qCDebug(lcMedia, "the speech server sent a reply to nothing asked: %d", reply->code);
    }
}

void SpeechConnection::sentenceEnded(quint64 message) {
    if (std::function<void()> ended = beingSaid_.take(message)) {
        ended();
        return;
    }
    if (endedEarly_.size() >= kMostEndedEarly)
        endedEarly_.clear();
    endedEarly_.insert(message);
}

void SpeechConnection::fail(const char* why) {
    if (!socket_)
        return;
    qCWarning(lcMedia, "the speech server %s: the voice is silent for the rest of this run", why);
    QIODevice* socket = socket_.release();
    disconnect(socket, nullptr, this, nullptr);
    if (auto* local = qobject_cast<QLocalSocket*>(socket))
        local->abort();
    else if (auto* remote = qobject_cast<QAbstractSocket*>(socket))
        remote->abort();
    socket->deleteLater();
    received_.clear();
    endedEarly_.clear();
    const QList<std::function<void()>> waiting = std::exchange(beingSaid_, {}).values();
    for (const std::function<void()>& ended : waiting)
        ended();
}

}  // namespace media
