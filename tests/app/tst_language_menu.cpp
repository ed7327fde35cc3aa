// The language menu of the main menu: its entries, the check mark, a choice
// and the remembered language.
#include "app/Screens.h"
#include "language/LanguageMenu.h"
#include "language/modLanguageSupport.h"
#include "platform/Screen.h"
#include "tests/app/ProgramFolderFixture.h"

#include <QTest>
#include <sys/resource.h>
#include <csignal>

using namespace Qt::Literals::StringLiterals;
using modLanguageSupport::MLSCurrentLanguage;
using platform::TextProperty;

namespace {

const QString kNoLanguageFile = u"Non è presente alcun file di linguaggio!"_s;

QString menuLanguageFile(const QString& exerciseCaption) {
    return u"[FormMenu]\r\nCommand7.Caption=\"%1\"\r\nmnuLanguages.Caption=\"Language\"\r\n"
           "[Strings]\r\n0003=\"?\"\r\n"_s.arg(exerciseCaption);
}

}  // namespace

class TestLanguageMenu : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;

    platform::Screen& menu() { return screens::FormMenu(); }

    // The captions of the language menu's entries, a "*" after the checked one.
    QStringList entries() {
        QStringList captions;
        for (const auto& control : menu().controls()) {
            if (control->name() != u"mnuLanguage"_s)
                continue;
            captions << control->text(TextProperty::Caption).value_or(u"?"_s)
                            + (control->checked() ? u"*"_s : QString());
        }
        return captions;
    }
    QString caption(const QString& name) {
        return menu().control(name).text(TextProperty::Caption).value_or(QString());
    }
    void openMenu() {
        menu().Unload();
        menu().Show();
    }
    void setStoredLanguage(const QString& language) {
        folder.writeFile(u"LangSetting.ini"_s,
                         u"[Language]\r\nCurrentLanguage=%1\r\n"_s.arg(language));
    }
    QString storedLanguage() {
        return modLanguageSupport::MLSReadIni(modLanguageSupport::SettingsFile(), u"Language"_s,
                                              u"CurrentLanguage"_s)
            .value_or(u"<none>"_s);
    }
    void choose(int index) { menu().control(u"mnuLanguage"_s, index).click(); }

