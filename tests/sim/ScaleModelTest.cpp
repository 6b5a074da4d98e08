// The scale model on its own: the exact bytes it answers each command with, what it keeps, and how
// its reading, tare and zero move with time, all with the time handed in.

#include "sim/ScaleModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "link/ScaleCommandSet.h"
#include "sim/SimTestSupport.h"

using namespace std::chrono_literals;
using namespace SimTest;

namespace {

Bytes Sent(const std::vector<ScaleModel::Reply>& replies)
{
    Bytes all;
    for (const ScaleModel::Reply& reply : replies)
        all += reply.bytes;
    return all;
}

// A model with `kg` on the pan, at rest.
ScaleModel Loaded(double kg)
{
    ScaleModel model;
    model.SetSettlingTime(0ms);
    model.PlaceLoad(kg, kStart);
    return model;
}

// What the model sends by itself from kStart until `span` has passed, ticked every millisecond.
std::vector<ScaleModel::Reply> SentByItself(ScaleModel& model, std::chrono::milliseconds span)
{
    std::vector<ScaleModel::Reply> all;
    for (TimePoint t = kStart; t <= kStart + span; t += 1ms) {
        for (ScaleModel::Reply& reply : model.Tick(t))
            all.push_back(std::move(reply));
    }
    return all;
}

const Bytes kDefaultDump =
    "parameter\r\nMODEL=VS-15\r\nVER=2.10\r\nCAP=15kg\r\nDIV=5g\r\nCAL=5kg\r\nCODE=020\r\nG=9.788300\r\n"
    "LAT=23.12\r\nASL=0050\r\nBAUD=9600\r\nBACK=CMD\r\nPROTOCOL=11\r\nPRECISION=0,0\r\nZEROTRACK=1,5\r\n"
    "ALARM=3\r\nANIMAL=OFF\r\nFSTAB=2\r\nLED=3\r\nKEYLOCK=OFF\r\nend\r\n";

// --- answers -----------------------------------------------------------------------------------------

struct AnswerCase {
    const char* name;
    double load;
    ScaleSeries series;
    std::vector<Bytes> before;  // handled first, their answers left aside
    Bytes command;
    Bytes expected;
};

const AnswerCase kAnswerCases[] = {
    {"zud poll", 1.234, ScaleSeries::None, {}, "R", "ww      1.234wn      1.234wt      0.000"},
    {"framed poll", 12.5, ScaleSeries::None, {}, "\x11", "\x01\x02S   12.500k\x03\x04"},
    {"negative zud poll", -0.25, ScaleSeries::None, {}, "R", "ww     -0.250wn     -0.250wt      0.000"},
    {"negative framed poll", -0.25, ScaleSeries::None, {}, "\x11", "\x01\x02S   -0.250k\x03\x04"},
    {"zud poll after tare", 0.5, ScaleSeries::None, {"T"}, "R", "ww      0.500wn      0.000wt      0.500"},
    {"framed poll carries the net", 0.5, ScaleSeries::None, {"T\r\n"}, "\x11", "\x01\x02S    0.000k\x03\x04"},
    {"overload fits the fields", 123456.0, ScaleSeries::None, {}, "R", "ww  99999.999wn  99999.999wt      0.000"},
    {"overload fits the frame", 123456.0, ScaleSeries::None, {}, "\x11", "\x01\x02S99999.999k\x03\x04"},
    {"zud scale answers its poll", 1.0, ScaleSeries::Zud, {}, "R", "ww      1.000wn      1.000wt      0.000"},
    {"zud scale ignores the framed poll", 1.0, ScaleSeries::Zud, {}, "\x11", ""},
    {"zev scale ignores R", 1.0, ScaleSeries::Zev, {}, "R", ""},
    {"zev scale answers its poll", 1.0, ScaleSeries::Zev, {}, "\x11", "\x01\x02S    1.000k\x03\x04"},
    {"rivav scale answers its poll", 1.0, ScaleSeries::Rivav, {}, "\x11", "\x01\x02S    1.000k\x03\x04"},
    {"parameter dump", 0.0, ScaleSeries::None, {}, Esc(0xFF), kDefaultDump},
    {"tare and zero answer nothing", 0.1, ScaleSeries::None, {"T"}, "Z\r\n", ""},
    {"unfinished esc is ignored", 1.0, ScaleSeries::None, {}, B({0x1B, 0x00}), ""},
    {"esc short of an argument is ignored", 1.0, ScaleSeries::None, {}, Esc(0x02, {0x01}), ""},
};

TEST(ScaleModel, AnswersEachCommandWithExactBytes)
{
    for (const AnswerCase& c : kAnswerCases) {
        SCOPED_TRACE(c.name);
        ScaleModel model = Loaded(c.load);
        model.SetSeries(c.series);
        for (const Bytes& command : c.before)
            model.Handle(command, kStart);
        EXPECT_EQ(Sent(model.Handle(c.command, kStart)), c.expected);
    }
}

// --- what it keeps, as its parameter dump lists it ---------------------------------------------------

struct KeptCase {
    Bytes command;
    Bytes listed;  // lines of the dump that follow
};

const KeptCase kKeptCases[] = {
    {Esc(0x02, {0x01, 0x2C}), "DIV=300g"}, {Esc(0x02, {0x00, 0x00}), "DIV=AUTO"}, {"code:0755\r\n", "CODE=0755"},
    {"baud:4800\r\n", "BAUD=4800"}, {"g=9.794\r\n", "G=9.794"}, {"Lat=30.10\r\nASL=0100\r\n", "LAT=30.10\r\nASL=0100"},
    {"Lat=30.10\r\n", "LAT=30.10\r\nASL=0050"},
    {"30,10\r\n", "MODEL=VS-30\r\nVER=2.10\r\nCAP=30kg\r\nDIV=5g\r\nCAL=10kg"}, {"0,10\r\n", "CAP=15kg"},
    {"30,10x\r\n", "CAP=15kg"}, {Esc(0x03, {0x05}), "BACK=5HZ"}, {Esc(0x03, {0x00}), "BACK=OFF"},
    {Esc(0x03, {0x0E}), "BACK=CMD"}, {Esc(0x03, {0x0F}), "BACK=STABLE"}, {Esc(0x03, {0x0B}), "BACK=CMD"},
    {ScaleCommandSet::SetPostbackFrequency(3), "BACK=3HZ"}, {ScaleCommandSet::SetPostbackFrequency(11), "BACK=CMD"},
    {ScaleCommandSet::SetPostbackFrequency(3).substr(0, 12) + "\x31", "BACK=CMD"}, {Esc(0x04, {0x01}), "ALARM=1"},
    {Esc(0x05, {0x01}), "ANIMAL=ON"}, {Esc(0x07, {0x04}), "FSTAB=4"}, {Esc(0x08, {0x01}), "LED=1"},
    {Esc(0x09, {0x12}), "PROTOCOL=12"}, {Esc(0x0A, {0x02, 0x05}), "PRECISION=2,5"},
    {Esc(0x0B, {0x01, 0x0F}), "ZEROTRACK=1,15"}, {Esc(0x0E, {0x00}), "KEYLOCK=ON"},
};

TEST(ScaleModel, ParameterDumpListsWhatItWasTold)
{
    for (const KeptCase& c : kKeptCases) {
        SCOPED_TRACE(c.command);
        ScaleModel model;
        EXPECT_TRUE(model.Handle(c.command, kStart).empty());
        EXPECT_NE(Sent(model.Handle(Esc(0xFF), kStart)).find("\r\n" + c.listed + "\r\n"), Bytes::npos);
    }
    ScaleModel model;
    model.SetBaudRate(19200);
    model.SetPostbackRate(12, kStart);
    EXPECT_EQ(model.PostbackRate(), 10);
    const Bytes dump = Sent(model.Handle(Esc(0xFF), kStart));
    EXPECT_NE(dump.find("\r\nBAUD=19200\r\nBACK=10HZ\r\n"), Bytes::npos) << dump;
}

TEST(ScaleModel, DumpLeavesInTimedPiecesAndCanBeReplaced)
{
    ScaleModel model;
    const std::vector<ScaleModel::Reply> pieces = model.Handle(Esc(0xFF), kStart);
    ASSERT_EQ(pieces.size(), (kDefaultDump.size() + 47) / 48);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i].bytes, kDefaultDump.substr(48 * i, 48));
        EXPECT_EQ(pieces[i].due, kStart + 5ms + 15ms * int(i));
    }

    const Bytes custom = "xx parameter\r\nA=1\r\nend\r\ntrailing";
    model.SetParameterDump(custom);
    EXPECT_EQ(Sent(model.Handle(Esc(0xFF), kStart)), custom);
}

