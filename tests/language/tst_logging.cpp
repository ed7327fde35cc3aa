// What fails without the child seeing it is logged, one line, only when the
// logging rules ask for it.
#include "DataFiles.h"
#include "FileBytes.h"
#include "FilesLog.h"
#include "LanguageLog.h"
#include "MediaLoader.h"
#include "MediaLog.h"
#include "Picture.h"
#include "Settings.h"
#include "Sound.h"
#include "modLanguageSupport.h"

#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList logged;  // "category: text"

void keepOurLines(QtMsgType, const QMessageLogContext& context, const QString& text) {
    const QString category = QString::fromUtf8(context.category);
    if (category.startsWith(u"metamorfine."_s))
        logged.append(category + u": "_s + text);
}

}  // namespace

class LoggingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void silentFailuresLogOneLineWhenAsked() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        files::setExecutableFolder(folder.path());
        const QString damaged = folder.filePath(u"damaged.gif"_s);
        QVERIFY(file_bytes::write(damaged, "GIF89a\x10\x00\x10\x00 not a picture"));
        const QString settingsFile = folder.filePath(u"metamorfine.conf"_s);
        QVERIFY(file_bytes::write(settingsFile, "[Speech]\nOn=maybe\nRate=fast\n"));
        const QtMessageHandler previous = qInstallMessageHandler(keepOurLines);

        // Fails a picture and the language file of `language`, twice each, and
        // reads a settings file of two bad values.
        const auto failBoth = [&](const QString& picture, const QString& language) {
            logged.clear();
            settings::read(settingsFile);
            modLanguageSupport::MLSCurrentLanguage = language;
            for (int round = 0; round < 2; ++round) {
                QVERIFY(!files::LoadPicture(picture));
                QVERIFY(modLanguageSupport::MLSGetString(u"1"_s).isEmpty());
            }
        };
        // Whether `category` logged `count` lines, each naming `text`.
        const auto logsEach = [](const QString& category, qsizetype count, const QString& text) {
            const QStringList lines = logged.filter(category + u": "_s);
            return lines.size() == count && lines.filter(text).size() == count;
        };

        failBoth(folder.filePath(u"missing.gif"_s), u"Deutsch"_s);
        QCOMPARE(logged.size(), 0);  // quiet by default
        for (const QLoggingCategory* category :
             {&files::lcFiles(), &media::lcMedia(), &modLanguageSupport::lcLanguage(), &settings::lcSettings()})
            QVERIFY2(!category->isWarningEnabled() && category->isCriticalEnabled(), category->categoryName());

        QLoggingCategory::setFilterRules(u"metamorfine.*=true"_s);
        failBoth(damaged, u"Klingon"_s);
        // Each refusal of a picture is its own failure; a language file missing
        // is one line however many texts are looked up; a bad value is logged
        // under the name the parent knows the file by.
        QVERIFY2(logsEach(u"metamorfine.files"_s, 2, damaged), qPrintable(logged.join(u'\n')));
        QVERIFY2(logsEach(u"metamorfine.language"_s, 1, files::languageFilePath(u"Klingon"_s)),
                 qPrintable(logged.join(u'\n')));
        QVERIFY2(logsEach(u"metamorfine.settings"_s, 2, u'"' + settingsFile + u'"'), qPrintable(logged.join(u'\n')));
        QCOMPARE(logged.size(), 5);
        // The media plugin is looked for once a run, here in vain.
        media::PlaySoundAsync(folder.filePath(u"si1.wav"_s));
        media::PlaySoundAsync(folder.filePath(u"no.wav"_s));
        QVERIFY(media::finishMedia(5000));  // waits for the thread that looks for it
        QVERIFY2(logsEach(u"metamorfine.media"_s, 1, folder.path()), qPrintable(logged.join(u'\n')));

        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QString());
        modLanguageSupport::MLSCurrentLanguage.clear();
        files::setExecutableFolder(QString());
    }
};

QTEST_GUILESS_MAIN(LoggingTest)
#include "tst_logging.moc"
