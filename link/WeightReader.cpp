#include "link/WeightReader.h"

#include "link/ScaleCommand.h"
#include "link/WeightReport.h"

#include <array>
#include <chrono>
#include <string_view>
#include <vector>

WeightReader::WeightReader(SerialLink::PortHandle& port, const std::atomic<int>& series,
                           const std::atomic<bool>& activeReturn, std::function<int()> sleepMs, Callbacks callbacks)
    : port_(port), series_(series), activeReturn_(activeReturn), sleepMs_(std::move(sleepMs)),
      callbacks_(std::move(callbacks))
{
}

WeightReader::~WeightReader()
{
    Stop();
}

void WeightReader::Start()
{
    std::lock_guard control(controlMutex_);
    if (thread_.joinable()) {
        RequestStop();
        thread_.join();
    }
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = false;
    }
    running_ = true;
    thread_ = std::thread(&WeightReader::Run, this);
}

void WeightReader::RequestStop()
{
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    wake_.notify_all();
}

void WeightReader::Stop()
{
    std::lock_guard control(controlMutex_);
    RequestStop();
    // From the reader's own thread a join would never return; the next Start() joins it.
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

bool WeightReader::IsRunning() const
{
    return running_;
}

bool WeightReader::StopRequested() const
{
    std::lock_guard lock(mutex_);
    return stopRequested_;
}

bool WeightReader::Pause(int ms)
{
    std::unique_lock lock(mutex_);
    if (ms > 0)
        wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopRequested_; });
    return !stopRequested_;
}

void WeightReader::Run()
{
    // Big enough for the longest report a scale sends; cleared before each read.
    std::array<char, 37> buffer{};
    const auto received = [&buffer](int count) { return std::string_view(buffer.data(), std::size_t(count)); };
    const auto show = [this](const std::vector<WeightReport::FieldValue>& fields) {
        if (callbacks_.showField) {
            for (const WeightReport::FieldValue& field : fields)
                callbacks_.showField(field.fieldId, field.text);
        }
    };

    const bool lampShown = series_ == SeriesRivav;
    if (lampShown && callbacks_.showLamp)
        callbacks_.showLamp(true);

    while (!StopRequested()) {
        if (!port_.IsOpen()) {
            Pause(kClosedPortPauseMs);
            continue;
        }
        SerialLink::Purge(port_);
        const int series = series_;
        const bool activeReturn = activeReturn_;
        const Bytes request = ScaleCommandSet::ReadWeight(series, activeReturn);
        const int length = ScaleCommandSet::WeightReportLength(series, activeReturn);
        if (!request.empty())
            SerialLink::WriteBytes(port_, request.data(), request.size());

        buffer.fill(0);
        if (SerialLink::ReadBytes(port_, buffer.data(), length, kReportLimitMs) == length) {
            const auto result = WeightReport::DecodeCycleReport(series, length, activeReturn_, received(length));
            if (result.stable && callbacks_.setStable)
                callbacks_.setStable(*result.stable);
            show(result.fields);
            // A ZUD scale may answer with several reports back to back; each fills its field. A scale
            // that never pauses would keep this going, so a stop ends it too.
            if (series == SeriesZud) {
                while (!StopRequested()) {
                    buffer.fill(0);
                    if (SerialLink::ReadBytes(port_, buffer.data(), length, kReportLimitMs) != length)
                        break;
                    show(WeightReport::DecodeZud(received(length)));
                }
            }
        }
        Pause(sleepMs_ ? sleepMs_() : 100);
    }

    if ((lampShown || series_ == SeriesRivav) && callbacks_.showLamp)
        callbacks_.showLamp(false);
    running_ = false;
    if (callbacks_.finished)
        callbacks_.finished();
}