// --- test controls and shop data ---------------------------------------------------------------------

TEST(ScaleModel, SilentAnswersNothingAndQueuedRepliesAnswerOnePollEach)
{
    ScaleModel model = Loaded(1.0);
    model.QueueReply("first");
    model.QueueReply(B({0x01, 0x02, 'S', 0x00}));
    model.SetSilent(true);
    for (const Bytes& command : {Bytes("R"), Bytes("\x11"), Esc(0xFF), Esc(0x03, {0x0A})})
        EXPECT_TRUE(model.Handle(command, kStart).empty());
    EXPECT_TRUE(SentByItself(model, 300ms).empty());

    model.SetSilent(false);
    EXPECT_EQ(Sent(model.Handle("R", kStart)), "first");
    EXPECT_EQ(Sent(model.Handle("\x11", kStart)), B({0x01, 0x02, 'S', 0x00}));
    EXPECT_EQ(Sent(model.Handle("R", kStart)), "ww      1.000wn      1.000wt      0.000");
}

TEST(ScaleModel, KeepsTheCompanyNameAndTheLastFinishedUploadBlock)
{
    ScaleModel model;
    const Bytes name = "\xC9\xCF\xBA\xA3 Shop";  // GBK bytes kept as they are
    model.Handle("Co." + name + "\r\n", kStart);
    EXPECT_EQ(model.CompanyName(), name);
    model.Handle("Co.\r\n", kStart);
    EXPECT_EQ(model.CompanyName(), "");

    const std::vector<Bytes> lines = {"1[1001]<\xC6\xBB\xB9\xFB>3.50", "2[]<>", "3[R]<T\r>1"};
    for (const Bytes& command : {Bytes("plu\r\n"), Bytes("9[]<>\r\n"), Bytes("plu\r\n")})
        model.Handle(command, kStart);  // a block begun again starts afresh
    for (const Bytes& line : lines)
        model.Handle(line + "\r\n", kStart);
    EXPECT_FALSE(model.Handle("\x11", kStart).empty()) << "the reading cycle may poll in between";
    EXPECT_TRUE(model.UploadedLines().empty()) << "only a finished block counts";
    model.Handle("end\r\n", kStart);
    EXPECT_EQ(model.UploadedLines(), lines);
    EXPECT_EQ(model.CompanyName(), "") << "upload lines are not settings";
}

