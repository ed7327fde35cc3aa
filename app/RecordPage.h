#pragma once
// The record's page, for a grown-up: for each child the days played lately
// and the minutes of each, and the share of puzzles solved at the first try
// for each exercise and level and for each exercise week by week, as charts, each with its numbers in a table a
// screen reader reads; the exercises where the child needs help and the level
// reached. From here the record is exported as CSV, and one child's record or
// all of it deleted after a question.

#include "RecordStore.h"

#include <QDialog>

class QChart;
class QComboBox;
class QLabel;
class QTableWidget;

namespace app {

class RecordPage : public QDialog {
public:
    explicit RecordPage(const QString& recordPath = record::filePath(), QWidget* parent = nullptr);
    // The child shown: their index in the list of children (nobody in particular last).
    void showChild(int index);
    QTableWidget* daysTable() const { return days_; }
    QTableWidget* exercisesTable() const { return exercises_; }
    QTableWidget* weeksTable() const { return weeks_; }
    QLabel* helpLabel() const { return help_; }

private:
    void exportCsv(bool oneChild);
    void deleteRecord(bool oneChild);
    qint64 shownChild() const;

    record::Store store_;
    std::vector<record::Child> children_;
    QComboBox* child_;
    QChart* dayChart_;
    QChart* exerciseChart_;
    QChart* weekChart_;
    QTableWidget* days_;
    QTableWidget* exercises_;
    QTableWidget* weeks_;
    QLabel* help_;
};

// The page alone (--record), in the language the program would start in.
int RecordAlone();

}  // namespace app
