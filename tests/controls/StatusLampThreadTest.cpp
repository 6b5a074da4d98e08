// The lamp set from a worker thread, as the weight reader does it. GoogleTest with its own
// application object, so that it runs under ThreadSanitizer without Qt Test's watchdog thread.

#include "controls/StatusLamp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>

#include <atomic>
#include <thread>

namespace {

// Notes the state each paint event of the lamp shows.
class PaintWatcher : public QObject {
public:
    explicit PaintWatcher(const StatusLamp* lamp) : lamp_(lamp) {}
    int paints = 0;
    int lastPaintedState = -100;
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

// Runs the event loop until `done` holds or two seconds have passed.
template <class Done>
bool ProcessUntil(Done done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

TEST(StatusLampThreads, LastStateFromTheWorkerIsTheOnePainted)
{
    StatusLamp lamp;
    lamp.resize(120, 30);
    lamp.show();
    PaintWatcher watcher(&lamp);
    lamp.installEventFilter(&watcher);
    ASSERT_TRUE(ProcessUntil([&] { return lamp.isVisible(); }));

    std::atomic<bool> done{false};
    std::thread reader([&lamp, &done] {
        for (int i = 0; i < 2000; ++i)
            lamp.SetState(1 - i % 2);  // ends on 0
        done = true;
    });
    // The user-interface thread paints while the states arrive.
    const bool finished = ProcessUntil([&] { return done.load(); });
    reader.join();
    ASSERT_TRUE(finished);
    ASSERT_TRUE(ProcessUntil([&] { return watcher.lastPaintedState == 0; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(watcher.lastPaintedState, 0);
    EXPECT_EQ(lamp.State(), 0);
    // Thousands of states coalesce into far fewer repaints.
    EXPECT_GT(watcher.paints, 0);
    EXPECT_LT(watcher.paints, 2000);
}

TEST(StatusLampThreads, StatesFromTwoThreadsEndOnOneOfTheirLastValues)
{
    StatusLamp lamp;
    lamp.resize(120, 30);
    lamp.show();
    PaintWatcher watcher(&lamp);
    lamp.installEventFilter(&watcher);

    std::atomic<int> running{2};
    const auto worker = [&lamp, &running](int last) {
        constexpr int kStates[] = {5, 0, 1};
        for (int i = 0; i < 1000; ++i)
            lamp.SetState(kStates[i % 3]);
        lamp.SetState(last);
        --running;
    };
    std::thread a(worker, 0);
    std::thread b(worker, 7);
    const bool finished = ProcessUntil([&] { return running.load() == 0; });
    a.join();
    b.join();
    ASSERT_TRUE(finished);
    const int last = lamp.State();
    EXPECT_TRUE(last == 0 || last == 7) << last;
    ASSERT_TRUE(ProcessUntil([&] { return watcher.lastPaintedState == last; }));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
