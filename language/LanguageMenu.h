#pragma once
// The language menu of the main menu: one entry per language file in the
// program folder, a check mark on the current language, and the choice of
// another language, which translates every loaded screen and is remembered.

class QString;

namespace forms {
class Screen;
}

namespace modLanguageSupport {

// Fills the menu item array mnuLanguage of `menu` with the language names.
void MLSFillMenuLanguages(forms::Screen& menu);

// The entry `Index` of the language menu of `menu` was chosen.
void mnuLanguage_Click(forms::Screen& menu, int Index);

// Makes `language` the current one: every loaded screen is translated, its
// language menu's check mark moves, and the choice is remembered.
void MLSChooseLanguage(const QString& language);

}  // namespace modLanguageSupport
