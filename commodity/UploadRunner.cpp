#include "commodity/UploadRunner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <thread>

namespace {

struct Progress {
    std::atomic<int> sent{0};
    std::atomic<bool> cancelled{false};
};

void sendAll(SerialLink::PortHandle& port, const std::vector<Bytes>& writes, Progress& progress, QEventLoop& loop)
{
    const std::size_t count = writes.size();
    for (std::size_t i = 0; i < count; ++i) {
        // After Cancel only the closing line goes out.
        if (progress.cancelled.load() && i + 1 < count)
            continue;
        SerialLink::WriteBytes(port, writes[i].data(), writes[i].size());
        progress.sent.store(int(i + 1));
    }
    // Wake the window's loop at once rather than at its next progress poll.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
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

    QEventLoop loop;
    QTimer poll;
    poll.setInterval(30);
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] { dialog.setValue(progress.sent.load()); });

    std::thread worker(sendAll, std::ref(port), std::cref(writes), std::ref(progress), std::ref(loop));
    poll.start();
    // The worker may be done before the loop runs; its queued quit still ends the loop then.
    loop.exec();
    poll.stop();
    worker.join();
    dialog.hide();
}