// --- the reading, tare and zero over time ------------------------------------------------------------

TEST(ScaleModel, NewLoadSwingsThenSettlesExactly)
{
    ScaleModel model;  // 600 ms to settle
    model.PlaceLoad(2.0, kStart);
    EXPECT_EQ(Sent(model.Handle("\x11", kStart + 100ms)).substr(0, 3), "\x01\x02U");
    bool swungPast = false;
    for (TimePoint t = kStart; t < kStart + 600ms; t += 1ms) {
        EXPECT_FALSE(model.IsStable(t));
        swungPast = swungPast || model.Gross(t) > 2.0;
    }
    EXPECT_TRUE(swungPast) << "a loaded pan overshoots a little";
    EXPECT_TRUE(model.IsStable(kStart + 600ms));
    EXPECT_DOUBLE_EQ(model.Gross(kStart + 600ms), 2.0);
    EXPECT_EQ(Sent(model.Handle("\x11", kStart + 600ms)), "\x01\x02S    2.000k\x03\x04");

    model.PlaceLoad(2.0, kStart + 700ms);
    EXPECT_TRUE(model.IsStable(kStart + 700ms)) << "the same load again does not move the pan";
}

// A load placed at rest stays at rest when the settling time changes afterwards (the virtual
// scale's --load): the new time is for the next move.
TEST(ScaleModel, SettlingTimeChangedLaterLeavesTheLastMoveAlone)
{
    ScaleModel model = Loaded(3.25);
    model.SetSettlingTime(600ms);
    EXPECT_TRUE(model.IsStable(kStart + 10ms));
    EXPECT_DOUBLE_EQ(model.Gross(kStart + 10ms), 3.25);
    model.PlaceLoad(1.0, kStart + 20ms);
    EXPECT_FALSE(model.IsStable(kStart + 300ms));
    EXPECT_TRUE(model.IsStable(kStart + 620ms));
}

struct Step {
    int atMs;
    Bytes command;  // empty: place `kg` on the pan
    double kg = 0.0;
};

