#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>
#include <vector>

#include "link/ScaleCommandSet.h"

// The scale behind the line: the load and its reading, tare and zero, what it was told, and the
// exact bytes it answers with. It has no line and no clock: whatever depends on time is given `now`.
//
// What it sends:
//   "R"     three 13-byte reports back to back: "ww" gross, "wn" net, "wt" tare, each the marker
//           and the weight right-aligned in 11 characters ("ww      1.234"), no line end.
//   0x11    01 02, 'S' stable / 'U' moving, net weight right-aligned in 9 characters, 'k', 03 04.
//   by itself (postback frame or 1B 00 03 with 1..10 per second; 1B 00 03 0F: once each time the
//           reading comes to rest): the same 15 bytes and '\r'.
//   1B 00 FF  the parameter dump "parameter\r\n" .. "end\r\n", listing what the scale was told,
//           in 48-byte pieces 15 ms apart.
class ScaleModel {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    // Bytes the scale sends, and when they leave.
    struct Reply {
        TimePoint due;
        Bytes bytes;
    };
    // The parameter dump leaves the scale in pieces, like the real one's slow UART firmware.
    static constexpr std::size_t kDumpChunk = 48;
    static constexpr std::chrono::milliseconds kDumpFirstDelay{5};
    static constexpr std::chrono::milliseconds kDumpGap{15};

    // Acts on one command as CommandSplitter cuts it; returns what it answers.
    std::vector<Reply> Handle(std::string_view command, TimePoint now);
    // What time alone brings: a waiting tare or zero taken at rest, the reports it sends by itself.
    std::vector<Reply> Tick(TimePoint now);
    // When Tick() next has something to do; none while nothing waits for time.
    std::optional<TimePoint> NextTick() const;
    // The line came up: its own reports start counting from `now`.
    void LineUp(TimePoint now);

    // The load on the pan in kg: the reading settles towards it and is then stable.
    void PlaceLoad(double kilograms, TimePoint now);
    double Gross(TimePoint now) const;
    double Net(TimePoint now) const { return Gross(now) - tare_; }
    bool IsStable(TimePoint now) const { return now - movedAt_ >= moveSettling_; }
    double Tare() const { return tare_; }
    // How long a new load takes to settle (0 makes loads settle at once).
    void SetSettlingTime(std::chrono::milliseconds settling);

    // The demo's life of its own from `now` on: now and then a load is put on and taken off, and
    // each load taken off leaves the empty pan a few grams off zero, so that TARE and Zero show.
    // A calibration command (gravity, span) puts it in its adjustment mode, where it sends its
    // calibration lines "C <capacity>", "F <weight>", "W <reading>" by itself twice a second and
    // zeroes whatever is on the pan; a weight poll ends that mode. A load placed by hand ends it all.
    void StartLife(TimePoint now);
    bool IsLively() const { return lively_; }
    bool IsAdjusting() const { return adjusting_; }
    static constexpr std::chrono::milliseconds kCalibrationLinesGap{500};

    void SetSilent(bool silent) { silent_ = silent; }  // answers nothing
    void QueueReply(const Bytes& bytes) { queuedReplies_.push_back(bytes); }  // for the next poll
    void SetParameterDump(const Bytes& dump) { dumpOverride_ = dump; }
    // Reports per second it sends by itself (0..10), as if told so by a postback command.
    void SetPostbackRate(int perSecond, TimePoint now);
    int PostbackRate() const { return postbackRate_; }

    // The rate it talks at; the parameter dump lists it.
    void SetBaudRate(int baud);
    int BaudRate() const { return lineBaud_; }
    // The poll it answers: Zud "R" only, Zev and Rivav 0x11 only, None both.
    void SetSeries(ScaleSeries series) { series_ = series; }
    ScaleSeries Series() const { return series_; }

    // What the last company-name line and the last complete upload block carried.
    const Bytes& CompanyName() const { return companyName_; }
    const std::vector<Bytes>& UploadedLines() const { return uploaded_; }

private:
    Bytes ZudReports(TimePoint now) const;
    Bytes FramedReport(TimePoint now, bool byItself) const;
    Bytes GeneratedDump() const;
    void AnswerPoll(bool framed, TimePoint now, std::vector<Reply>& replies);
    void SendDump(TimePoint now, std::vector<Reply>& replies) const;
    void ApplyWhenStable(TimePoint now);
    void SetBackRate(int rate, TimePoint now);
    void HandleEsc(std::uint8_t code, std::string_view args, TimePoint now, std::vector<Reply>& replies);
    void HandlePostbackFrame(std::string_view frame, TimePoint now);
    void HandleLine(std::string_view line, TimePoint now);
    void MoveLoad(double kilograms, TimePoint now);
    // The demo's loads that have fallen due by `now`, and its calibration lines.
    void Live(TimePoint now, std::vector<Reply>& replies);
    Bytes CalibrationLines(TimePoint now) const;

    // The line: the rate it talks at, the poll it answers (None: both).
    int lineBaud_ = 9600;
    ScaleSeries series_ = ScaleSeries::None;

    // Answers.
    bool silent_ = false;
    std::deque<Bytes> queuedReplies_;
    std::optional<Bytes> dumpOverride_;

    // The load and the reading.
    double fromKg_ = 0.0;
    double targetKg_ = 0.0;
    TimePoint movedAt_{};
    std::chrono::milliseconds settling_{600};
    // What the last move settles over: a later change of the settling time is for later moves.
    std::chrono::milliseconds moveSettling_{600};
    double zeroOffset_ = 0.0;
    double tare_ = 0.0;
    bool tarePending_ = false;
    bool zeroPending_ = false;
    bool wasStable_ = true;

    // The demo's own life.
    bool lively_ = false;
    std::size_t lifeStep_ = 0;      // the next step of its round of loads
    TimePoint nextLifeStep_{};
    double creepKg_ = 0.0;          // where the empty pan reads after the loads taken off so far
    bool adjusting_ = false;
    bool forceZero_ = false;        // a zero in the adjustment mode, whatever the reading
    TimePoint nextCalibrationLines_{};

    // Reporting by itself: 1..10 per second, or one report each time the reading comes to rest.
    int postbackRate_ = 0;
    bool stableBack_ = false;
    TimePoint nextPostback_{};

    // Shop data.
    Bytes companyName_;
    std::vector<Bytes> uploaded_;
    std::vector<Bytes> uploading_;
    bool inUpload_ = false;

    // Settings the scale keeps and lists in its parameter dump.
    int capacityKg_ = 15;
    int calibrationWeightKg_ = 5;
    int divisionGrams_ = 5;
    Bytes areaCode_ = "020";
    Bytes gravity_ = "9.788300";
    Bytes latitude_ = "23.12";
    Bytes altitude_ = "0050";
    Bytes baud_ = "9600";
    Bytes backMode_ = "CMD";
    int protocol_ = 0x11;
    int precisionDecimals_ = 0, precisionUnit_ = 0;
    int zeroTrackKind_ = 1, zeroTrackValue_ = 5;
    int overflowAlarm_ = 3;
    bool animal_ = false;
    int falseStability_ = 2;
    int ledBrightness_ = 3;
    bool keysLocked_ = false;
};
