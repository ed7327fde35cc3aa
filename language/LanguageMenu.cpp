#include "LanguageMenu.h"

#include "DataFiles.h"
#include "LanguageLog.h"
#include "MessageBox.h"
#include "Screen.h"
#include "modLanguageSupport.h"

using namespace Qt::Literals::StringLiterals;
using forms::TextProperty;

namespace modLanguageSupport {

namespace {

const QString kLanguageItem = u"mnuLanguage"_s;

}  // namespace

void MLSFillMenuLanguages(forms::Screen& menu) {
    const QStringList languages = files::languageNames();
    if (languages.isEmpty()) {
        forms::MsgBox(u"Non è presente alcun file di linguaggio!"_s, forms::MsgButtons::Ok, forms::MsgIcon::None);
        return;
    }
    for (int i = 0; i < languages.size(); ++i) {
        forms::Control& item = i == 0 ? menu.control(kLanguageItem, 0) : menu.loadElement(kLanguageItem, i);
        item.setVisible(true);
        item.setText(TextProperty::Caption, languages[i]);
    }
    if (const std::optional<QString> stored = MLSStoredLanguage())
        MLSCurrentLanguage = *stored;
    for (int i = 0; i < languages.size(); ++i) {
        forms::Control& item = menu.control(kLanguageItem, i);
        if (item.text(TextProperty::Caption) == MLSCurrentLanguage) {
            item.setChecked(true);
            break;
        }
    }
}

void mnuLanguage_Click(forms::Screen& menu, int Index) {
    if (const forms::Control* chosen = menu.find(kLanguageItem, Index))
        MLSChooseLanguage(chosen->text(TextProperty::Caption).value_or(QString()));
}

void MLSChooseLanguage(const QString& language) {
    MLSCurrentLanguage = language;
    // Translating lets pending events run, so a screen may be unloaded meanwhile.
    for (forms::Screen* screen : forms::Screen::loadedScreens()) {
        if (!screen->isLoaded())
            continue;
        for (const auto& control : screen->controls()) {
            if (control->name() == kLanguageItem)
                control->setChecked(control->text(TextProperty::Caption) == language);
        }
        MLSTranslateForm(*screen);
    }
    const QString settings = files::settingsFileToWrite();
    if (!MLSWriteIni(settings, u"Language"_s, u"CurrentLanguage"_s, language))
        qCWarning(lcLanguage, "the language chosen cannot be kept: settings file \"%s\" cannot be written",
                  qUtf8Printable(settings));
}

}  // namespace modLanguageSupport