// Plays `steps` on the model, ticking it whenever it asks for it as the line does, up to `checkMs`.
TimePoint Replay(ScaleModel& model, const std::vector<Step>& steps, int checkMs)
{
    TimePoint now = kStart;
    const auto tickUntil = [&](TimePoint until) {
        for (auto next = model.NextTick(); next && *next <= until && *next > now; next = model.NextTick()) {
            now = *next;
            model.Tick(now);
        }
    };
    for (const Step& step : steps) {
        tickUntil(kStart + std::chrono::milliseconds(step.atMs));
        now = kStart + std::chrono::milliseconds(step.atMs);
        if (step.command.empty())
            model.PlaceLoad(step.kg, now);
        else
            model.Handle(step.command, now);
    }
    const TimePoint check = kStart + std::chrono::milliseconds(checkMs);
    tickUntil(check);
    return check;
}

struct TareCase {
    const char* name;
    std::vector<Step> steps;
    int checkMs;
    std::optional<double> gross;
    double tare;
};

const TareCase kTareCases[] = {
    {"tare takes the settled gross", {{0, {}, 0.5}, {400, "T"}}, 400, 0.5, 0.5},
    {"tare while moving waits", {{0, {}, 1.0}, {100, "T\r\n"}}, 299, std::nullopt, 0.0},
    {"and is taken at rest", {{0, {}, 1.0}, {100, "T\r\n"}}, 300, 1.0, 1.0},
    {"a negative reading leaves the tare", {{0, {}, 0.5}, {400, "T"}, {500, {}, -0.2}, {900, "T"}}, 900, -0.2, 0.5},
    {"zero near zero", {{0, {}, 0.3}, {400, "Z"}}, 400, 0.0, 0.0},
    {"zero moves the reading", {{0, {}, 0.3}, {400, "Z"}, {500, {}, 1.3}}, 900, 1.0, 0.0},
    {"tare of a zeroed reading", {{0, {}, 0.3}, {400, "Z"}, {500, {}, 1.3}, {900, "T"}}, 900, 1.0, 1.0},
    {"zero and tare waiting together", {{0, {}, 0.3}, {100, "Z"}, {100, "T"}}, 300, 0.0, 0.0},
    {"a loaded pan is not zeroed", {{0, {}, 1.0}, {400, "T"}, {500, {}, 6.3}, {900, "Z\r\n"}}, 900, 6.3, 1.0},
    {"not beyond 4 % of capacity", {{0, {}, 0.7}, {400, "Z"}}, 400, 0.7, 0.0},
    {"zero clears the tare", {{0, {}, 0.2}, {400, "T"}, {500, "Z"}}, 500, 0.0, 0.0},
};

TEST(ScaleModel, TareAndZeroWaitForRest)
{
    for (const TareCase& c : kTareCases) {
        SCOPED_TRACE(c.name);
        ScaleModel model;
        model.SetSettlingTime(300ms);
        const TimePoint check = Replay(model, c.steps, c.checkMs);
        if (c.gross) {
            EXPECT_NEAR(model.Gross(check), *c.gross, 1e-9);
        }
        EXPECT_NEAR(model.Tare(), c.tare, 1e-9);
    }
}

// --- reports it sends by itself ----------------------------------------------------------------------

struct PostbackCase {
    const char* name;
    std::vector<Bytes> commands;
    int perSecond;  // reports in the second that follows
};

const PostbackCase kPostbackCases[] = {
    {"postback frame", {ScaleCommandSet::SetPostbackFrequency(5)}, 5},
    {"postback mode", {Esc(0x03, {0x0A})}, 10},
    {"postback mode off", {Esc(0x03, {0x0A}), Esc(0x03, {0x00})}, 0},
    {"frame with zero rate", {Esc(0x03, {0x0A}), ScaleCommandSet::SetPostbackFrequency(0)}, 0},
    {"command mode", {Esc(0x03, {0x0A}), Esc(0x03, {0x0E})}, 0},
    {"frame with a wrong sum", {ScaleCommandSet::SetPostbackFrequency(5).substr(0, 12) + "\x32"}, 0},
    {"frame too fast", {ScaleCommandSet::SetPostbackFrequency(11)}, 0},
};

TEST(ScaleModel, ReportsByItselfAtTheRateItWasTold)
{
    for (const PostbackCase& c : kPostbackCases) {
        SCOPED_TRACE(c.name);
        ScaleModel model = Loaded(3.0);
        for (const Bytes& command : c.commands)
            model.Handle(command, kStart);
        EXPECT_EQ(model.PostbackRate(), c.perSecond);
        const std::vector<ScaleModel::Reply> reports = SentByItself(model, 1000ms);
        ASSERT_EQ(reports.size(), std::size_t(c.perSecond));
        for (std::size_t i = 0; i < reports.size(); ++i) {
            EXPECT_EQ(reports[i].bytes, "\x01\x02S    3.000k\x03\x04\r");
            EXPECT_EQ(reports[i].due, kStart + std::chrono::milliseconds(1000 / c.perSecond) * int(i + 1));
        }
    }
}

