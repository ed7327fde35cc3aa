#include "SettingsDialog.h"

#include "DataFiles.h"
#include "InputDispatcher.h"
#include "LanguageMenu.h"
#include "MessageBox.h"
#include "Modulo1.h"
#include "Players.h"
#include "RecordPage.h"
#include "ScreenAwake.h"
#include "ScreenReader.h"
#include "Speech.h"
#include "Widgets.h"
#include "modLanguageSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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

QIcon childIcon(int picture) {
    return QIcon(QPixmap::fromImage(childPicture(picture)));
}

}  // namespace

ChildDialog::ChildDialog(const record::Child& shown, QWidget* parent)
    : QDialog(parent), shown_(shown), name_(new QLineEdit(shown.name)), pictures_(new QListWidget) {
    setWindowTitle(shown.id ? text(u"RenameChild"_s) : text(u"AddChild"_s));
    setAccessibleName(windowTitle());
    setObjectName(u"ChildDialog"_s);
    name_->setObjectName(u"ChildName"_s);
    pictures_->setObjectName(u"ChildPictures"_s);
    pictures_->setViewMode(QListView::IconMode);
    pictures_->setIconSize(QSize(64, 64));
    pictures_->setResizeMode(QListView::Adjust);
    pictures_->setMovement(QListView::Static);
    for (int picture = 0; picture < kChildPictures; ++picture) {
        auto* item = new QListWidgetItem(childIcon(picture), QString(), pictures_);
        item->setData(Qt::AccessibleTextRole, QString(text(u"ChildPicture"_s) + u' ' + QString::number(picture + 1)));
    }
    pictures_->setCurrentRow(std::clamp(shown.picture, 0, kChildPictures - 1));
    pictures_->setMinimumSize(640, 400);
    auto* form = new QFormLayout;
    addRow(form, u"ChildName"_s, name_);
    addRow(form, u"ChildPicture"_s, pictures_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto follow = [this, buttons] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!name_->text().trimmed().isEmpty());
    };
    connect(name_, &QLineEdit::textChanged, this, follow);
    follow();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    name_->setFocus(Qt::OtherFocusReason);
}

record::Child ChildDialog::chosen() const {
    record::Child chosen = shown_;
    chosen.name = name_->text().trimmed();
    chosen.picture = std::max(0, pictures_->currentRow());
    return chosen;
}

SettingsDialog::SettingsDialog(const settings::Settings& shown, std::optional<std::vector<record::Child>> children,
                               QWidget* parent)
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
      language_(new QComboBox),
      children_(children.value_or(std::vector<record::Child>{})),
      childList_(new QListWidget),
      addChild_(new QPushButton(text(u"AddChild"_s))),
      changeChild_(new QPushButton(text(u"RenameChild"_s))),
      removeChild_(new QPushButton(text(u"RemoveChild"_s))) {
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

    language_->addItems(files::languageNames());
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

    childList_->setObjectName(u"Children"_s);
    childList_->setIconSize(QSize(32, 32));
    childList_->setMaximumHeight(160);
    auto* childButtons = new QHBoxLayout;
    addChild_->setObjectName(u"AddChild"_s);
    changeChild_->setObjectName(u"RenameChild"_s);
    removeChild_->setObjectName(u"RemoveChild"_s);
    auto* recordButton = new QPushButton(text(u"Record"_s));
    recordButton->setObjectName(u"Record"_s);
    connect(recordButton, &QPushButton::clicked, this, [this] {
        RecordPage page(record::filePath(), this);
        page.showMaximized();
        page.exec();
    });
    for (QPushButton* button : {addChild_, changeChild_, removeChild_, recordButton}) {
        button->setAccessibleName(button->text());
        childButtons->addWidget(button);
    }
    connect(addChild_, &QPushButton::clicked, this, &SettingsDialog::addChild);
    connect(changeChild_, &QPushButton::clicked, this, &SettingsDialog::changeChild);
    connect(removeChild_, &QPushButton::clicked, this, &SettingsDialog::removeChild);
    connect(childList_, &QListWidget::currentRowChanged, this, [this] { showChildren(); });
    addRow(form, u"Children"_s, childList_);
    form->addRow(childButtons);
    childList_->setEnabled(children.has_value());
    showChildren();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QAbstractButton* button : buttons->buttons())
        button->setStyle(forms::captionBesidePictureStyle());
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

