#pragma once
// The parent's settings dialog, in the current language: switch scanning and
// its interval, speech and its pace, the level (fixed or growing with the
// child) and whether the child may choose it on the menu, praise, whether the
// sound switch and the picture set are kept, kiosk mode and full screen, and
// the language (the only place to choose it in kiosk mode), and the children
// who play, each a name and a picture. Every control is
// named for the screen reader by its label and reached with Tab; Save writes
// the settings file, Cancel or Escape leaves it as it was.

#include "RecordStore.h"
#include "Settings.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace app {

class SettingsDialog : public QDialog {
public:
    // `children`: as the record holds them; none shown when it cannot be read.
    explicit SettingsDialog(const settings::Settings& shown,
                            std::optional<std::vector<record::Child>> children = std::nullopt,
                            QWidget* parent = nullptr);
    // The settings as the dialog shows them now.
    settings::Settings chosen() const;
    // The language as the dialog shows it now.
    QString language() const;
    // The children as the dialog shows them now (id 0: added), and those removed.
    const std::vector<record::Child>& children() const { return children_; }
    const std::vector<qint64>& removedChildren() const { return removed_; }

private:
    void addChild();
    void changeChild();
    void removeChild();
    void showChildren();

    settings::Settings shown_;
    QComboBox* scan_;
    QDoubleSpinBox* interval_;
    QCheckBox* speech_;
    QSpinBox* rate_;
    QComboBox* level_;
    QCheckBox* levelOnMenu_;
    QCheckBox* praise_;
    QCheckBox* rememberSound_;
    QCheckBox* rememberPictureSet_;
    QCheckBox* kiosk_;
    QCheckBox* fullScreen_;
    QComboBox* language_;
    std::vector<record::Child> children_;
    std::vector<qint64> removed_;
    QListWidget* childList_;
    QPushButton* addChild_;
    QPushButton* changeChild_;
    QPushButton* removeChild_;
};

// A child's name and picture, chosen among the program's pictures.
class ChildDialog : public QDialog {
public:
    ChildDialog(const record::Child& shown, QWidget* parent = nullptr);
    record::Child chosen() const;

private:
    record::Child shown_;
    QLineEdit* name_;
    QListWidget* pictures_;
};

// Shows the dialog over `parent` with the settings file's values; Save writes
// the file and this run takes the new speech, praise, level and scanning at
// once, on every window (kiosk and full screen hold from the next start), and
// the language another one chosen is taken and remembered. False when the
// file could not be written (the dialog then says so). The children are
// written to the record at `recordPath`.
bool OpenSettings(QWidget* parent = nullptr, const QString& recordPath = record::filePath());

// What the run does by `run` from now on: the switch scan's mode and pace on
// every window, the voice's pace, a screen reader decided either way, and the
// screen kept awake in a kiosk or while scanning.
void TakeSettings(const settings::Settings& run);

// The dialog alone, in the language the program would start in (--settings):
// the exit status, 0 unless the file could not be written.
int SettingsAlone();

}  // namespace app