TEST(ScaleModel, StableBackReportsOnceAtRestAndOwnReportsCountFromLineUp)
{
    ScaleModel model;
    model.SetSettlingTime(200ms);
    model.Handle(Esc(0x03, {0x0F}), kStart);
    EXPECT_EQ(model.PostbackRate(), 0);
    model.PlaceLoad(4.0, kStart);
    EXPECT_EQ(model.NextTick(), kStart + 200ms);
    const std::vector<ScaleModel::Reply> reports = SentByItself(model, 1000ms);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].due, kStart + 200ms);
    EXPECT_EQ(reports[0].bytes, "\x01\x02S    4.000k\x03\x04\r");
    EXPECT_FALSE(model.NextTick()) << "nothing more waits for time";

    model.SetPostbackRate(4, kStart);
    model.LineUp(kStart + 10s);
    EXPECT_EQ(model.NextTick(), kStart + 10s + 250ms) << "its own reports count from when the line comes up";
}

// --- the demo's own life -----------------------------------------------------------------------------

struct LifeCase {
    const char* name;
    std::vector<Step> steps;  // commands, or a load placed by hand
    int checkMs;
    double net;
    bool stable;
};

// From StartLife at 0: 1.236 kg goes on at 1.5 s, off at 7.5 s, 0.458 kg on at 10.5 s, off at
// 15.5 s, 2.715 kg on at 18.5 s, off at 23.5 s, then again; 600 ms to settle; 2 g creep per load off.
const LifeCase kLifeCases[] = {
    {"empty at first", {}, 1400, 0.0, true},
    {"a load goes on", {}, 1600, 1.236, false},
    {"and settles", {}, 2100, 1.236, true},
    {"taken off it leaves the pan a little off", {}, 8100, 0.002, true},
    {"the next load", {}, 11100, 0.460, true},
    {"the third load", {}, 19100, 2.719, true},
    {"round again", {}, 25600, 1.242, true},
    {"tare on the load", {{2500, "T"}}, 2500, 0.0, true},
    {"the tare shows when the load goes", {{2500, "T"}}, 8100, -1.234, true},
    {"zero takes the creep", {{8500, "Z\r\n"}}, 8500, 0.0, true},
    {"and the next load weighs true", {{8500, "Z\r\n"}}, 11100, 0.458, true},
    {"a loaded pan is not zeroed", {{2500, "Z"}}, 2500, 1.236, true},
    {"a hand on the pan ends it", {{1000, {}, 0.7}}, 25600, 0.7, true},
    {"in calibration zero takes any load", {{1000, "g=9.7883\r\n"}, {2500, "Z"}}, 2500, 0.0, true},
};

TEST(ScaleModel, DemoLifeOverTime)
{
    for (const LifeCase& c : kLifeCases) {
        SCOPED_TRACE(c.name);
        ScaleModel model;
        model.StartLife(kStart);
        const TimePoint check = Replay(model, c.steps, c.checkMs);
        // At rest exactly; moving, only near it.
        EXPECT_NEAR(model.Net(check), c.net, c.stable ? 1e-9 : 0.01);
        EXPECT_EQ(model.IsStable(check), c.stable);
    }
}

TEST(ScaleModel, DemoSendsCalibrationLinesUntilPolled)
{
    ScaleModel quiet;
    quiet.Handle("g=9.7883\r\n", kStart);
    EXPECT_TRUE(SentByItself(quiet, 2000ms).empty()) << "only the demo plays the adjustment mode";

    ScaleModel model;
    model.StartLife(kStart);
    model.Handle("15,5\r\n", kStart);
    std::vector<ScaleModel::Reply> lines = SentByItself(model, 2400ms);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].bytes, "C 15\r\nF 5\r\nW   0.000\r\n");
    EXPECT_EQ(lines[1].due, kStart + 500ms);
    EXPECT_NE(lines[4].bytes.find("W   1.23"), Bytes::npos) << "the reading follows the load";
    EXPECT_EQ(Sent(model.Handle("R", kStart + 2500ms)).substr(0, 2), "ww") << "a poll gets its report";
    for (TimePoint t = kStart + 2500ms; t <= kStart + 4000ms; t += 10ms)
        EXPECT_TRUE(model.Tick(t).empty()) << "and ends the adjustment mode";
}

} // namespace
