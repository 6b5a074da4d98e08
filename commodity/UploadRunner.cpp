#include "commodity/UploadRunner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <thread>

namespace {

// How often the window looks at the worker's progress; also the most the end of an upload waits.
constexpr int kPollMs = 15;

struct Progress {
    std::atomic<int> sent{0};
    std::atomic<bool> cancelled{false};
    std::atomic<bool> finished{false};
};

void sendAll(SerialLink::PortHandle& port, const std::vector<Bytes>& writes, Progress& progress)
{
    const std::size_t count = writes.size();
    for (std::size_t i = 0; i < count; ++i) {
        // After Cancel only the closing line goes out.
        if (progress.cancelled.load() && i + 1 < count)
            continue;
        SerialLink::WriteBytes(port, writes[i].data(), writes[i].size());
        progress.sent.store(int(i + 1));
    }
    progress.finished.store(true);
}

} // namespace

void SendWithProgress(QWidget* parent, SerialLink::PortHandle& port, const std::vector<Bytes>& writes)
{
    if (writes.empty())
        return;
    Progress progress;
    QProgressDialog dialog(QCoreApplication::translate("UploadRunner", "Uploading commodities..."),
                           QCoreApplication::translate("UploadRunner", "Cancel"), 0, int(writes.size()), parent);
    dialog.setWindowTitle(QCoreApplication::translate("UploadRunner", "Upload"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    // A quick upload (a fast line) finishes before the dialog would show.
    dialog.setMinimumDuration(400);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&progress] { progress.cancelled.store(true); });

    // The worker shares nothing with the window but the atomics above: the window polls them.
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        dialog.setValue(progress.sent.load());
        if (progress.finished.load())
            loop.quit();
    });

    std::thread worker(sendAll, std::ref(port), std::cref(writes), std::ref(progress));
    poll.start();
    loop.exec();
    poll.stop();
    worker.join();
    dialog.hide();
}
