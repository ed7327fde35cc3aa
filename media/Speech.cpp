#include "Speech.h"

#include "MediaBackend.h"
#include "MediaLoader.h"
#include "MediaLog.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace media {
namespace {

struct Sentence {
    QString text;
    QString locale;
    Utterance kind;
    int rate;  // the pace when it was asked for
};

// A voice that never says it has finished must not hold the queue for good:
// a sentence is taken as said after far longer than any voice takes for it.
std::chrono::milliseconds longestTimeFor(const QString& text, int rate) {
    constexpr int kPerCharacterMs = 150;
    constexpr int kMarginMs = 3000;
    const double slower = rate < 0 ? 1.0 - rate / 50.0 : 1.0;
    return std::chrono::milliseconds(kMarginMs + qint64(slower * kPerCharacterMs * text.size()));
}

class SpeechQueue {
public:
    int rate = 0;
    SpeechObserver observer;
    Voice voice;

    void add(Sentence sentence) {
        const auto same = [&sentence](const Sentence& other) { return other.text == sentence.text; };
        if (sentence.kind == Utterance::Message) {
            if ((current_ && same(*current_)) || std::any_of(messages_.begin(), messages_.end(), same))
                return;
            messages_.push_back(std::move(sentence));
        } else if (current_ && same(*current_)) {
            // The same choice reached twice (by the scan, and by the focus) is said once.
            name_.reset();
            return;
        } else {
            name_ = std::move(sentence);
        }
        // Sentences asked for together are sorted before any is said: the
        // messages first, then the last name.
        if (!pumpScheduled_) {
            pumpScheduled_ = true;
            QTimer::singleShot(0, QCoreApplication::instance(), [this] {
                pumpScheduled_ = false;
                pump();
            });
        }
    }

    void stop() {
        messages_.clear();
        name_.reset();
        if (std::exchange(current_, std::nullopt))
            sayWithVoice({.text = {}, .locale = {}, .kind = Utterance::Name, .rate = rate}, [] {});
        finished(serial_);
    }

    bool speaking() const { return current_ || !messages_.empty() || name_; }

    void whenSilent(QObject* context, std::function<void()> then) {
        waiting_.emplace_back(context, std::move(then));
        if (!speaking())
            QTimer::singleShot(0, QCoreApplication::instance(), [this] { callIfSilent(); });
    }

private:
    void pump() {
        // Only a name gives way, and only to a newer name.
        const bool nameGivesWay = current_ && current_->kind == Utterance::Name && messages_.empty() && name_;
        if (current_ && !nameGivesWay)
            return;
        std::optional<Sentence> next;
        if (!messages_.empty()) {
            next = std::move(messages_.front());
            messages_.pop_front();
        } else {
            next = std::exchange(name_, std::nullopt);
        }
        if (!next) {
            callIfSilent();
            return;
        }
        current_ = std::move(next);
        const quint64 serial = ++serial_;
        if (!watchdog_) {
            watchdog_ = new QTimer(QCoreApplication::instance());
            watchdog_->setSingleShot(true);
            QObject::connect(watchdog_, &QTimer::timeout, watchdog_, [this] {
                qCWarning(lcMedia, "the voice did not say when it finished a sentence: taken as said");
                finished(serial_);
            });
        }
        watchdog_->start(longestTimeFor(current_->text, current_->rate));
        sayWithVoice(*current_, [this, serial] {
            QMetaObject::invokeMethod(QCoreApplication::instance(), [this, serial] { finished(serial); });
        });
    }

    void sayWithVoice(const Sentence& sentence, std::function<void()> done) {
        if (voice) {
            voice(sentence.text, sentence.locale, std::move(done));
            return;
        }
        withMediaBackend(
            [sentence, done](MediaBackend& media) { media.speak(sentence.text, sentence.locale, sentence.rate, done); },
            done);
    }

    // The voice's word on a sentence cut or replaced since comes too late to count.
    void finished(quint64 serial) {
        if (serial != serial_)
            return;
        ++serial_;
        current_.reset();
        if (watchdog_)
            watchdog_->stop();
        pump();
    }

    void callIfSilent() {
        if (speaking())
            return;
        for (auto& [context, then] : std::exchange(waiting_, {})) {
            if (context)
                then();
        }
    }

    std::deque<Sentence> messages_;
    std::optional<Sentence> name_;
    std::optional<Sentence> current_;
    quint64 serial_ = 0;  // of the sentence being said; moves on when it is over
    bool pumpScheduled_ = false;
    QTimer* watchdog_ = nullptr;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> waiting_;
};

SpeechQueue& queue() {
    static SpeechQueue sentences;
    return sentences;
}

}  // namespace

void Speak(const QString& text, const QString& locale, Utterance kind) {
    if (queue().observer)
        queue().observer(text, locale);
    if (!QCoreApplication::instance())
        return;
    if (text.isEmpty())
        queue().stop();
    else
        queue().add({.text = text, .locale = locale, .kind = kind, .rate = queue().rate});
}

void SetSpeechRate(int rate) {
    queue().rate = rate;
}

bool Speaking() {
    return queue().speaking();
}

void WhenSilent(QObject* context, std::function<void()> then) {
    if (QCoreApplication::instance())
        queue().whenSilent(context, std::move(then));
}

void setSpeechObserver(SpeechObserver watcher) {
    queue().observer = std::move(watcher);
}

void setVoice(Voice voice) {
    queue().voice = std::move(voice);
}

}  // namespace media
