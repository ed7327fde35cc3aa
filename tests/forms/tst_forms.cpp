#include "FileBytes.h"
#include "KeyboardPlay.h"
#include "OptionalPrinting.h"
#include "Picture.h"
#include "PinnedDisplay.h"
#include "Screen.h"
#include "TestScreen.h"
#include "Widgets.h"
#include "clsResize.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QFrame>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <cmath>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;
using forms::Control;
using forms::ControlDesign;
using forms::Coordinate;
using forms::Kind;
using forms::TextProperty;

namespace {

constexpr const char* kSquare = ":/forms/square.svg";

forms::ScreenDesign testDesign(const char* name) {
    forms::ScreenDesign design{name, 6000, 4500, qRgb(0, 255, 255)};
    design.icon = kSquare;
    auto add = [&design](const char* name, Kind kind, QRectF twips, const char* caption = nullptr,
                         int index = -1) -> ControlDesign& {
        design.controls.push_back(test_screen::control(name, kind, twips, caption, index));
        return design.controls.back();
    };
    ControlDesign& label = add("Etichetta", Kind::Label, {150, 150, 1500, 300}, "Titolo  ");
    label.font = {"Arial", 12};
    label.align = forms::Align::Centre;
    label.tag = "@LT";
    ControlDesign& button = add("Bottone", Kind::GraphicalButton, {4200, 3300, 1500, 900}, "avanti");
    button.picture = kSquare;
    button.pointer = {kSquare, 3, 1};
    button.tabIndex = 1;
    for (const auto& [box, place] :
         {std::pair{"Scatola", QRectF(150, 600, 3000, 1200)}, {"Cornice", QRectF(4500, 1950, 1500, 1050)}}) {
        ControlDesign& frame = add(box, Kind::PictureBox, place);
        frame.backColour = qRgb(255, 255, 255);
        frame.border = true;
    }
    for (int i = 0; i < 2; ++i) {
        ControlDesign& option =
            add("Opzione", Kind::OptionButton, {120, 120 + 480.0 * i, 1500, 300}, i == 0 ? "uno" : "due", i);
        option.container = "Scatola";
        option.checked = i == 0;
        option.tabIndex = 3 + i;
    }
    add("Ritratto", Kind::Image, {0, 0, 1500, 1050}).container = "Cornice";
    add("Spunta", Kind::CheckBox, {3300, 600, 2000, 300}, "Suoni").tabIndex = 0;
    ControlDesign& hidden = add("Nascosto", Kind::CommandButton, {3300, 1200, 1500, 600}, "nascosto");
    hidden.visible = hidden.enabled = false;
    hidden.tabIndex = 5;
    add("Azzera", Kind::MenuCommand, {}, "Azzera  ");
    return design;
}

class TestScreen : public forms::Screen {
public:
    explicit TestScreen(const char* name) : Screen(testDesign(name)) {}

    int loads = 0, activations = 0, resizes = 0;
    QSizeF clientAtResize;
    double widthToSetOnLoad = 0;
    int resizesSeenInLoad = -1;

protected:
    void Form_Load() override {
        ++loads;
        if (widthToSetOnLoad > 0) {
            const int before = resizes;
            setWidth(widthToSetOnLoad);
            resizesSeenInLoad = resizes - before;
        }
    }
    void Form_Activate() override { ++activations; }
    void Form_Resize() override {
        ++resizes;
        clientAtResize = {scaleWidth(), scaleHeight()};
    }
};

// The pixels of `colour` in `image`, between the columns `from` and `to` (excluded).
QRect boundsOf(const QImage& image, QRgb colour, int from = 0, int to = INT_MAX) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = from; x < std::min(to, image.width()); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// A square picture of `side` pixels, all of `colour`.
QImage filled(QRgb colour, int side = 40) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

}  // namespace

