#include "SettingsDialog.h"

#include "DataFiles.h"
#include "LanguageMenu.h"
#include "MessageBox.h"
#include "Modulo1.h"
#include "ScreenAwake.h"
#include "ScreenReader.h"
#include "Speech.h"
#include "SwitchScan.h"
#include "Widgets.h"
#include "modLanguageSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <optional>

using namespace Qt::Literals::StringLiterals;
using settings::Level;
using settings::Scan;

namespace app {

namespace {

QString text(const QString& key) {
    return modLanguageSupport::MLSOurWord(modLanguageSupport::OurWords::Settings, key);
}

// A check box named by its own text.
QCheckBox* checkBox(const QString& key, bool checked) {
    auto* box = new QCheckBox(text(key));
    box->setAccessibleName(box->text());
    box->setChecked(checked);
    return box;
}

// The property of a field the system's settings lock.
constexpr char kLocked[] = "metamorfineLocked";

// A row of the form: the label names the field for the screen reader.
void addRow(QFormLayout* form, const QString& key, QWidget* field) {
    auto* label = new QLabel(text(key));
    label->setBuddy(field);
    field->setAccessibleName(label->text());
    form->addRow(label, field);
}

}  // namespace

SettingsDialog::SettingsDialog(const settings::Settings& shown, QWidget* parent)
    : QDialog(parent),
      shown_(shown),
      scan_(new QComboBox),
      interval_(new QDoubleSpinBox),
      speech_(checkBox(u"Speech"_s, shown.speech)),
      rate_(new QSpinBox),
      level_(new QComboBox),
      levelOnMenu_(checkBox(u"LevelOnMenu"_s, shown.levelOnMenu)),
      praise_(checkBox(u"Praise"_s, shown.praise)),
      rememberSound_(checkBox(u"RememberSound"_s, shown.rememberSound)),
      rememberPictureSet_(checkBox(u"RememberSet"_s, shown.rememberPictureSet)),
      kiosk_(checkBox(u"Kiosk"_s, shown.kiosk)),
      fullScreen_(checkBox(u"FullScreen"_s, shown.fullScreen)),
      language_(new QComboBox) {
    setWindowTitle(text(u"Title"_s));
    setAccessibleName(windowTitle());
    setObjectName(u"SettingsDialog"_s);

    scan_->addItem(text(u"ScanOff"_s), int(Scan::Off));
    scan_->addItem(text(u"ScanAuto"_s), int(Scan::Auto));
    scan_->addItem(text(u"ScanStep"_s), int(Scan::Step));
    scan_->setCurrentIndex(scan_->findData(int(shown.scan)));
    interval_->setRange(settings::kMinScanIntervalMs / 1000.0, settings::kMaxScanIntervalMs / 1000.0);
    interval_->setSingleStep(0.5);
    interval_->setDecimals(1);
    interval_->setSuffix(u" s"_s);
    interval_->setValue(shown.scanIntervalMs / 1000.0);
    rate_->setRange(settings::kMinSpeechRate, settings::kMaxSpeechRate);
    rate_->setSingleStep(10);
    rate_->setValue(shown.speechRate);
    level_->addItem(text(u"Level1"_s), int(Level::One));
    level_->addItem(text(u"Level2"_s), int(Level::Two));
    level_->addItem(text(u"Level3"_s), int(Level::Three));
    level_->addItem(text(u"LevelGrows"_s), int(Level::Grows));
    level_->setCurrentIndex(level_->findData(int(shown.level)));

    language_->addItems(platform::languageNames());
    language_->setCurrentText(modLanguageSupport::MLSCurrentLanguage);

    auto* form = new QFormLayout;
    addRow(form, u"Scan"_s, scan_);
    addRow(form, u"Interval"_s, interval_);
    form->addRow(speech_);
    addRow(form, u"Rate"_s, rate_);
    addRow(form, u"Level"_s, level_);
    form->addRow(levelOnMenu_);
    addRow(form, u"Language"_s, language_);
    for (QCheckBox* box : {praise_, rememberSound_, rememberPictureSet_, fullScreen_, kiosk_})
        form->addRow(box);
    auto* kioskHint = new QLabel(text(u"KioskHint"_s));
    kioskHint->setWordWrap(true);
    form->addRow(kioskHint);
    kiosk_->setAccessibleDescription(kioskHint->text());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QAbstractButton* button : buttons->buttons())
        button->setStyle(platform::captionBesidePictureStyle());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    // The interval and the pace matter only with a scan and a voice.
    const auto follow = [this] {
        interval_->setEnabled(!interval_->property(kLocked).toBool() &&
                              Scan(scan_->currentData().toInt()) == Scan::Auto);
        rate_->setEnabled(!rate_->property(kLocked).toBool() && speech_->isChecked());
    };
    connect(scan_, &QComboBox::currentIndexChanged, this, follow);
    connect(speech_, &QCheckBox::toggled, this, follow);
    // What the system's settings lock is shown, not changed.
    const QStringList locked = settings::lockedKeys();
    const std::pair<QStringView, QWidget*> fields[] = {
        {settings::key::kScan, scan_},
        {settings::key::kScanInterval, interval_},
        {settings::key::kSpeech, speech_},
        {settings::key::kSpeechRate, rate_},
        {settings::key::kLevel, level_},
        {settings::key::kLevelOnMenu, levelOnMenu_},
        {settings::key::kPraise, praise_},
        {settings::key::kRememberSound, rememberSound_},
        {settings::key::kRememberPictureSet, rememberPictureSet_},
        {settings::key::kKiosk, kiosk_},
        {settings::key::kFullScreen, fullScreen_},
        {settings::key::kLanguage, language_},
    };
    for (const auto& [key, field] : fields) {
        if (locked.contains(key)) {
            field->setProperty(kLocked, true);
            field->setEnabled(false);
        }
    }
    follow();
    scan_->setFocus(Qt::OtherFocusReason);
}