// The list as the children stand, the same row kept; the buttons that apply.
void SettingsDialog::showChildren() {
    const int row = childList_->currentRow();
    const QSignalBlocker quiet(childList_);
    childList_->clear();
    for (const record::Child& child : children_)
        childList_->addItem(new QListWidgetItem(childIcon(child.picture), child.name));
    childList_->setCurrentRow(std::min(row, int(children_.size()) - 1));
    const bool readable = childList_->isEnabled();
    addChild_->setEnabled(readable && children_.size() < std::size_t(kMaxChildren));
    changeChild_->setEnabled(readable && childList_->currentRow() >= 0);
    removeChild_->setEnabled(readable && childList_->currentRow() >= 0);
}

void SettingsDialog::addChild() {
    ChildDialog dialog({.id = 0, .name = {}, .picture = int(children_.size() * 7 % kChildPictures), .level = 0}, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    children_.push_back(dialog.chosen());
    childList_->setCurrentRow(-1);
    showChildren();
    childList_->setCurrentRow(int(children_.size()) - 1);
}

void SettingsDialog::changeChild() {
    const int row = childList_->currentRow();
    if (row < 0)
        return;
    ChildDialog dialog(children_[std::size_t(row)], this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    children_[std::size_t(row)] = dialog.chosen();
    showChildren();
}

void SettingsDialog::removeChild() {
    const int row = childList_->currentRow();
    if (row < 0)
        return;
    const record::Child& child = children_[std::size_t(row)];
    if (forms::MsgBox(text(u"RemoveChildQuestion"_s).arg(child.name), forms::MsgButtons::YesNo,
                      forms::MsgIcon::Question, windowTitle()) != forms::MsgAnswer::Yes)
        return;
    if (child.id > 0)
        removed_.push_back(child.id);
    children_.erase(children_.begin() + row);
    showChildren();
}

namespace {

// The children as the dialog leaves them, written to the record; false when
// the record could not take them all (logged).
bool writeChildren(record::Store& store, const SettingsDialog& dialog) {
    bool written = true;
    for (const qint64 id : dialog.removedChildren())
        written = store.removeChild(id) && written;
    for (const record::Child& child : dialog.children())
        written = (child.id > 0 ? store.updateChild(child) : store.addChild(child).has_value()) && written;
    return written;
}

}  // namespace

bool OpenSettings(QWidget* parent, const QString& recordPath) {
    record::Store store(recordPath);
    std::optional<std::vector<record::Child>> children;
    if (store.open())
        children = store.children();
    SettingsDialog dialog(settings::read(), children, parent);
    if (dialog.exec() != QDialog::Accepted)
        return true;
    if (children && !writeChildren(store, dialog))
        forms::MsgBox(text(u"NotSaved"_s), forms::MsgButtons::Ok, forms::MsgIcon::Critical, dialog.windowTitle());
    if (Players* playing = players())
        playing->reload();
    const settings::Settings chosen = dialog.chosen();
    if (!settings::write(chosen)) {
        forms::MsgBox(text(u"NotSaved"_s), forms::MsgButtons::Ok, forms::MsgIcon::Critical, dialog.windowTitle());
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
    media::keepScreenAwake(run.kiosk || run.scan != settings::Scan::Off,
                           run.kiosk ? u"A classroom kiosk"_s : u"A child plays by switch scanning"_s);
    forms::InputDispatcher::instance().configureScan(run.scan, run.scanIntervalMs);
    media::SetSpeechRate(run.speechRate);
    forms::forceScreenReader(run.screenReader == settings::ScreenReader::Auto
                                 ? std::nullopt
                                 : std::optional<bool>(run.screenReader == settings::ScreenReader::On));
}

int SettingsAlone() {
    modLanguageSupport::MLSCurrentLanguage = Modulo1::StartLanguage();
    modLanguageSupport::MLSInstallDialogTranslations();
    return OpenSettings() ? 0 : 1;
}

}  // namespace app