class TestForms : public QObject {
    Q_OBJECT

public:
    static void initMain() { pinDisplay(); }

private Q_SLOTS:
    void init() {
        first = std::make_unique<TestScreen>("Prima");
        second = std::make_unique<TestScreen>("Seconda");
    }
    void cleanup() {
        first.reset();
        second.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void loadUnloadReloadAndActivation() {
        first->Show();
        first->Show();
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(first->window(), &activate);
        QCoreApplication::processEvents();
        QCOMPARE(first->activations, 1);

        Control& option = first->control(u"Opzione"_s, 1);
        QCOMPARE(option.widget()->objectName(), u"Opzione(1)"_s);
        QVERIFY(first->control(u"Scatola"_s).widget()->isAncestorOf(option.widget()));
        QVERIFY(first->find(u"Opzione"_s) == nullptr);
        QCOMPARE(first->control(u"Spunta"_s).widget()->nextInFocusChain(), first->control(u"Bottone"_s).widget());
        // An option chosen clears the other of its group; one cleared leaves none chosen.
        QTest::mouseClick(option.widget(), Qt::LeftButton);
        QVERIFY(!first->control(u"Opzione"_s, 0).checked());
        option.setChecked(false);
        QVERIFY(!option.checked() && !first->control(u"Opzione"_s, 0).checked());

        Control& label = first->control(u"Etichetta"_s);
        label.setText(TextProperty::Caption, u"cambiata"_s);
        label.setText(TextProperty::Tag, u"@"_s);
        first->Unload();
        QVERIFY(first->controls().empty());
        QVERIFY(forms::Screen::loadedScreens().empty());

        first->Show();
        QCOMPARE(first->loads, 2);
        QCOMPARE(first->activations, 2);
        QCOMPARE(first->control(u"Etichetta"_s).text(TextProperty::Caption), u"Titolo  "_s);
        QCOMPARE(first->control(u"Etichetta"_s).text(TextProperty::Tag), u"@LT"_s);
        QWidget* hidden = first->control(u"Nascosto"_s).widget();
        QVERIFY(!hidden->isVisible() && !hidden->isEnabled());

        second->Show();
        first->Show();
        QCOMPARE(first->activations, 3);
        first->Unload();
        first->Load();
        QCOMPARE(forms::Screen::loadedScreens(), (std::vector<forms::Screen*>{second.get(), first.get()}));
    }

    void resizeRunsOncePerRealChangeAndTwipsRoundTrip() {
        first->widthToSetOnLoad = 9000;
        first->Load();
        QCOMPARE(first->resizesSeenInLoad, 1);
        QCOMPARE(first->clientAtResize, QSizeF(9000, 4500));

        first->Show();
        QCOMPARE(first->resizes, 1);
        const double chromeWidth = first->width() - first->scaleWidth();
        const double chromeHeight = first->height() - first->scaleHeight();
        first->setHeight(6000);
        QCOMPARE(first->resizes, 2);
        QCOMPARE(first->clientAtResize, QSizeF(9000, 6000 - chromeHeight));
        first->setHeight(6000);
        first->setWidth(9000 + chromeWidth);
        first->setLeft(300);
        QCOMPARE(first->resizes, 2);

        first->window()->resize(700, 500);
        QCoreApplication::processEvents();
        QCOMPARE(first->resizes, 3);
        QCOMPARE(first->clientAtResize,
                 QSizeF(700 * 15, (500 - first->window()->findChild<QMenuBar*>()->height()) * 15));

        // Twips to pixels and back.
        first->setLeft(1500);
        first->setTop(750);
        first->setWidth(7500);
        first->setHeight(6000);
        QCOMPARE(first->window()->frameGeometry(), QRect(100, 50, 500, 400));
        QCOMPARE(first->left(), 1500.0);

        Control& label = first->control(u"Etichetta"_s);
        QCOMPARE(label.widget()->geometry(), QRect(10, 10, 100, 20));
        label.setCoordinate(Coordinate::Left, 1234.56);
        QCOMPARE(label.coordinate(Coordinate::Left), 1234.56);
        QCOMPARE(label.widget()->geometry(), QRect(82, 10, 100, 20));

        Control& option = first->control(u"Opzione"_s, 1);
        const auto* box = qobject_cast<const QFrame*>(first->control(u"Scatola"_s).widget());
        QCOMPARE(QRect(option.widget()->mapTo(box, QPoint()), option.widget()->size()),
                 QRect(box->contentsRect().topLeft() + QPoint(8, 40), QSize(100, 20)));
        option.setCoordinate(Coordinate::Width, 6000);
        QCOMPARE(option.widget()->visibleRegion().boundingRect().right() + option.widget()->mapTo(box, QPoint()).x(),
                 box->contentsRect().right());
        QCOMPARE(option.coordinate(Coordinate::Top), 600.0);
    }

    void fontsFollowTheirControlsOnceShown() {
        first->Load();
        Control& check = first->control(u"Spunta"_s);
        QVERIFY(!check.widget()->font().bold());
        first->Show();
        auto points = [](const Control& control) { return control.widget()->font().pointSizeF(); };
        QCOMPARE(QFontInfo(check.widget()->font()).family(), u"Liberation Sans"_s);
        QCOMPARE(points(check), 8.25);
        check.setCoordinate(Coordinate::Width, 4000);
        QCOMPARE(points(check), 8.25);

        Control& label = first->control(u"Etichetta"_s);
        label.setText(TextProperty::Caption, u"Un titolo molto più lungo"_s);
        QVERIFY(QFontMetricsF(label.widget()->font()).horizontalAdvance(u"Un titolo molto più lungo"_s) <=
                label.widget()->width());
        label.setText(TextProperty::Caption, u"Titolo"_s);
        QCOMPARE(points(label), 12.0);

        clsResize resize;
        resize.SourceForm(first.get());
        resize.ResizeControls();
        first->setWidth(first->width() + first->scaleWidth());
        first->setHeight(first->height() + first->scaleHeight());
        resize.ResizeControls();
        QCOMPARE(points(check), 16.5);
        Control& option = first->control(u"Opzione"_s, 0);
        QCOMPARE(points(option), 16.5);
        first->control(u"Opzione"_s, 1).setText(TextProperty::Caption, u"Una scelta molto più lunga"_s);
        QVERIFY(points(option) < 16.5 && points(option) == points(first->control(u"Opzione"_s, 1)));
        first->control(u"Opzione"_s, 1).setText(TextProperty::Caption, u"due"_s);
        QCOMPARE(points(option), 16.5);
        QCOMPARE(label.coordinate(Coordinate::Width), 1500.0);
        QCOMPARE(points(label), 12.0);

        first->setDrawingEnabled(false);
        check.setCoordinate(Coordinate::Height, 300);
        QCOMPARE(points(check), 16.5);
        first->setDrawingEnabled(true);
        QCOMPARE(points(check), 8.25);
    }

    void imagesShowTheirWholePictureUndistorted() {
        // A picture button's drawing is made for each size it is shown at, and
        // not for the sizes its screen passes through while it loads; the
        // window's icon once the window has shown its first picture.
        first->Load();
        auto* button = qobject_cast<QAbstractButton*>(first->control(u"Bottone"_s).widget());
        QVERIFY(button->icon().isNull() && first->window()->windowIcon().isNull());
        const auto drawnForItsSize = [button] {
            const QSize side(button->height() / 2, button->height() / 2);
            return button->iconSize() == side && button->icon().availableSizes() == QList<QSize>{side};
        };
        first->Show();
        QVERIFY(drawnForItsSize());
        QTRY_VERIFY(!first->window()->windowIcon().isNull());
        first->control(u"Bottone"_s).setCoordinate(Coordinate::Height, 1800);
        QVERIFY(drawnForItsSize());

        // A picture in a container shows whole inside the container's border,
        // as large as fits, centred (the row of pictures below shows how a
        // picture fits its view); disabled, it is drawn unchanged.
        QImage framed = filled(qRgb(0, 0, 255), 20);
        QPainter(&framed).fillRect(4, 4, 12, 12, QColor(255, 0, 0));
        Control& portrait = first->control(u"Ritratto"_s);
        portrait.setPicture(files::Picture(framed));
        auto* box = qobject_cast<QFrame*>(first->control(u"Cornice"_s).widget());
        const QImage boxed = box->grab().toImage();
        const QRect inside = box->contentsRect();
        const QRect whole = boundsOf(boxed, qRgb(0, 0, 255));
        QVERIFY(inside.contains(whole));
        QCOMPARE(whole.height(), inside.height());
        QVERIFY(qAbs(whole.width() - whole.height()) <= 1);
        QVERIFY((boundsOf(boxed, qRgb(255, 0, 0)).center() - whole.center()).manhattanLength() <= 2);
        portrait.setEnabled(false);
        QCOMPARE(box->grab().toImage(), boxed);
    }

    // A caption stands next to its button's picture, right to left too (Qt
    // would set it against the far edge), and back.
    void captionStandsNextToItsPicture() {
        QPushButton button(u"WWWW"_s);
        new forms::CaptionPicture(&button, QString::fromLatin1(kSquare));
        button.resize(400, 80);
        for (const Qt::LayoutDirection direction : {Qt::RightToLeft, Qt::LeftToRight}) {
            QApplication::setLayoutDirection(direction);
            const QImage drawn = button.grab().toImage();
            const QRect picture = boundsOf(drawn, qRgb(0, 0, 255));
            QRect caption;
            for (int y = 0; y < drawn.height(); ++y)
                for (int x = 0; x < drawn.width(); ++x)
                    if (qGray(drawn.pixel(x, y)) < 60 && !picture.contains(x, y))
                        caption |= QRect(x, y, 1, 1);
            QVERIFY(!picture.isEmpty() && !caption.isEmpty());
            const int gap =
                direction == Qt::RightToLeft ? picture.left() - caption.right() : caption.left() - picture.right();
            QVERIFY2(gap > 0 && gap < picture.width(), qPrintable(QString::number(gap)));
        }
    }

    // A row of pictures stands as large as fits, centred, in its order, with
    // an arrow pointing to the next picture or an "=" between each two, in the
    // grey of the rule drawings; it is drawn anew for every size.
    void aRowOfPicturesWithTheirSigns() {
        const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255);
        const QRgb grey = qRgb(0x45, 0x5a, 0x64);
        forms::ImageView view(nullptr);
        view.setRow(
            {.first = filled(red), .next = {{forms::Sign::Arrow, filled(green)}, {forms::Sign::Equals, filled(blue)}}});
        // The grey pixels down column x of `drawn`, and how many strokes they make.
        const auto greyDown = [grey](const QImage& drawn, int x) {
            std::pair<int, int> pixelsAndStrokes;
            bool inStroke = false;
            for (int y = 0; y < drawn.height(); ++y) {
                const bool isGrey = (drawn.pixel(x, y) & 0xFFFFFF) == (grey & 0xFFFFFF);
                pixelsAndStrokes.first += int(isGrey);
                pixelsAndStrokes.second += int(isGrey && !inStroke);
                inStroke = isGrey;
            }
            return pixelsAndStrokes;
        };
        for (const QSize size : {QSize(600, 100), QSize(300, 200), QSize(1200, 160)}) {
            view.resize(size);
            const QImage drawn = view.grab().toImage();
            const QRect first = boundsOf(drawn, red), second = boundsOf(drawn, green), third = boundsOf(drawn, blue);
            QVERIFY(first.size() == second.size() && second.size() == third.size());
            QCOMPARE(first.width(), first.height());
            QVERIFY(first.right() < second.left() && second.right() < third.left());
            QVERIFY(first.height() == size.height() || third.right() - first.left() >= size.width() - 3);
            QVERIFY(qAbs(first.left() - (size.width() - 1 - third.right())) <= 1);
            QVERIFY(qAbs(first.top() - (size.height() - 1 - first.bottom())) <= 1);

            const QRect signs = boundsOf(drawn, grey);
            QVERIFY(first.right() < signs.left() && signs.right() < third.left());
            const QRect arrow = boundsOf(drawn, grey, first.right() + 1, second.left());
            const QRect equals = boundsOf(drawn, grey, second.right() + 1, third.left());
            QVERIFY(!arrow.isEmpty() && !equals.isEmpty());
            QVERIFY(arrow.width() >= first.width() / 4 && equals.width() >= first.width() / 4);
            const auto tail = greyDown(drawn, arrow.left() + arrow.width() / 5);
            const auto head = greyDown(drawn, arrow.right() - arrow.width() / 3);
            QCOMPARE(tail.second, 1);
            QCOMPARE(head.second, 1);
            QVERIFY(head.first > 2 * tail.first);
            QCOMPARE(greyDown(drawn, equals.center().x()).second, 2);
        }
        // Right to left the row runs from the right, its arrow pointing left,
        // and back again; a picture is not mirrored.
        QImage halves = filled(red);
        QPainter(&halves).fillRect(20, 0, 20, 40, QColor(Qt::white));
        view.setRow({.first = halves, .next = {{forms::Sign::Arrow, filled(green)}}});
        view.resize(600, 100);
        for (const Qt::LayoutDirection direction : {Qt::RightToLeft, Qt::LeftToRight}) {
            view.setLayoutDirection(direction);
            const QImage drawn = view.grab().toImage();
            const QRect first = boundsOf(drawn, red), second = boundsOf(drawn, green), arrow = boundsOf(drawn, grey);
            const bool leftwards = direction == Qt::RightToLeft;
            QVERIFY(leftwards ? second.right() < arrow.left() && arrow.right() < first.left()
                              : first.right() < arrow.left() && arrow.right() < second.left());
            QCOMPARE(drawn.pixel(first.left() + first.width() + first.height() / 4, first.center().y()),
                     QColor(Qt::white).rgb());
            const auto nearLeft = greyDown(drawn, arrow.left() + arrow.width() / 4).first;
            const auto nearRight = greyDown(drawn, arrow.right() - arrow.width() / 4).first;
            QVERIFY(leftwards ? nearLeft > 2 * nearRight : nearRight > 2 * nearLeft);
        }
    }