settings::Settings SettingsDialog::chosen() const {
    settings::Settings chosen = shown_;
    chosen.scan = Scan(scan_->currentData().toInt());
    chosen.scanIntervalMs = qRound(interval_->value() * 1000);
    chosen.speech = speech_->isChecked();
    chosen.speechRate = rate_->value();
    chosen.level = Level(level_->currentData().toInt());
    chosen.levelOnMenu = levelOnMenu_->isChecked();
    chosen.praise = praise_->isChecked();
    chosen.rememberSound = rememberSound_->isChecked();
    chosen.rememberPictureSet = rememberPictureSet_->isChecked();
    chosen.kiosk = kiosk_->isChecked();
    chosen.fullScreen = fullScreen_->isChecked();
    return chosen;
}

QString SettingsDialog::language() const {
    return language_->currentText();
}

bool OpenSettings(QWidget* parent) {
    SettingsDialog dialog(settings::read(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return true;
    const settings::Settings chosen = dialog.chosen();
    if (!settings::write(chosen)) {
        platform::MsgBox(text(u"NotSaved"_s), platform::MsgButtons::Ok, platform::MsgIcon::Critical,
                         dialog.windowTitle());
        return false;
    }
    // The start-up choices, and the screen reader (not in the dialog), stay as this run began.
    settings::Settings& run = settings::current();
    const settings::Settings began = run;
    run = chosen;
    run.kiosk = began.kiosk;
    run.fullScreen = began.fullScreen;
    run.screenReader = began.screenReader;
    TakeSettings(run);
    if (!dialog.language().isEmpty() && dialog.language() != modLanguageSupport::MLSCurrentLanguage)
        modLanguageSupport::MLSChooseLanguage(dialog.language());
    return true;
}

void TakeSettings(const settings::Settings& run) {
    // A kiosk, or a child playing by switches, may not touch anything the
    // desktop counts as input for longer than it waits before locking.
    platform::keepScreenAwake(run.kiosk || run.scan != settings::Scan::Off,
                              run.kiosk ? u"A classroom kiosk"_s : u"A child plays by switch scanning"_s);
    platform::switch_scan::configure(run.scan, run.scanIntervalMs);
    platform::SetSpeechRate(run.speechRate);
    platform::forceScreenReader(run.screenReader == settings::ScreenReader::Auto
                                    ? std::nullopt
                                    : std::optional<bool>(run.screenReader == settings::ScreenReader::On));
}

int SettingsAlone() {
    modLanguageSupport::MLSCurrentLanguage = Modulo1::StartLanguage();
    modLanguageSupport::MLSInstallDialogTranslations();
    return OpenSettings() ? 0 : 1;
}

}  // namespace app