private Q_SLOTS:
    void init() {
        menu().Unload();
        folder.clear();
        folder.boxes.clear();
        MLSCurrentLanguage.clear();
    }
    void cleanupTestCase() { menu().Unload(); }

    void withoutLanguageFilesThePlaceholderStays() {
        QDir(folder.folder.path()).mkdir(u"Cartella.lng"_s);
        folder.writeFile(u"Leggimi.txt"_s, u"[Strings]\r\n"_s);
        MLSCurrentLanguage = u"Deutsch"_s;
        openMenu();
        QCOMPARE(folder.boxes.size(), 1);
        const platform::MessageBoxRequest box = folder.boxes.first();
        QCOMPARE(box.message, kNoLanguageFile);
        QVERIFY(box.title.isNull());
        QCOMPARE(box.icon, platform::MsgIcon::None);
        QCOMPARE(box.buttons, platform::MsgButtons::Ok);
        QCOMPARE(entries(), QStringList{u"mnuLanguage 0"_s});
        QCOMPARE(MLSCurrentLanguage, u"Deutsch"_s);

        choose(0);
        QCOMPARE(MLSCurrentLanguage, u"mnuLanguage 0"_s);
        QCOMPARE(storedLanguage(), u"mnuLanguage 0"_s);
        QCOMPARE(entries(), QStringList{u"mnuLanguage 0*"_s});
        QCOMPARE(caption(u"Command7"_s), u"Cambia colore"_s);
    }

    void oneLanguageFileReplacesThePlaceholder() {
        folder.writeLanguage(u"English"_s, menuLanguageFile(u"Change colour"_s));
        setStoredLanguage(u"English"_s);
        openMenu();
        QVERIFY(folder.boxes.isEmpty());
        QCOMPARE(entries(), QStringList{u"English*"_s});
        QCOMPARE(MLSCurrentLanguage, u"English"_s);
        QCOMPARE(caption(u"Command7"_s), u"Change colour"_s);
        QCOMPARE(caption(u"mnuLanguages"_s), u"Language"_s);
    }

    void entriesFollowTheNamesAndTheStoredChoiceIsChecked() {
        folder.writeLanguage(u"Italiano"_s, menuLanguageFile(u"Cambia il colore"_s));
        folder.writeLanguage(u"English"_s, menuLanguageFile(u"Change colour"_s));
        folder.writeLanguage(u"deutsch"_s, menuLanguageFile(u"Farbe"_s));
        setStoredLanguage(u"Italiano"_s);
        openMenu();
        QCOMPARE(entries(), (QStringList{u"deutsch"_s, u"English"_s, u"Italiano*"_s}));

        setStoredLanguage(u"italiano"_s);
        openMenu();
        QCOMPARE(entries(), (QStringList{u"deutsch"_s, u"English"_s, u"Italiano"_s}));
        QCOMPARE(MLSCurrentLanguage, u"italiano"_s);

        folder.clear();
        folder.writeLanguage(u"English"_s, menuLanguageFile(u"Change colour"_s));
        openMenu();
        QCOMPARE(entries(), QStringList{u"English"_s});
        QCOMPARE(MLSCurrentLanguage, u"italiano"_s);
    }

    void aChoiceTranslatesEveryLoadedScreenAndIsStored() {
        folder.writeLanguage(u"English"_s, menuLanguageFile(u"Change colour"_s));
        folder.writeLanguage(u"Italiano"_s, menuLanguageFile(u"Cambia il colore"_s));
        setStoredLanguage(u"Italiano"_s);
        openMenu();
        QCOMPARE(caption(u"Command7"_s), u"Cambia il colore"_s);

        choose(0);
        QCOMPARE(MLSCurrentLanguage, u"English"_s);
        QCOMPARE(entries(), (QStringList{u"English*"_s, u"Italiano"_s}));
        QCOMPARE(caption(u"Command7"_s), u"Change colour"_s);
        QCOMPARE(storedLanguage(), u"English"_s);

        choose(0);
        QCOMPARE(entries(), (QStringList{u"English*"_s, u"Italiano"_s}));
        QCOMPARE(caption(u"Command7"_s), u"Change colour"_s);
        QCOMPARE(storedLanguage(), u"English"_s);
        QVERIFY(folder.boxes.isEmpty());

        openMenu();
        QCOMPARE(entries(), (QStringList{u"English*"_s, u"Italiano"_s}));
    }

    // A full disk or a read-only folder: the choice holds for this run only and
    // the settings file keeps the old choice whole.
    void anUnwritableSettingsFileKeepsTheOldChoice() {
        folder.writeLanguage(u"English"_s, menuLanguageFile(u"Change colour"_s));
        folder.writeLanguage(u"Italiano"_s, menuLanguageFile(u"Cambia il colore"_s));
        setStoredLanguage(u"Italiano"_s);
        const QByteArray before = folder.readFile(u"LangSetting.ini"_s);
        openMenu();

        QFile::setPermissions(folder.folder.path(), QFile::ReadOwner | QFile::ExeOwner);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit noRoom{0, limit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &noRoom);
        choose(0);
        setrlimit(RLIMIT_FSIZE, &limit);
        QFile::setPermissions(folder.folder.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY(folder.boxes.isEmpty());
        QCOMPARE(MLSCurrentLanguage, u"English"_s);
        QCOMPARE(caption(u"Command7"_s), u"Change colour"_s);
        QCOMPARE(folder.readFile(u"LangSetting.ini"_s), before);
    }
};

QTEST_MAIN(TestLanguageMenu)
#include "tst_language_menu.moc"
