#include "sim/ScaleModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "sim/CommandSplitter.h"

namespace {

using std::chrono::milliseconds;

constexpr double kZeroRangeFraction = 0.04;  // zero works within 4 % of capacity

// The demo's round of loads: after each pause the load on the pan becomes `kg` (0: taken off).
struct LifeStep {
    milliseconds pause;
    double kg;
};
constexpr LifeStep kLife[] = {
    {milliseconds(1500), 1.236}, {milliseconds(6000), 0.0}, {milliseconds(3000), 0.458},
    {milliseconds(5000), 0.0},   {milliseconds(3000), 2.715}, {milliseconds(5000), 0.0},
};
// What each load taken off leaves on the empty pan's reading, as dust and creep do.
constexpr double kCreepKg = 0.002;

// Weight as the scale prints it: three decimals, right-aligned in `width` characters.
Bytes WeightText(double kg, int width)
{
    kg = std::clamp(kg, -99999.999, 99999.999);
    if (std::fabs(kg) < 0.0005)
        kg = 0.0;
    char text[32];
    std::snprintf(text, sizeof text, "%*.3f", width, kg);
    return text;
}

} // namespace

// --- the reading -------------------------------------------------------------------------------------

double ScaleModel::Gross(TimePoint now) const
{
    const double settled = targetKg_ - zeroOffset_;
    const auto elapsed = now - movedAt_;
    if (elapsed >= moveSettling_)
        return settled;
    // A damped swing past the target with a little noise, as a pan does when loaded.
    const double t = std::chrono::duration<double, std::milli>(elapsed).count();
    const double swing = (fromKg_ - targetKg_) * std::exp(-t / 100.0) * std::cos(t * 3.14159265 / 200.0);
    const double noise = 0.002 * std::sin(t * 0.37) * (1.0 - t / double(moveSettling_.count()));
    return settled + swing + noise;
}

void ScaleModel::PlaceLoad(double kilograms, TimePoint now)
{
    // The hand on the pan ends the demo's own life.
    lively_ = false;
    adjusting_ = false;
    MoveLoad(kilograms, now);
}

void ScaleModel::MoveLoad(double kilograms, TimePoint now)
{
    if (kilograms == targetKg_)
        return;
    fromKg_ = Gross(now) + zeroOffset_;
    targetKg_ = kilograms;
    movedAt_ = now;
    moveSettling_ = settling_;
    wasStable_ = IsStable(now);
}

void ScaleModel::SetSettlingTime(milliseconds settling)
{
    settling_ = std::max(settling, milliseconds(0));
}

Bytes ScaleModel::ZudReports(TimePoint now) const
{
    const double gross = Gross(now);
    return "ww" + WeightText(gross, 11) + "wn" + WeightText(gross - tare_, 11) + "wt" + WeightText(tare_, 11);
}

Bytes ScaleModel::FramedReport(TimePoint now, bool byItself) const
{
    Bytes report = "\x01\x02";
    report += IsStable(now) ? 'S' : 'U';
    report += WeightText(Net(now), 9);
    report += "k\x03\x04";
    if (byItself)
        report += '\r';
    return report;
}

// Tare and zero take effect once the reading is at rest.
void ScaleModel::ApplyWhenStable(TimePoint now)
{
    if (!IsStable(now))
        return;
    const double gross = Gross(now);
    if (zeroPending_) {
        zeroPending_ = false;
        if (forceZero_ || std::fabs(gross) <= kZeroRangeFraction * capacityKg_) {
            zeroOffset_ += gross;
            tare_ = 0.0;
        }
        forceZero_ = false;
    }
    if (tarePending_) {
        tarePending_ = false;
        const double current = Gross(now);  // after a zero just taken
        if (current > -0.0005)
            tare_ = std::max(current, 0.0);
    }
}

// --- what time brings --------------------------------------------------------------------------------

std::vector<ScaleModel::Reply> ScaleModel::Tick(TimePoint now)
{
    std::vector<Reply> replies;
    Live(now, replies);
    ApplyWhenStable(now);
    const bool stable = IsStable(now);
    if (stableBack_ && stable && !wasStable_ && !silent_)
        replies.push_back({now, FramedReport(now, true)});
    wasStable_ = stable;
    if (postbackRate_ > 0 && now >= nextPostback_) {
        const milliseconds period(1000 / postbackRate_);
        if (!silent_)
            replies.push_back({now, FramedReport(now, true)});
        nextPostback_ += period;
        if (nextPostback_ <= now)
            nextPostback_ = now + period;
    }
    return replies;
}

std::optional<ScaleModel::TimePoint> ScaleModel::NextTick() const
{
    std::optional<TimePoint> next;
    if (postbackRate_ > 0)
        next = nextPostback_;
    if (tarePending_ || zeroPending_ || !wasStable_) {
        // At rest a waiting tare or zero applies and a stable-back report goes.
        const TimePoint rest = movedAt_ + moveSettling_;
        if (!next || rest < *next)
            next = rest;
    }
    const auto consider = [&next](bool waiting, TimePoint at) {
        if (waiting && (!next || at < *next))
            next = at;
    };
    consider(lively_, nextLifeStep_);
    consider(adjusting_, nextCalibrationLines_);
    return next;
}

