// Uploads and the company name as the virtual scale receives them, sent the way the main dialog
// sends them: the upload block through SendWithProgress, on a worker, with the window alive.

#include "commodity/CommodityTable.h"
#include "commodity/CommodityUpload.h"
#include "commodity/UploadRunner.h"
#include "link/SerialLink.h"
#include "sim/VirtualScale.h"

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {

const std::string kApple = "\xC6\xBB\xB9\xFB";  // 苹果
const std::string kPork = "\xCE\xE5\xBB\xA8\xC8\xE2";  // 五花肉
const std::string kZhong = "\xD6\xD0";  // 中

CommodityTable SampleTable()
{
    CommodityTable table;
    table.SetCell(0, CommodityTable::Code, "1001");
    table.SetCell(0, CommodityTable::Name, kApple);
    table.SetCell(0, CommodityTable::Price, "6.80");
    table.SetCell(1, CommodityTable::Code, "1002");
    table.SetCell(1, CommodityTable::Name, kPork);
    table.SetCell(2, CommodityTable::Code, "1003");
    table.SetCell(2, CommodityTable::Price, "1.00");
    return table;
}

// The lines the scale should have stored: the block without "plu", "end" and the line ends.
std::vector<Bytes> StoredLines(const std::vector<Bytes>& writes)
{
    std::vector<Bytes> lines;
    for (std::size_t i = 1; i + 1 < writes.size(); ++i)
        lines.push_back(writes[i].substr(0, writes[i].size() - 2));
    return lines;
}

} // namespace

class UploadRunnerTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<VirtualScale> scale;
    std::unique_ptr<SerialLink::PortHandle> port;
    std::unique_ptr<QWidget> window;

    // Holds the tool's output as a scale's XOFF does, until Release().
    void Hold()
    {
        scale->SendRaw("\x13");
        QTest::qWait(50);
    }
    void Release() { scale->SendRaw("\x11"); }

private slots:
    void init()
    {
        scale = std::make_unique<VirtualScale>();
        QVERIFY(scale->Start());
        port = std::make_unique<SerialLink::PortHandle>();
        QCOMPARE(SerialLink::OpenSerialPort(scale->PortPath(), *port, 9600), 1);
        window = std::make_unique<QWidget>();
        window->resize(300, 200);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup()
    {
        window.reset();
        port->Close();
        port.reset();
        scale.reset();
    }

    void uploadReachesTheScale_data()
    {
        QTest::addColumn<int>("series");
        QTest::newRow("ZUD") << int(SeriesZud);
        QTest::newRow("ZEV") << int(SeriesZev);
    }

    void uploadReachesTheScale()
    {
        QFETCH(int, series);
        const std::vector<Bytes> writes = UploadBlock(SampleTable(), series);
        SendWithProgress(window.get(), *port, writes);
        QVERIFY(scale->WaitForCommands(202, 5s));
        const std::vector<Bytes> commands = scale->Commands();
        QCOMPARE(commands.size(), std::size_t(202));
        QVERIFY(commands == writes);
        QVERIFY(scale->UploadedLines() == StoredLines(writes));
        const std::vector<Bytes> stored = scale->UploadedLines();
        QCOMPARE(stored.front(), series == SeriesZud ? "1[1001]<" + kApple + ">" : "1[1001]<" + kApple + ">6.80");
        QCOMPARE(stored[1], series == SeriesZud ? "2[1002]<" + kPork + ">" : "2[1002]<" + kPork + ">");
        QCOMPARE(stored[2], series == SeriesZud ? Bytes("3[1003]<>") : Bytes("3[1003]<>1.00"));
        QCOMPARE(stored[199], Bytes("200[]<>"));
    }

    void companyNameReachesTheScaleCutAtACharacter()
    {
        const std::string name = std::string(99, 'a') + kZhong;
        const Bytes command = CompanyNameCommand(name);
        QCOMPARE(SerialLink::WriteBytes(*port, command.data(), command.size()), int(command.size()));
        QVERIFY(scale->WaitForCommands(1, 2s));
        QCOMPARE(scale->CompanyName(), std::string(99, 'a'));
    }

    void windowStaysResponsiveWhileTheLineIsHeld()
    {
        const std::vector<Bytes> writes = UploadBlock(SampleTable(), SeriesZev);
        Hold();
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(20);
        bool progressShown = false;
        QTimer::singleShot(800, this, [&] {
            auto* progress = window->findChild<QProgressDialog*>();
            progressShown = progress && progress->isVisible();
            Release();
        });
        QElapsedTimer clock;
        clock.start();
        SendWithProgress(window.get(), *port, writes);
        const qint64 elapsed = clock.elapsed();
        ticker.stop();
        QVERIFY2(elapsed >= 800, qPrintable(QString::number(elapsed)));
        // The window's timers ran all the while the first line waited for the line to open.
        QVERIFY2(ticks >= 20, qPrintable(QString::number(ticks)));
        QVERIFY(progressShown);
        QVERIFY(scale->WaitForCommands(202, 5s));
        QVERIFY(scale->UploadedLines() == StoredLines(writes));
    }

    void cancelStopsAndClosesTheBlock()
    {
        const std::vector<Bytes> writes = UploadBlock(SampleTable(), SeriesZev);
        Hold();
        bool clicked = false;
        QTimer::singleShot(700, this, [&] {
            auto* progress = window->findChild<QProgressDialog*>();
            auto* cancel = progress ? progress->findChild<QPushButton*>() : nullptr;
            if (cancel) {
                QTest::mouseClick(cancel, Qt::LeftButton);
                clicked = true;
            }
            Release();
        });
        SendWithProgress(window.get(), *port, writes);
        QVERIFY(clicked);
        QVERIFY(scale->WaitForCommands(2, 2s));
        QTest::qWait(100);
        const std::vector<Bytes> commands = scale->Commands();
        QVERIFY(commands.size() < 202);
        QCOMPARE(commands.front(), Bytes("plu\r\n"));
        QCOMPARE(commands.back(), Bytes("end\r\n"));
    }

    void emptyBlockSendsNothing()
    {
        SendWithProgress(window.get(), *port, UploadBlock(SampleTable(), SeriesRivav));
        QTest::qWait(100);
        QVERIFY(scale->Commands().empty());
    }
};

QTEST_MAIN(UploadRunnerTest)
#include "UploadRunnerTest.moc"