    // The outline of an unchecked check box or option stands out at least 3:1
    // from the background it is drawn on, light or dark.
    void marksStandOutFromTheirBackground() {
        first->Show();
        const auto luminance = [](QRgb pixel) {
            const auto linear = [](int channel) {
                const double c = channel / 255.0;
                return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * linear(qRed(pixel)) + 0.7152 * linear(qGreen(pixel)) + 0.0722 * linear(qBlue(pixel));
        };
        const auto contrast = [&luminance](QRgb one, QRgb other) {
            const auto [dark, light] = std::minmax({luminance(one), luminance(other)});
            return (light + 0.05) / (dark + 0.05);
        };
        for (const QRgb background : {qRgb(255, 255, 255), qRgb(0xE0, 0xE0, 0xE0), qRgb(0, 0x40, 0xC0)}) {
            for (Control* mark : {&first->control(u"Spunta"_s), &first->control(u"Opzione"_s, 1)}) {
                QVERIFY(!mark->checked());
                mark->setBackColour(background);
                const QImage drawn = mark->widget()->grab().toImage();
                // Along the middle line, from the left edge across the mark, short of the caption.
                const int markWidth =
                    mark->widget()->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, mark->widget());
                double strongest = 0;
                for (int x = 0; x < markWidth && x < drawn.width(); ++x)
                    strongest = std::max(strongest, contrast(drawn.pixel(x, drawn.height() / 2), background));
                QVERIFY2(strongest >= 3.0, qPrintable(mark->fullName() % u" on #"_s % QString::number(background, 16) %
                                                      u": "_s % QString::number(strongest)));
            }
        }
    }

