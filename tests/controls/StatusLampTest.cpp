#include "app/Language.h"
#include "controls/StatusLamp.h"
#include "support/ControlLookup.h"

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <atomic>

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kWhite(255, 255, 255);
const QColor kUnderneath(10, 20, 200);

// The lamp drawn over a surface of kUnderneath, as its parent would show it.
QImage Render(StatusLamp& lamp)
{
    QImage image(lamp.size(), QImage::Format_ARGB32);
    image.fill(kUnderneath);
    lamp.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

struct PixelCensus {
    int total = 0;
    int fill = 0;       // exactly the fill colour
    int text = 0;       // the text colour, give or take smoothing
    int underneath = 0;
    QRect textBounds;   // pixels that are not the fill colour
};

PixelCensus Count(const QImage& image, const QColor& fill, const QColor& text)
{
    PixelCensus census;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            ++census.total;
            if (c == fill)
                ++census.fill;
            else
                census.textBounds |= QRect(x, y, 1, 1);
            // Glyph edges are smoothed; a pixel near the text colour counts as text.
            if (qAbs(c.red() - text.red()) < 64 && qAbs(c.green() - text.green()) < 64
                && qAbs(c.blue() - text.blue()) < 64)
                ++census.text;
            if (c == kUnderneath)
                ++census.underneath;
        }
    }
    return census;
}

// Counts the paint events a widget receives.
// Counts the paint events a lamp receives and notes the state each one paints.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(const StatusLamp* lamp) : lamp_(lamp) {}
    std::atomic<int> paints{0};
    std::atomic<LampState> lastPaintedState{LampState::Blank};
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            lastPaintedState = lamp_->State();
        }
        return false;
    }

private:
    const StatusLamp* lamp_;
};

} // namespace

class StatusLampTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        Language::Install(QLocale::c());
        qApp->setStyleSheet(QString());
    }

    void beforeAnyStateNothingIsPainted()
    {
        // A skin that gives every widget a background must not show through either.
        qApp->setStyleSheet("QWidget { background-color: yellow; color: magenta; }");
        StatusLamp lamp;
        lamp.resize(120, 30);
        QVERIFY(ShowExposed(&lamp));
        QCOMPARE(lamp.State(), LampState::Blank);
        QCOMPARE(lamp.Text(), QString());
        const PixelCensus census = Count(Render(lamp), kGreen, Qt::black);
        QCOMPARE(census.underneath, census.total);
    }

    void statesPaintTheirLamp_data()
    {
        QTest::addColumn<LampState>("state");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<QColor>("textColour");
        QTest::addColumn<QString>("text");
        QTest::newRow("unstable") << LampState::Unstable << kRed << kWhite << "Instable";
        QTest::newRow("stable") << LampState::Stable << kGreen << QColor(Qt::black) << "Stable";
    }

    void statesPaintTheirLamp()
    {
        QFETCH(LampState, state);
        QFETCH(QColor, fill);
        QFETCH(QColor, textColour);
        QFETCH(QString, text);
        qApp->setStyleSheet("QWidget { background-color: yellow; color: magenta; }");
        StatusLamp lamp;
        lamp.resize(160, 40);
        lamp.SetState(state);
        QCOMPARE(lamp.State(), state);
        QCOMPARE(lamp.Text(), text);

        const PixelCensus census = Count(Render(lamp), fill, textColour);
        QCOMPARE(census.underneath, 0);        // the whole rectangle is filled
        QVERIFY(census.fill > census.total / 2);
        QVERIFY2(census.text > 0, "the word is drawn in its colour");
        // One line, centred both ways.
        QVERIFY(census.textBounds.isValid());
        QVERIFY(census.textBounds.height() < lamp.height());
        QVERIFY(qAbs(census.textBounds.center().x() - lamp.rect().center().x()) <= 2);
        QVERIFY(qAbs(census.textBounds.center().y() - lamp.rect().center().y()) <= 3);
        // The other state's word is wider or narrower: the drawn width matches this state's word.
        const int advance = lamp.fontMetrics().horizontalAdvance(text);
        QVERIFY(qAbs(census.textBounds.width() - advance) <= 3);
    }

    void chineseSetShowsChineseWords()
    {
        Language::Install(QLocale(QLocale::Chinese, QLocale::China));
        StatusLamp lamp;
        lamp.resize(160, 40);
        lamp.SetState(LampState::Unstable);
        QCOMPARE(lamp.Text(), QString::fromUtf8("不稳定"));
        const PixelCensus unstable = Count(Render(lamp), kRed, kWhite);
        QVERIFY(unstable.text > 0);
        QVERIFY(qAbs(unstable.textBounds.width() - lamp.fontMetrics().horizontalAdvance(lamp.Text())) <= 3);
        lamp.SetState(LampState::Stable);
        QCOMPARE(lamp.Text(), QString::fromUtf8("稳定"));
        const PixelCensus stable = Count(Render(lamp), kGreen, Qt::black);
        QVERIFY(stable.text > 0);
        QVERIFY(stable.textBounds.width() < unstable.textBounds.width());
    }

    void sameStateAgainRepaintsWithoutChange()
    {
        StatusLamp lamp;
        lamp.resize(120, 30);
        QVERIFY(ShowExposed(&lamp));
        lamp.SetState(LampState::Stable);
        QCoreApplication::processEvents();
        const QImage first = Render(lamp);

        PaintCounter counter(&lamp);
        lamp.installEventFilter(&counter);
        lamp.SetState(LampState::Stable);
        QTRY_VERIFY(counter.paints > 0);
        QCOMPARE(Render(lamp), first);
    }
};

QTEST_MAIN(StatusLampTest)
#include "StatusLampTest.moc"
