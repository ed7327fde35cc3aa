#include "AccessibleTexts.h"
#include "BenchScreen.h"
#include "DataFiles.h"
#include "Screen.h"
#include "Screens.h"
#include "SharedState.h"
#include "modLanguageSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {

enum class Shape { CrLfLines, LfLines, OneLongLine, EmptyCrLfLines, EmptyLfLines, EmptyCrLines };

// A language file of `size` bytes: screen sections first (or one long comment
// line, or empty lines), the strings at the end, so that a lookup of a string
// reads the whole file.
QByteArray languageFile(qsizetype size, Shape shape = Shape::CrLfLines) {
    QByteArray strings = "[Strings]\r\n";
    for (int i = 1; i <= 20; ++i)
        strings += QByteArray::number(i).rightJustified(4, '0') + "=\"Text number " + QByteArray::number(i) + "\"\r\n";
    const QByteArray caption = "Label00.Caption=\"Some caption of a control\"\r\n";
    if (shape >= Shape::EmptyCrLfLines) {
        const QByteArray ending = shape == Shape::EmptyCrLfLines ? "\r\n" : shape == Shape::EmptyLfLines ? "\n" : "\r";
        strings.replace("\r\n", ending);
        return ending.repeated((size - strings.size()) / ending.size()) + strings;
    }
    QByteArray text = shape == Shape::OneLongLine ? QByteArray() : bench::thirtyControlsSection();
    for (int screen = 0; text.size() + strings.size() + 2 * caption.size() < size; ++screen) {
        text += "[FormEs" + QByteArray::number(screen) + "]\r\n";
        for (int i = 10; i < 40 && text.size() + strings.size() + 2 * caption.size() < size; ++i)
            text += "Label" + QByteArray::number(i) + caption.mid(7);
    }
    const qsizetype padding = size - text.size() - strings.size() - 3;
    text += ';' + QByteArray(padding, 'x') + "\r\n" + strings;
    if (shape == Shape::LfLines)
        text.replace("\r\n", "\n");
    return text;
}

// A program folder holding one language file of the given size, current.
class LanguageFolder {
public:
    explicit LanguageFolder(qsizetype size, Shape shape = Shape::CrLfLines) {
        QFile file(dir_.filePath(u"Bench.lng"_s));
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(languageFile(size, shape));
        file.close();
        files::setExecutableFolder(dir_.path());
        modLanguageSupport::MLSCurrentLanguage = u"Bench"_s;
    }
    ~LanguageFolder() { files::setExecutableFolder(QString()); }
    LanguageFolder(const LanguageFolder&) = delete;
    LanguageFolder& operator=(const LanguageFolder&) = delete;

private:
    QTemporaryDir dir_;
};

void BM_GetString(benchmark::State& state) {
    const LanguageFolder folder(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(modLanguageSupport::MLSGetString(u"0020"_s));
    if (modLanguageSupport::MLSGetString(u"0020"_s) != u"Text number 20"_s)
        state.SkipWithError("the lookup did not find its text");
}
BENCHMARK(BM_GetString)->Arg(4 * 1024)->Arg(64000)->Arg(200 * 1024)->Unit(benchmark::kMicrosecond);

// The line scan over 100 MB, written at run time in a temporary folder.
void BM_GetStringIn100MB(benchmark::State& state) {
    const LanguageFolder folder(100'000'000, Shape(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(modLanguageSupport::MLSGetString(u"0020"_s));
    if (modLanguageSupport::MLSGetString(u"0020"_s) != u"Text number 20"_s)
        state.SkipWithError("the lookup did not find its text");
}
BENCHMARK(BM_GetStringIn100MB)
    ->ArgName("CRLF=0,LF=1,one-line=2,empty-CRLF=3,empty-LF=4,empty-CR=5")
    ->DenseRange(0, 5)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void BM_TranslateForm(benchmark::State& state) {
    const LanguageFolder folder(4 * 1024);
    forms::Screen screen(bench::thirtyControls());
    screen.Show();  // shown, so that new captions are also fitted
    for (auto _ : state)
        modLanguageSupport::MLSTranslateForm(screen);
    if (screen.controls().front()->text(forms::TextProperty::Caption) != u"Label number 0"_s)
        state.SkipWithError("the screen was not translated");
}
BENCHMARK(BM_TranslateForm)->Unit(benchmark::kMillisecond);

// A word of ours (the screen reader's name of the model) in the shipped
// English file, as the exercise screens ask for it after every answer.
void BM_OurWord(benchmark::State& state) {
    files::setExecutableFolder(QStringLiteral(MF_PROGRAM_DIR));
    modLanguageSupport::MLSCurrentLanguage = u"English"_s;
    for (auto _ : state)
        benchmark::DoNotOptimize(modLanguageSupport::MLSAccessibleText(u"Model"_s));
    if (modLanguageSupport::MLSAccessibleText(u"Model"_s).isEmpty())
        state.SkipWithError("the word was not found");
    files::setExecutableFolder(QString());
}
BENCHMARK(BM_OurWord)->Unit(benchmark::kMicrosecond);

// How often the language files are read when an exercise screen loads, at a
// wrong answer, at a right answer and at Next: the shipped English file, the
// sounds on (the instruction is said), a set drawn for every puzzle.
void BM_LanguageFileReads(benchmark::State& state) {
    files::setExecutableFolder(QStringLiteral(MF_PROGRAM_DIR));
    modLanguageSupport::MLSCurrentLanguage = u"English"_s;
    Modulo1::SuoniAttivati = true;
    Modulo1::SerieFigure = 6;
    forms::Screen& exercise = app::screens::FormEs3();
    const auto readsOf = [](const std::function<void()>& step) {
        const quint64 before = modLanguageSupport::MLSReadCount();
        step();
        return double(modLanguageSupport::MLSReadCount() - before);
    };
    const auto picture = [&exercise](int index) -> forms::Control& { return exercise.control(u"Picture1"_s, index); };
    double load = 0;
    double wrong = 0;
    double right = 0;
    double next = 0;
    for (auto _ : state) {
        load += readsOf([&exercise] {
            exercise.Unload();
            exercise.Show();
        });
        wrong += readsOf([&] { picture((Modulo1::IndiceModello + 1) % 8).click(); });
        right += readsOf([&] { picture(Modulo1::IndiceModello).click(); });
        next += readsOf([&exercise] { exercise.control(u"BottoneAvanti"_s).click(); });
    }
    exercise.Unload();
    files::setExecutableFolder(QString());
    for (const auto& [name, reads] : {std::pair{"load", load}, {"wrong", wrong}, {"right", right}, {"next", next}})
        state.counters[name] = benchmark::Counter(reads, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_LanguageFileReads)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