    void loadPictureRejectsBadFiles() {
        QTemporaryDir folder;
        const auto written = [&folder](const QByteArray& bytes) {
            const QString path = folder.filePath(u"scritto.gif"_s);
            return file_bytes::write(path, bytes) ? path : QString();
        };
        // One black pixel, in a header whose screen and image claim side x side pixels.
        const auto gif = [](quint16 side) -> QByteArray {
            const QByteArray size = QByteArray(1, char(side & 0xff)) + char(side >> 8);
            return "GIF89a" + size + size + QByteArray("\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0", 14) + size + size +
                   QByteArray("\0\x02\x02\x44\x01\0;", 7);
        };
        QVERIFY(files::LoadPicture(written(gif(1))));
        QVERIFY(files::LoadPicture(written(gif(files::kPictureSideMax))));

        QElapsedTimer timer;
        timer.start();
        QVERIFY(!files::LoadPicture(folder.filePath(u"manca.gif"_s)));
        QVERIFY(!files::LoadPicture(written(gif(files::kPictureSideMax + 1))));
        const QString fifo = folder.filePath(u"fifo.gif"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(!files::LoadPicture(fifo));
        QVERIFY(timer.elapsed() < 2000);
    }

    // A key goes to the table of the window it is pressed in, whichever
    // window was loaded last.
    void eachWindowsKeysGoToItsOwnTable() {
        QStringList heard;
        for (TestScreen* screen : {first.get(), second.get()}) {
            screen->Show();
            screen->keys().bind(Qt::Key_F5, [&heard, screen] { heard << screen->name(); });
        }
        QTest::keyClick(first->window(), Qt::Key_F5);
        QTest::keyClick(second->window(), Qt::Key_F5);
        QCOMPARE(heard, (QStringList{u"Prima"_s, u"Seconda"_s}));
    }

    void closingTheLastWindowQuits() {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        second->Show();
        QTimer::singleShot(0, second->window(), &QWidget::close);
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!second->isLoaded());
    }

private:
    std::unique_ptr<TestScreen> first;
    std::unique_ptr<TestScreen> second;
};

QTEST_MAIN(TestForms)
#include "tst_forms.moc"
