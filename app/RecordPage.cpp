#include "RecordPage.h"

#include "DataFiles.h"
#include "ExerciseCatalogue.h"
#include "MessageBox.h"
#include "Modulo1.h"
#include "RecordCsv.h"
#include "RecordSummary.h"
#include "modLanguageSupport.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

using namespace Qt::Literals::StringLiterals;

namespace app {

namespace {

// How far back the days go.
constexpr int kDaysShown = 28;

QString text(const QString& key) {
    return modLanguageSupport::MLSOurWord(modLanguageSupport::OurWords::Settings, key);
}

QTableWidget* table(const QStringList& headers, const QString& name) {
    auto* numbers = new QTableWidget(0, int(headers.size()));
    numbers->setHorizontalHeaderLabels(headers);
    numbers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    numbers->verticalHeader()->setVisible(false);
    numbers->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    numbers->setAccessibleName(name);
    return numbers;
}

void setRow(QTableWidget* numbers, int row, const QStringList& cells) {
    for (int column = 0; column < cells.size(); ++column)
        numbers->setItem(row, column, new QTableWidgetItem(cells[column]));
}

// Puts `series` on `chart` over `categories`, values from 0 to `top`; a
// legend where more than one thing is drawn.
void draw(QChart* chart, const QStringList& categories, const QList<QAbstractSeries*>& series, double top, bool legend,
          int labelAngle = 0) {
    // Series removed are deleted; axes removed are handed back to be deleted.
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    auto* across = new QBarCategoryAxis;
    across->append(categories);
    across->setLabelsAngle(labelAngle);
    chart->addAxis(across, Qt::AlignBottom);
    auto* up = new QValueAxis;
    up->setRange(0, std::max(top, 1.0));
    chart->addAxis(up, Qt::AlignLeft);
    for (QAbstractSeries* drawn : series) {
        chart->addSeries(drawn);
        drawn->attachAxis(across);
        drawn->attachAxis(up);
    }
    chart->legend()->setVisible(legend);
}

// The bar chart of `sets` over `categories`, values from 0 to `top`.
void drawBars(QChart* chart, const QStringList& categories, const QList<QBarSet*>& sets, double top,
              int labelAngle = 0) {
    auto* series = new QBarSeries;
    series->append(sets);
    draw(chart, categories, {series}, top, sets.size() > 1, labelAngle);
}

QString exerciseName(int number) {
    const auto catalogue = exercises::exercise_catalogue::catalogue();
    return number >= 1 && std::size_t(number) <= catalogue.size()
               ? exercises::exercise_catalogue::exerciseName(exercises::exercise_catalogue::exercise(number))
               : QString::number(number);
}

}  // namespace

RecordPage::RecordPage(const QString& recordPath, QWidget* parent)
    : QDialog(parent),
      store_(recordPath),
      child_(new QComboBox),
      dayChart_(new QChart),
      exerciseChart_(new QChart),
      weekChart_(new QChart),
      days_(table({text(u"Day"_s), text(u"Puzzles"_s), text(u"Minutes"_s)}, text(u"MinutesPerDay"_s))),
      exercises_(
          table({text(u"Exercise"_s), text(u"Level"_s), text(u"Puzzles"_s), text(u"Solved"_s), text(u"FirstTry"_s)},
                text(u"FirstTryShare"_s))),
      weeks_(table({text(u"Week"_s), text(u"Exercise"_s), text(u"Solved"_s), text(u"FirstTry"_s)},
                   text(u"FirstTryByWeek"_s))),
      help_(new QLabel) {
    setObjectName(u"RecordPage"_s);
    setWindowTitle(text(u"RecordTitle"_s));
    setAccessibleName(windowTitle());
    if (store_.open())
        children_ = store_.children();
    for (const record::Child& child : children_)
        child_->addItem(child.name);
    child_->addItem(text(u"Nobody"_s));
    child_->setAccessibleName(text(u"Children"_s));
    dayChart_->setTitle(text(u"MinutesPerDay"_s));
    exerciseChart_->setTitle(text(u"FirstTryShare"_s));
    weekChart_->setTitle(text(u"FirstTryByWeek"_s));
    help_->setWordWrap(true);
    help_->setTextFormat(Qt::PlainText);

    // A page for each chart, as wide as the window, above the table of its numbers.
    auto* charts = new QTabWidget;
    const std::pair<QChart*, QTableWidget*> pages[] = {
        {dayChart_, days_}, {exerciseChart_, exercises_}, {weekChart_, weeks_}};
    for (const auto& [chart, numbers] : pages) {
        auto* page = new QWidget;
        auto* view = new QChartView(chart);
        view->setAccessibleName(chart->title());
        view->setMinimumHeight(160);
        auto* column = new QVBoxLayout(page);
        column->addWidget(view, 2);
        column->addWidget(numbers, 1);
        charts->addTab(page, chart->title());
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    const auto add = [buttons](const QString& key, auto action) {
        QPushButton* button = buttons->addButton(text(key), QDialogButtonBox::ActionRole);
        button->setObjectName(key);
        button->setAccessibleName(button->text());
        connect(button, &QPushButton::clicked, action);
    };
    add(u"ExportAll"_s, [this] { exportCsv(false); });
    add(u"ExportChild"_s, [this] { exportCsv(true); });
    add(u"DeleteChild"_s, [this] { deleteRecord(true); });
    add(u"DeleteAll"_s, [this] { deleteRecord(false); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(child_);
    layout->addWidget(charts, 1);
    layout->addWidget(help_);
    layout->addWidget(buttons);
    connect(child_, &QComboBox::currentIndexChanged, this, &RecordPage::showChild);
    showChild(0);
}

qint64 RecordPage::shownChild() const {
    const int index = child_->currentIndex();
    return index >= 0 && std::size_t(index) < children_.size() ? children_[std::size_t(index)].id : 0;
}

void RecordPage::showChild(int index) {
    if (child_->currentIndex() != index)
        child_->setCurrentIndex(index);
    const QDate today = QDate::currentDate();
    const record::Summary summary = record::summarise(store_, shownChild(), today.addDays(1 - kDaysShown));

    // Every day of the last weeks, those without play at nought.
    QStringList dayNames;
    auto* minutes = new QBarSet(text(u"Minutes"_s));
    double most = 0;
    days_->setRowCount(0);
    for (int back = kDaysShown - 1; back >= 0; --back) {
        const QDate date = today.addDays(-back);
        const auto found = std::find_if(summary.days.begin(), summary.days.end(),
                                        [&date](const record::Day& day) { return day.date == date; });
        const double played = found != summary.days.end() ? found->minutes : 0;
        dayNames.append(QString::number(date.day()));
        minutes->append(played);
        most = std::max(most, played);
        if (found != summary.days.end()) {
            days_->insertRow(days_->rowCount());
            setRow(days_, days_->rowCount() - 1,
                   {QLocale().toString(date, QLocale::ShortFormat), QString::number(found->puzzles),
                    QString::number(played, 'f', 1)});
        }
    }
    drawBars(dayChart_, dayNames, {minutes}, most, -90);

    // The share at the first try, a bar for each level of each exercise.
    // Under the bars the exercises' numbers, whose names the table gives.
    QStringList exerciseNames;
    std::map<int, QBarSet*> levels;
    for (const record::ExerciseLevel& row : summary.exercises)
        if (!exerciseNames.contains(QString::number(row.exercise)))
            exerciseNames.append(QString::number(row.exercise));
    exercises_->setRowCount(int(summary.exercises.size()));
    for (int row = 0; row < int(summary.exercises.size()); ++row) {
        const record::ExerciseLevel& line = summary.exercises[std::size_t(row)];
        QBarSet*& set = levels[line.level];
        if (!set) {
            set = new QBarSet(text(u"Level"_s) + u' ' + QString::number(line.level));
            for (int i = 0; i < exerciseNames.size(); ++i)
                set->append(0);
        }
        set->replace(int(exerciseNames.indexOf(QString::number(line.exercise))), 100 * line.firstTryShare());
        setRow(exercises_, row,
               {QString::number(line.exercise) + u". "_s + exerciseName(line.exercise), QString::number(line.level),
                QString::number(line.puzzles), QString::number(line.solved),
                QString::number(qRound(100 * line.firstTryShare())) + u" %"_s});
    }
    QList<QBarSet*> sets;
    for (const auto& [level, set] : levels)
        sets.append(set);
    drawBars(exerciseChart_, exerciseNames, sets, 100);

    // The share at the first try week by week, a line for each exercise.
    const auto weekName = [](const record::Week& week) {
        return QLocale().toString(week.monday, QLocale::ShortFormat);
    };
    QStringList weekNames;
    for (const record::Week& week : summary.weeks)
        if (!weekNames.contains(weekName(week)))
            weekNames.append(weekName(week));
    std::map<int, QLineSeries*> lines;
    weeks_->setRowCount(int(summary.weeks.size()));
    for (int row = 0; row < int(summary.weeks.size()); ++row) {
        const record::Week& week = summary.weeks[std::size_t(row)];
        QLineSeries*& line = lines[week.exercise];
        if (!line) {
            line = new QLineSeries;
            line->setName(QString::number(week.exercise));
            line->setPointsVisible(true);
        }
        line->append(double(weekNames.indexOf(weekName(week))), 100 * week.firstTryShare());
        setRow(weeks_, row,
               {weekName(week), QString::number(week.exercise) + u". "_s + exerciseName(week.exercise),
                QString::number(week.solved), QString::number(qRound(100 * week.firstTryShare())) + u" %"_s});
    }
    QList<QAbstractSeries*> drawn;
    for (const auto& [exercise, line] : lines)
        drawn.append(line);
    draw(weekChart_, weekNames, drawn, 100, drawn.size() > 1);

    QStringList help;
    for (const record::ExerciseLevel& row : record::needsHelp(summary))
        help.append(exerciseName(row.exercise) + u" (" + text(u"Level"_s) + u' ' + QString::number(row.level) + u')');
    help_->setText(text(u"LevelReached"_s) + u": " +
                   (summary.highestLevel ? QString::number(summary.highestLevel) : u"-"_s) + u". " +
                   text(u"NeedsHelp"_s) + u": " + (help.isEmpty() ? u"-"_s : help.join(u", "_s)) + u'.');
    help_->setAccessibleName(help_->text());
}

void RecordPage::exportCsv(bool oneChild) {
    const QString path = QFileDialog::getSaveFileName(this, text(oneChild ? u"ExportChild"_s : u"ExportAll"_s),
                                                      QDir::homePath() + u"/metamorfine.csv"_s, u"CSV (*.csv)"_s);
    if (path.isEmpty())
        return;
    if (!record::exportCsv(store_, path, oneChild ? std::optional<qint64>(shownChild()) : std::nullopt))
        forms::MsgBox(text(u"NotSaved"_s), forms::MsgButtons::Ok, forms::MsgIcon::Critical, windowTitle());
}

void RecordPage::deleteRecord(bool oneChild) {
    const QString question =
        oneChild ? text(u"DeleteChildQuestion"_s).arg(child_->currentText()) : text(u"DeleteAllQuestion"_s);
    if (forms::MsgBox(question, forms::MsgButtons::YesNo, forms::MsgIcon::Question, windowTitle()) !=
        forms::MsgAnswer::Yes)
        return;
    store_.deleteRecord(oneChild ? std::optional<qint64>(shownChild()) : std::nullopt);
    showChild(child_->currentIndex());
}

int RecordAlone() {
    modLanguageSupport::MLSCurrentLanguage = Modulo1::StartLanguage();
    modLanguageSupport::MLSInstallDialogTranslations();
    RecordPage page;
    page.showMaximized();
    page.exec();
    return 0;
}

}  // namespace app
