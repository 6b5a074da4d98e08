#pragma once

#include "link/ScaleSeries.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Finding a scale on ports whose rate and series nobody remembers. Only harmless traffic goes out:
// the scan listens for reports the scale sends by itself, then sends the ZUD poll "R" and the framed
// poll 0x11, and reads what comes back. It never sends a setting and closes every port it opened.
namespace ScaleFinder {

// What was sent before the answer was read.
enum class Probe { Listen, ZudPoll, FramedPoll };

// The form a valid answer had.
enum class ReportForm {
    Zud,           // 13-byte text report after "R"
    PolledFramed,  // 15-byte framed report after 0x11
    Unasked,       // 16-byte framed report the scale sent by itself
};

struct Answer {
    ReportForm form;
    ScaleSeries series;  // the series the form belongs to (a polled framed report is taken as ZEV)
    std::string weight;  // the weight text it carried, blanks removed
    bool operator==(const Answer&) const = default;
};

// Classifies the bytes one probe read. A 16-byte framed report counts wherever it starts, since a
// scale reporting by itself does not wait for the poll; a polled report must start the answer.
// A partial report, junk and the noise of a wrong rate give nothing.
std::optional<Answer> Classify(Probe probe, std::string_view answer);

struct Found {
    std::string port;
    int baud;
    Answer answer;
};

struct Unopened {
    std::string port;
    int error;  // errno of the first failed open
};

struct Result {
    std::vector<Found> scales;
    std::vector<Unopened> unopened;
    bool cancelled = false;
};

// One port's outcome, told as soon as that port is done: a scale, a port that could not be opened,
// or neither (nothing answered, or the scan was cancelled).
struct PortResult {
    int portIndex;
    std::optional<Found> found;
    std::optional<Unopened> unopened;
};

struct Progress {
    int portIndex;
    int portCount;
    std::string port;
    int rateIndex;
    int rateCount;
    int baud;
};

// How long each probe waits. A port's first listen is long enough to hear a scale that reports
// once a second; when it heard nothing at all, not even the noise of a wrong rate, the scale sends
// nothing by itself and later rates listen briefly. When it heard bytes, every rate listens long
// until a report decodes. A silent port costs longListenMs + 2 * pollMs, then (listenMs + 2 * pollMs)
// per further rate.
struct Timing {
    int listenMs = 100;
    int pollMs = 80;
    int longListenMs = 1100;
};

struct Search {
    Timing timing;
    // None: every probe. A series narrows the search to its own poll; Rivav only listens. An answer
    // of another series is not taken.
    ScaleSeries series = ScaleSeries::None;
};

// Ports tried at once; more wait their turn.
inline constexpr int kPortsAtOnce = 8;

// Tries the ports at once (up to kPortsAtOnce, one thread and one port handle each), each at each
// rate in turn; blocks the calling thread (never the UI's) until all are done: about 2.8 s for
// silent ports with seven rates. A port is left at the first rate a scale answers at. `cancel` is
// read between steps, so a cancel stops every port within one probe's wait. The result lists
// scales and unopened ports in the order of `ports`.
// `progress` (before each rate is tried) and `portDone` (as each port ends) may be empty. They are
// called from the scan's threads, never two at once: one call ends before the next begins, so they
// may share state without a lock of their own, but they must not block for long or call Scan.
Result Scan(const std::vector<std::string>& ports, const std::vector<int>& rates, const std::atomic<bool>& cancel,
            const std::function<void(const Progress&)>& progress, const Search& search = {},
            const std::function<void(const PortResult&)>& portDone = {});

} // namespace ScaleFinder
