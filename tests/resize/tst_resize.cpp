#include "PinnedDisplay.h"
#include "TestScreen.h"
#include "clsResize.h"

#include <QTest>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;
using test_screen::Box;
using test_screen::setClientSize;

class ResizeTest : public QObject {
    Q_OBJECT

    std::unique_ptr<forms::Screen> screen_;

    Box box(const char* name, int index = -1) const {
        return test_screen::boxOf(screen_->control(QString::fromLatin1(name), index));
    }

    // A new object bound to the screen, with the layout recorded at the
    // present client size.
    std::unique_ptr<clsResize> recorded() const {
        auto resize = std::make_unique<clsResize>();
        resize->SourceForm(screen_.get());
        resize->ResizeControls();
        return resize;
    }

public:
    static void initMain() { pinDisplay(); }

private Q_SLOTS:
    void init() {
        screen_ = std::make_unique<forms::Screen>(test_screen::design());
        screen_->Load();
        QVERIFY(setClientSize(*screen_, 9360, 6540));
    }

    void cleanup() { screen_.reset(); }

    void twiceTheDesignAndBack() {
        const auto resize = recorded();
        QVERIFY(setClientSize(*screen_, 18720, 13080));
        resize->ResizeControls();
        QCOMPARE(box("Label1"), (Box{200, 204, 4000, 800}));
        QCOMPARE(box("Command1"), (Box{6000, 400, 3000, 1000}));
        QCOMPARE(box("Picture2"), (Box{10000, 2000, 6000, 6000}));
        QCOMPARE(box("Option1", 1), (Box{200, 1000, 4000, 600}));
        QVERIFY(screen_->window()->updatesEnabled());

        // Through other sizes back to the design's.
        for (const auto& [width, height] :
             {std::pair{10005.0, 7005.0}, {4020.0, 12015.0}, {30000.0, 150.0}, {9360.0, 6540.0}}) {
            QVERIFY(setClientSize(*screen_, width, height));
            resize->ResizeControls();
        }
        QCOMPARE(box("Label1"), (Box{100, 102, 2000, 400}));
        QCOMPARE(box("Command1"), (Box{3000, 200, 1500, 500}));
        QCOMPARE(box("Option1", 1), (Box{100, 500, 2000, 300}));

        // The first pass of a new object only records the layout it finds.
        QVERIFY(setClientSize(*screen_, 18720, 13080));
        const auto atTwice = recorded();
        QCOMPARE(box("Command1"), (Box{3000, 200, 1500, 500}));
        QVERIFY(setClientSize(*screen_, 9360, 6540));
        atTwice->ResizeControls();
        QCOMPARE(box("Command1"), (Box{1500, 100, 750, 250}));

        // The display is 1024 x 768 pixels at 96 dots an inch: 15360 x 11520
        // twips. The layout is recorded before the screen changes.
        clsResize toDisplay;
        toDisplay.SourceForm(screen_.get());
        toDisplay.SizeFormToScreen(75);
        QCOMPARE(QRectF(screen_->left(), screen_->top(), screen_->width(), screen_->height()),
                 QRectF(1920, 1440, 11520, 8640));
        const double horizontal = screen_->scaleWidth() / 9360, vertical = screen_->scaleHeight() / 6540;
        QCOMPARE(box("Command1"), (Box{1500 * horizontal, 100 * vertical, 750 * horizontal, 250 * vertical}));
    }

    void tags_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<Box>("expected");
        QTest::newRow("move, in lower case") << u"@l,t"_s << Box{6000, 400, 1500, 500};
        QTest::newRow("size") << u"@WH"_s << Box{3000, 200, 3000, 1000};
        QTest::newRow("at sign alone") << u"@"_s << Box{3000, 200, 1500, 500};
        QTest::newRow("no at sign") << u"LT"_s << Box{6000, 400, 3000, 1000};
    }

    void tags() {
        QFETCH(QString, tag);
        QFETCH(Box, expected);
        const auto resize = recorded();
        screen_->control(u"Command1"_s).setText(forms::TextProperty::Tag, tag);
        QVERIFY(setClientSize(*screen_, 18720, 13080));
        resize->ResizeControls();
        QCOMPARE(box("Command1"), expected);
        QCOMPARE(box("Picture2"), (Box{10000, 2000, 6000, 6000}));
    }
};

QTEST_MAIN(ResizeTest)
#include "tst_resize.moc"
