#include "platform/Design.h"
#include "platform/Screen.h"
#include "resize/clsResize.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;
using platform::Coordinate;
using platform::TextProperty;

namespace {

using Box = QList<double>;  // Left, Top, Width, Height

Box boxOf(const platform::Control& control) {
    return {*control.coordinate(Coordinate::Left), *control.coordinate(Coordinate::Top),
            *control.coordinate(Coordinate::Width), *control.coordinate(Coordinate::Height)};
}

platform::ScreenDesign testScreen(double clientWidth = 9360, double clientHeight = 6540) {
    using platform::Kind;
    platform::ScreenDesign design{"FormResize", clientWidth, clientHeight, qRgb(255, 255, 255)};
    design.controls = {
        // Halves: recorded to the even neighbour.
        {.name = "Label1", .kind = Kind::Label, .left = 100.5, .top = 101.5, .width = 2000.5, .height = 399.5,
         .caption = "Etichetta"},
        {.name = "Command1", .kind = Kind::CommandButton, .left = 3000, .top = 200, .width = 1500, .height = 500,
         .caption = "Vai"},
        {.name = "Picture2", .kind = Kind::PictureBox, .left = 5000, .top = 1000, .width = 3000, .height = 3000},
        {.name = "Option1", .kind = Kind::OptionButton, .index = 0, .container = "Picture2", .left = 100,
         .top = 100, .width = 2000, .height = 300, .caption = "Primo"},
        {.name = "mnuEsci", .kind = Kind::MenuCommand, .caption = "Esci"},
    };
    return design;
}

// The window's frame and menu bar take their size only once the window has
// one, so a second step may be needed.
void setClientSize(platform::Screen& screen, double width, double height) {
    for (int step = 0; step < 2 && (screen.scaleWidth() != width || screen.scaleHeight() != height); ++step) {
        screen.setWidth(screen.width() - screen.scaleWidth() + width);
        screen.setHeight(screen.height() - screen.scaleHeight() + height);
    }
    QCOMPARE(screen.scaleWidth(), width);
    QCOMPARE(screen.scaleHeight(), height);
}

}  // namespace

class ResizeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<platform::Screen> screen_;

    Box box(const char* name, int index = -1) const {
        return boxOf(screen_->control(QString::fromLatin1(name), index));
    }

    // A new object bound to the screen, with the layout recorded at the
    // present client size.
    std::unique_ptr<clsResize> recorded() const {
        auto resize = std::make_unique<clsResize>();
        resize->SourceForm(screen_.get());
        resize->ResizeControls();
        return resize;
    }