// --- the demo's own life -----------------------------------------------------------------------------

void ScaleModel::StartLife(TimePoint now)
{
    lively_ = true;
    lifeStep_ = 0;
    nextLifeStep_ = now + kLife[0].pause;
}

void ScaleModel::Live(TimePoint now, std::vector<Reply>& replies)
{
    if (!lively_)
        return;
    while (now >= nextLifeStep_) {
        const LifeStep& step = kLife[lifeStep_];
        if (step.kg == 0.0)
            creepKg_ += kCreepKg;
        MoveLoad(step.kg + creepKg_, nextLifeStep_);
        lifeStep_ = (lifeStep_ + 1) % std::size(kLife);
        nextLifeStep_ += kLife[lifeStep_].pause;
    }
    if (adjusting_ && now >= nextCalibrationLines_) {
        if (!silent_)
            replies.push_back({now, CalibrationLines(now)});
        nextCalibrationLines_ = now + kCalibrationLinesGap;
    }
}

Bytes ScaleModel::CalibrationLines(TimePoint now) const
{
    return "C " + std::to_string(capacityKg_) + "\r\nF " + std::to_string(calibrationWeightKg_) + "\r\nW"
        + WeightText(Gross(now), 8) + "\r\n";
}

void ScaleModel::LineUp(TimePoint now)
{
    if (postbackRate_ > 0)
        nextPostback_ = now + milliseconds(1000 / postbackRate_);
}

void ScaleModel::SetPostbackRate(int perSecond, TimePoint now)
{
    SetBackRate(std::clamp(perSecond, 0, 10), now);
}

void ScaleModel::SetBackRate(int rate, TimePoint now)
{
    postbackRate_ = rate;
    stableBack_ = false;
    backMode_ = rate > 0 ? std::to_string(rate) + "HZ" : Bytes("OFF");
    nextPostback_ = now + milliseconds(rate > 0 ? 1000 / rate : 0);
}

void ScaleModel::SetBaudRate(int baud)
{
    lineBaud_ = baud;
    baud_ = std::to_string(baud);
}

// --- commands ----------------------------------------------------------------------------------------

std::vector<ScaleModel::Reply> ScaleModel::Handle(std::string_view c, TimePoint now)
{
    std::vector<Reply> replies;
    const bool poll = c == "R" || c == "\x11";
    if (poll)
        adjusting_ = false;  // weighing again
    Live(now, replies);
    if (poll) {
        AnswerPoll(c == "\x11", now, replies);
    } else if (c == "T" || c == "T\r\n") {
        tarePending_ = true;
        ApplyWhenStable(now);
    } else if (c == "Z" || c == "Z\r\n") {
        zeroPending_ = true;
        forceZero_ = adjusting_;
        ApplyWhenStable(now);
    } else if (c.size() >= 3 && c[0] == '\x1B'
               && c.size() == 3 + CommandSplitter::EscArgumentCount(std::uint8_t(c[2]))) {
        HandleEsc(std::uint8_t(c[2]), c.substr(3), now, replies);
    } else if (c.size() == 13 && std::uint8_t(c[0]) == 0xAB) {
        HandlePostbackFrame(c, now);
    } else if (c.size() >= 2 && c.substr(c.size() - 2) == "\r\n") {
        HandleLine(c.substr(0, c.size() - 2), now);
    }
    return replies;
}

void ScaleModel::AnswerPoll(bool framed, TimePoint now, std::vector<Reply>& replies)
{
    if (silent_)
        return;
    if (series_ != ScaleSeries::None && (series_ == ScaleSeries::Zud) == framed)
        return;  // the other series' poll means nothing to this scale
    if (!queuedReplies_.empty()) {
        replies.push_back({now, queuedReplies_.front()});
        queuedReplies_.pop_front();
        return;
    }
    replies.push_back({now, framed ? FramedReport(now, false) : ZudReports(now)});
}

void ScaleModel::HandleEsc(std::uint8_t code, std::string_view args, TimePoint now, std::vector<Reply>& replies)
{
    const auto arg = [&](std::size_t i) { return int(std::uint8_t(args[i])); };
    switch (code) {
    case 0x02: divisionGrams_ = arg(0) * 256 + arg(1); break;
    case 0x03:
        if (arg(0) <= 10) {
            SetBackRate(arg(0), now);
        } else if (arg(0) == 0x0E) {
            SetBackRate(0, now);
            backMode_ = "CMD";
        } else if (arg(0) == 0x0F) {
            SetBackRate(0, now);
            stableBack_ = true;
            backMode_ = "STABLE";
        }
        break;
    case 0x04: overflowAlarm_ = arg(0); break;
    case 0x05: animal_ = arg(0) != 0; break;
    case 0x07: falseStability_ = arg(0); break;
    case 0x08: ledBrightness_ = arg(0); break;
    case 0x09: protocol_ = arg(0); break;
    case 0x0A: precisionDecimals_ = arg(0); precisionUnit_ = arg(1); break;
    case 0x0B: zeroTrackKind_ = arg(0); zeroTrackValue_ = arg(1); break;
    case 0x0E: keysLocked_ = arg(0) == 0; break;
    case 0xFF: SendDump(now, replies); break;
    default: break;
    }
}

