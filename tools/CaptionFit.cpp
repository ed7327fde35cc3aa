#include "CaptionFit.h"

#include "DataFiles.h"
#include "MessageBox.h"
#include "Screen.h"
#include "Screens.h"
#include "modLanguageSupport.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QLabel>
#include <QTemporaryDir>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// A caption may shrink this far below the English one's size before a child
// would strain to read it.
constexpr double kSmallestShare = 0.6;

QTemporaryDir& folder() {
    static QTemporaryDir made;
    return made;
}

// The text as the program reads it: notes left out, CR LF, UTF-8 behind a mark.
bool writeLanguageFile(const QString& name, const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(u'\n')) {
        if (!line.startsWith(u';'))
            lines << (line.endsWith(u'\r') ? line.chopped(1) : line);
    }
    QFile file(folder().filePath(name + u".lng"_s));
    const QByteArray bytes = "\xEF\xBB\xBF" + lines.join(u"\r\n"_s).toUtf8();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct Measure {
    int pixels = 0;
    bool fits = true;
};

// Each shown caption of every screen, by "[screen] control.Caption".
QHash<QString, Measure> measure(const QString& language) {
    // The start screen takes the remembered language.
    modLanguageSupport::MLSWriteIni(files::settingsFileToWrite(), u"Language"_s, u"CurrentLanguage"_s, language);
    modLanguageSupport::MLSCurrentLanguage = language;
    QHash<QString, Measure> measured;
    for (forms::Screen* screen : {&app::screens::FormAvvio(), &app::screens::FormMenu(), &app::screens::FormEs1(),
                                  &app::screens::FormEs2(), &app::screens::FormEs3(), &app::screens::FormEs4(),
                                  &app::screens::FormEs5(), &app::screens::FormEs6(), &app::screens::FormEs7()}) {
        screen->Show();
        QApplication::processEvents();
        for (const auto& control : screen->controls()) {
            const QWidget* widget = control->widget();
            const QString caption = control->text(forms::TextProperty::Caption).value_or(QString()).trimmed();
            if (!widget || !widget->isVisible() || caption.isEmpty())
                continue;
            const QFontMetrics metrics(widget->font());
            // A label's caption stands at its top: its ink must end above the label's bottom too.
            const bool label = qobject_cast<const QLabel*>(widget);
            const bool fitsBelow =
                !label || metrics.ascent() + metrics.tightBoundingRect(caption).bottom() <= widget->height();
            measured.insert(u'[' + screen->name() + u"] "_s + control->fullName() + u".Caption"_s,
                            {QFontInfo(widget->font()).pixelSize(),
                             fitsBelow && metrics.horizontalAdvance(caption) <= widget->contentsRect().width()});
        }
        screen->Unload();
    }
    return measured;
}

}  // namespace

void prepareCaptionFit() {
    const QString display = folder().filePath(u"display.json"_s);
    QFile json(display);
    if (json.open(QIODevice::WriteOnly))
        json.write(R"({"screens": [{"name": "display", "x": 0, "y": 0, "width": 1024, "height": 600,
                    "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    json.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + display.toLocal8Bit());
    // The program's settings and lock stay in the folder of this check.
    qputenv("XDG_CONFIG_HOME", folder().path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", folder().path().toLocal8Bit());
}

QStringList captionsThatDoNotFit(const QString& language, const QString& english) {
    if (!writeLanguageFile(u"Checked"_s, language) || !writeLanguageFile(u"English"_s, english))
        return {u"the captions cannot be measured: no temporary folder"_s};
    files::setExecutableFolder(folder().path());
    forms::setMessageBoxResponder([](const forms::MessageBoxRequest&) { return forms::MsgAnswer::Ok; });
    const QHash<QString, Measure> model = measure(u"English"_s);
    const QHash<QString, Measure> checked = measure(u"Checked"_s);
    QStringList faults;
    for (auto caption = checked.cbegin(); caption != checked.cend(); ++caption) {
        const Measure designed = model.value(caption.key());
        if (!caption->fits)
            faults << caption.key() + u": wider or taller than its control at 1024 x 600; make it shorter"_s;
        else if (designed.pixels > 0 && caption->pixels < kSmallestShare * designed.pixels)
            faults << caption.key() + u": shrinks to %1 pixels against English %2 at 1024 x 600; make it shorter"_s
                                          .arg(caption->pixels)
                                          .arg(designed.pixels);
    }
    faults.sort();
    return faults;
}