private Q_SLOTS:
    void init() {
        screen_ = std::make_unique<platform::Screen>(testScreen());
        screen_->Load();
        QCOMPARE(screen_->scaleWidth(), 9360.0);
        QCOMPARE(screen_->scaleHeight(), 6540.0);
    }

    void cleanup() { screen_.reset(); }

    void twiceTheDesignAndBack() {
        const auto resize = recorded();
        QCOMPARE(box("Command1"), (Box{3000, 200, 1500, 500}));

        setClientSize(*screen_, 18720, 13080);
        resize->ResizeControls();
        QCOMPARE(box("Label1"), (Box{200, 204, 4000, 800}));
        QCOMPARE(box("Command1"), (Box{6000, 400, 3000, 1000}));
        QCOMPARE(box("Picture2"), (Box{10000, 2000, 6000, 6000}));
        QCOMPARE(box("Option1", 0), (Box{200, 200, 4000, 600}));
        QCOMPARE(screen_->control(u"mnuEsci"_s).coordinate(Coordinate::Left), std::nullopt);
        QVERIFY(screen_->window()->updatesEnabled());

        for (const auto& [width, height] : {std::pair{10005.0, 7005.0}, {4020.0, 12015.0}, {30000.0, 150.0}}) {
            setClientSize(*screen_, width, height);
            resize->ResizeControls();
        }
        setClientSize(*screen_, 9360, 6540);
        resize->ResizeControls();
        QCOMPARE(box("Label1"), (Box{100, 102, 2000, 400}));
        QCOMPARE(box("Command1"), (Box{3000, 200, 1500, 500}));
        QCOMPARE(box("Picture2"), (Box{5000, 1000, 3000, 3000}));
        QCOMPARE(box("Option1", 0), (Box{100, 100, 2000, 300}));

        // Recording again takes the present layout as the design.
        screen_->control(u"Command1"_s).setCoordinate(Coordinate::Left, 100);
        resize->ReInitialise();
        setClientSize(*screen_, 18720, 13080);
        resize->ResizeControls();
        QCOMPARE(box("Command1"), (Box{200, 400, 3000, 1000}));
    }

    // The first pass of a new object records whatever size the screen has.
    void firstPassOnlyRecords() {
        setClientSize(*screen_, 18720, 13080);
        const auto resize = recorded();
        QCOMPARE(box("Command1"), (Box{3000, 200, 1500, 500}));
        setClientSize(*screen_, 9360, 6540);
        resize->ResizeControls();
        QCOMPARE(box("Command1"), (Box{1500, 100, 750, 250}));
    }

    void tags_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<Box>("expected");
        const Box moved{6000, 400, 1500, 500};
        const Box sized{3000, 200, 3000, 1000};
        const Box full{6000, 400, 3000, 1000};
        QTest::newRow("move") << u"@L,T"_s << moved;
        QTest::newRow("size") << u"@WH"_s << sized;
        QTest::newRow("lower case") << u"@w,h"_s << sized;
        QTest::newRow("nothing") << u"@"_s << Box{3000, 200, 1500, 500};
        QTest::newRow("left and height") << u"@L H"_s << Box{6000, 200, 1500, 1000};
        QTest::newRow("no at sign") << u"LT"_s << full;
        QTest::newRow("empty") << QString() << full;
        QTest::newRow("other words") << u"@ xyz"_s << Box{3000, 200, 1500, 500};
    }

    void tags() {
        QFETCH(QString, tag);
        QFETCH(Box, expected);
        const auto resize = recorded();
        screen_->control(u"Command1"_s).setText(TextProperty::Tag, tag);
        setClientSize(*screen_, 18720, 13080);
        resize->ResizeControls();
        QCOMPARE(box("Command1"), expected);
        QCOMPARE(box("Picture2"), (Box{10000, 2000, 6000, 6000}));
    }

    // The display is 1024 x 768 pixels at 96 dots an inch: 15360 x 11520 twips.
    void sizeFormToScreen() {
        QCOMPARE(screen_->displayWidth(), 15360.0);
        QCOMPARE(screen_->displayHeight(), 11520.0);
        clsResize resize;
        resize.SourceForm(screen_.get());
        resize.SizeFormToScreen(75);
        QCOMPARE(screen_->width(), 11520.0);
        QCOMPARE(screen_->height(), 8640.0);
        QCOMPARE(screen_->left(), 1920.0);
        QCOMPARE(screen_->top(), 1440.0);
        // The layout was recorded at the design size, before the screen changed.
        const double horizontal = screen_->scaleWidth() / 9360;
        const double vertical = screen_->scaleHeight() / 6540;
        QCOMPARE(box("Command1"), (Box{3000 * horizontal, 200 * vertical, 1500 * horizontal, 500 * vertical}));

        resize.SizeFormToScreen(150);
        QCOMPARE(screen_->width(), 23040.0);
        QCOMPARE(screen_->left(), -3840.0);
        QCOMPARE(screen_->top(), -2880.0);
    }

    void passesThatChangeNothing() {
        const auto resize = recorded();
        setClientSize(*screen_, 18720, 13080);
        screen_->Show();
        screen_->window()->showMinimized();
        QTRY_COMPARE(screen_->windowState(), platform::WindowState::Minimised);
        resize->ResizeControls();
        QCOMPARE(box("Command1"), (Box{3000, 200, 1500, 500}));

        // A layout recorded on a client area of no height cannot be scaled.
        platform::Screen flat(testScreen(9360, 0));
        flat.Load();
        if (flat.scaleHeight() != 0)
            QSKIP("the window system gives every window some height");
        clsResize flatResize;
        flatResize.SourceForm(&flat);
        flatResize.ResizeControls();
        setClientSize(flat, 18720, 13080);
        flatResize.ResizeControls();
        QCOMPARE(boxOf(flat.control(u"Command1"_s)), (Box{3000, 200, 1500, 500}));
    }
};

int main(int argc, char** argv) {
    // A display of a known size.
    QTemporaryDir dir;
    const QString config = dir.filePath(u"screens.json"_s);
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [{"name": "display", "x": 0, "y": 0, "width": 1024, "height": 768,
                  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", (u"offscreen:configfile="_s + config).toLocal8Bit());
    QApplication app(argc, argv);
    ResizeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_resize.moc"