void ScaleModel::HandlePostbackFrame(std::string_view frame, TimePoint now)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < 12; ++i)
        sum += std::uint8_t(frame[i]);
    constexpr std::string_view kFourZeros("\0\0\0\0", 4);
    const bool wellFormed = (sum & 0xFF) == std::uint8_t(frame[12]) && frame.substr(1, 4) == kFourZeros
        && std::uint8_t(frame[5]) == 0x80 && std::uint8_t(frame[6]) == 0x01 && frame.substr(8, 4) == kFourZeros;
    const int rate = std::uint8_t(frame[7]);
    if (wellFormed && rate <= 10)
        SetBackRate(rate, now);
}

void ScaleModel::HandleLine(std::string_view line, TimePoint now)
{
    // The demo takes a calibration command for the ADJ key held at switch-on.
    const auto adjust = [this, now] {
        if (lively_ && !adjusting_) {
            adjusting_ = true;
            nextCalibrationLines_ = now;
        }
    };
    if (inUpload_) {
        if (line == "end") {
            uploaded_ = std::move(uploading_);
            uploading_.clear();
            inUpload_ = false;
        } else if (line == "plu") {
            uploading_.clear();
        } else {
            uploading_.emplace_back(line);
        }
        return;
    }
    if (line == "plu") {
        inUpload_ = true;
        uploading_.clear();
    } else if (line.starts_with("Co.")) {
        companyName_ = Bytes(line.substr(3));
    } else if (line.starts_with("baud:")) {
        baud_ = Bytes(line.substr(5));
    } else if (line.starts_with("code:")) {
        areaCode_ = Bytes(line.substr(5));
        adjust();
    } else if (line.starts_with("g=")) {
        gravity_ = Bytes(line.substr(2));
        adjust();
    } else if (line.starts_with("Lat=")) {
        adjust();
        const auto split = line.find("\r\nASL=");
        latitude_ = Bytes(line.substr(4, split == std::string_view::npos ? line.npos : split - 4));
        if (split != std::string_view::npos)
            altitude_ = Bytes(line.substr(split + 6));
    } else {
        int capacity = 0, weight = 0;
        char extra = 0;
        const Bytes text(line);
        if (std::sscanf(text.c_str(), "%d,%d%c", &capacity, &weight, &extra) == 2 && capacity > 0 && weight > 0) {
            capacityKg_ = capacity;
            calibrationWeightKg_ = weight;
            adjust();
        }
    }
}

// --- the parameter dump ------------------------------------------------------------------------------

Bytes ScaleModel::GeneratedDump() const
{
    const auto hex = [](int value) {
        char text[8];
        std::snprintf(text, sizeof text, "%02X", value & 0xFF);
        return Bytes(text);
    };
    Bytes dump = "parameter\r\n";
    const auto add = [&dump](std::string_view key, const Bytes& value) {
        dump += key;
        dump += '=';
        dump += value;
        dump += "\r\n";
    };
    add("MODEL", "VS-" + std::to_string(capacityKg_));
    add("VER", "2.10");
    add("CAP", std::to_string(capacityKg_) + "kg");
    add("DIV", divisionGrams_ == 0 ? Bytes("AUTO") : std::to_string(divisionGrams_) + "g");
    add("CAL", std::to_string(calibrationWeightKg_) + "kg");
    add("CODE", areaCode_);
    add("G", gravity_);
    add("LAT", latitude_);
    add("ASL", altitude_);
    add("BAUD", baud_);
    add("BACK", backMode_);
    add("PROTOCOL", hex(protocol_));
    add("PRECISION", std::to_string(precisionDecimals_) + "," + std::to_string(precisionUnit_));
    add("ZEROTRACK", std::to_string(zeroTrackKind_) + "," + std::to_string(zeroTrackValue_));
    add("ALARM", std::to_string(overflowAlarm_));
    add("ANIMAL", animal_ ? "ON" : "OFF");
    add("FSTAB", std::to_string(falseStability_));
    add("LED", std::to_string(ledBrightness_));
    add("KEYLOCK", keysLocked_ ? "ON" : "OFF");
    dump += "end\r\n";
    return dump;
}

void ScaleModel::SendDump(TimePoint now, std::vector<Reply>& replies) const
{
    if (silent_)
        return;
    const Bytes dump = dumpOverride_ ? *dumpOverride_ : GeneratedDump();
    auto due = now + kDumpFirstDelay;
    for (std::size_t at = 0; at < dump.size(); at += kDumpChunk, due += kDumpGap)
        replies.push_back({due, dump.substr(at, kDumpChunk)});
}
