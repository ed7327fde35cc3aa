#pragma once
// A connection to speech-dispatcher, speaking its text protocol (SSIP) over
// the server's socket. Every reply is awaited with a deadline and may be only
// so long: a server that hangs, answers junk, ends the connection or sends a
// line without end silences the voice for the rest of the run, said in the
// log, and the program goes on. (The server's own client library ends the
// whole process on a malformed reply and grows without bound on an endless
// one.) Lives and is used on one thread, whose event loop brings the ends of
// sentences.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QIODevice>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace media {

class SpeechConnection : public QObject {
public:
    SpeechConnection() = default;
    ~SpeechConnection() override;

    // Connects to the server of `address` ("unix_socket:PATH" or
    // "inet_socket:HOST[:PORT]", as in SPEECHD_ADDRESS; empty: this user's
    // own server, started when none runs yet), names this client and asks to
    // be told when each sentence ends or is cut.
    bool open(const QString& address);
    bool isOpen() const;

    bool setLanguage(const QByteArray& tag);
    bool setRate(int rate);
    // Cuts what this client is saying and everything it queued.
    bool cancel();
    // Says `text`; `ended` is called once the server tells the sentence has
    // ended or was cut, at once when it cannot be said, or when the
    // connection fails meanwhile (never, from a server that does not tell).
    void say(const QString& text, std::function<void()> ended);
    bool anyBeingSaid() const;

private:
    struct Reply {
        int code = 0;
        QList<QByteArray> lines;  // the text of each line, after the code
    };

    bool connectTo(const QString& address);
    bool succeeds(const QByteArray& command);
    std::optional<Reply> command(const QByteArray& line);
    std::optional<Reply> nextReply(QDeadlineTimer deadline);
    std::optional<QByteArray> nextLine(QDeadlineTimer deadline);
    void readEvents();
    void sentenceEnded(quint64 message);
    void fail(const char* why);

    std::unique_ptr<QIODevice> socket_;
    QByteArray received_;
    // Whether a reply is being read: what the socket brings meanwhile is read there.
    bool reading_ = false;
    // Whether the server tells the ends of sentences; when it does not, the
    // end of a sentence is never called, and the caller's own estimate serves.
    bool toldEnds_ = false;
    QHash<quint64, std::function<void()>> beingSaid_;
    // Ends told before the reply that numbers their sentence.
    QSet<quint64> endedEarly_;
};

}  // namespace media
