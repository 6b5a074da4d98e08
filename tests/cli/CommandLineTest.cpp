// The command line end to end against the virtual scale: what each action prints and sends, and
// the exit status of each kind of failure.

#include "cli/CommandLine.h"
#include "commodity/CommodityTable.h"
#include "commodity/CommodityUpload.h"
#include "support/ScaleLines.h"
#include "support/ScaleSetUp.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result Invoke(std::vector<std::string> args)
{
    args.insert(args.begin(), "scaletool-cli");
    std::ostringstream out, err;
    const int status = RunCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class CommandLineTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scale_.Start());
        scale_.SetSettlingTime(0ms);
        scale_.PlaceLoad(1.25);
    }
    std::vector<std::string> On(const std::string& series, std::vector<std::string> action) const
    {
        std::vector<std::string> args{"--port", scale_.PortPath(), "--series", series};
        args.insert(args.end(), action.begin(), action.end());
        return args;
    }

    VirtualScale scale_ = ScaleLines::ForThisRun();
    ScratchFolder folder_{"scaletool-cli"};
};

TEST_F(CommandLineTest, ReadPrintsOneJsonLinePerReading)
{
    struct Case {
        const char* series;
        std::regex line;
    };
    const Case cases[] = {
        {"zev", std::regex(R"(\{"time":"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z","net":"1\.250","stable":true\})")},
        {"rivav", std::regex(R"(\{"time":"[0-9T:.Z-]+","net":"1\.250","stable":true\})")},
        {"zud", std::regex(R"(\{"time":"[0-9T:.Z-]+","gross":"1\.250","tare":"0\.000","net":"1\.250"\})")},
    };
    for (const Case& c : cases) {
        const Result result = Invoke(On(c.series, {"--read", "--count", "3"}));
        EXPECT_EQ(result.status, kExitOk) << result.err;
        const auto lines = Lines(result.out);
        ASSERT_EQ(lines.size(), 3u) << c.series << ": " << result.out;
        for (const std::string& line : lines)
            EXPECT_TRUE(std::regex_match(line, c.line)) << c.series << ": " << line;
    }
}

TEST_F(CommandLineTest, ReadEndsWhenAZudScaleNeverPauses)
{
    std::atomic<bool> streaming{true};
    std::thread stream([&] {
        while (streaming) {
            scale_.SendRaw("ww      2.000");
            std::this_thread::sleep_for(5ms);
        }
    });
    auto read = std::async(std::launch::async, [&] { return Invoke(On("zud", {"--read", "--count", "2"})); });
    const bool ended = read.wait_for(10s) == std::future_status::ready;
    streaming = false;
    stream.join();
    const Result result = read.get();
    EXPECT_TRUE(ended) << "the reading did not end while the scale kept sending";
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(Lines(result.out).size(), 2u) << result.out;
}

TEST_F(CommandLineTest, UploadSendsTheCompanyNameAndTheGoodRowsOfACsvFile)
{
    const std::string csv = folder_.Write("shop.CSV", "\xEF\xBB\xBFNo.;Code;Product Name;Price\r\n"
                                                      "1;A01;苹果;3.50\r\n0;BAD;bad;1\r\n200;Z;\"x;y\";\r\n");
    const Result refused = Invoke(On("zud", {"--upload", csv}));
    EXPECT_EQ(refused.status, kExitFile);
    EXPECT_NE(refused.err.find(":3: No. \"0\""), std::string::npos) << refused.err;
    EXPECT_EQ(scale_.Received(), "") << "nothing is sent before the file is good";

    const Result result = Invoke(On("zud", {"--upload", csv, "--company", "鲜果店", "--skip-bad-rows"}));
    ASSERT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(result.out.empty()) << "standard output stays for results";
    ASSERT_TRUE(scale_.WaitForCommands(203, 3s));
    EXPECT_EQ(scale_.CompanyName(), "\xCF\xCA\xB9\xFB\xB5\xEA");
    const auto lines = scale_.UploadedLines();
    ASSERT_EQ(lines.size(), 200u);
    EXPECT_EQ(lines.front(), "1[A01]<\xC6\xBB\xB9\xFB>");
    EXPECT_EQ(lines[1], "2[]<>");
    EXPECT_EQ(lines.back(), "200[Z]<x;y>");
}

// A scale that holds the line while it writes its memory: the upload waits and ends whole, or, held
// past the bound, fails with exit 4; never exit 0 with less than the block.
TEST_F(CommandLineTest, UploadWaitsForAHeldLineAndNeverClaimsMore)
{
    if (!ScaleLines::HoldsBeforeOpen(scale_))
        GTEST_SKIP() << (ScaleLines::CarriesFlowControl(scale_) ? ScaleLines::kNoHoldBeforeOpen : ScaleLines::kNoFlowControl);
    struct Case {
        std::chrono::milliseconds hold;
        int status;
        const char* said;
    };
    const std::string file = folder_.Write("ZEV.txt", "1,A1,Apple,2.50\r\n");
    for (const Case& c : {Case{500ms, kExitOk, "done: 202 writes sent"}, Case{3s, kExitOk, "holds the line"},
                          Case{60s, kExitNoAnswer, "the scale stopped taking data"}}) {
        scale_.ClearReceived();
        scale_.HoldLine(0, c.hold);
        std::this_thread::sleep_for(50ms);
        const Result result = Invoke(On("zev", {"--upload", file}));
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
        if (c.status == kExitOk) {
            EXPECT_TRUE(scale_.WaitForCommands(202, 3s));
            EXPECT_EQ(scale_.UploadedLines().size(), 200u);
        } else {
            scale_.SendRaw("\x11");
        }
    }
}

TEST_F(CommandLineTest, UploadOfACommodityFileSendsTheBlockOfItsTable)
{
    const std::string file = folder_.Write("ZEV.txt", "1,A1,Apple,2.50\r\n200,Z9,Pear,\r\n");
    const Result result = Invoke(On("zev", {"--upload", file}));
    ASSERT_EQ(result.status, kExitOk) << result.err;
    ASSERT_TRUE(scale_.WaitForCommands(202, 3s));
    CommodityTable table;
    table.SetCell(0, CommodityTable::Code, "A1");
    table.SetCell(0, CommodityTable::Name, "Apple");
    table.SetCell(0, CommodityTable::Price, "2.50");
    table.SetCell(199, CommodityTable::Code, "Z9");
    table.SetCell(199, CommodityTable::Name, "Pear");
    std::string expected;
    for (const Bytes& write : UploadBlock(table, ScaleSeries::Zev))
        expected += write;
    EXPECT_EQ(scale_.Received(), expected);
}

TEST_F(CommandLineTest, DumpPrintsTheParameterDump)
{
    scale_.SetParameterDump("parameter\r\nDIV=5g\r\nend\r\n");
    const Result result = Invoke(On("rivav", {"--dump"}));
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(result.out, "parameter\r\nDIV=5g\r\nend\n");
}

TEST_F(CommandLineTest, EachFailureHasItsOwnStatusAndOneLine)
{
    const std::string good = folder_.Write("ok.csv", "1,A,a,1\n");
    struct Case {
        const char* what;
        std::vector<std::string> args;
        bool silent;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"no action", On("zev", {}), false, kExitUsage, "no action given"},
        {"two actions", On("zev", {"--read", "--dump"}), false, kExitUsage, "one action"},
        {"unknown option", On("zev", {"--reed"}), false, kExitUsage, "unknown argument \"--reed\""},
        {"bad series", {"--port", "x", "--series", "abc", "--dump"}, false, kExitUsage, "--series takes"},
        {"company for a framed series", On("zev", {"--upload", good, "--company", "A"}), false, kExitUsage,
         "only the zud series"},
        {"count of 0", On("zev", {"--read", "--count", "0"}), false, kExitUsage, "--count takes"},
        {"two ports for a reading", On("zev", {"--port", "/dev/other", "--read"}), false, kExitUsage,
         "several --port go with --upload and --find only"},
        {"a list and a port", On("zev", {"--scales", good, "--upload", good}), false, kExitUsage,
         "give --port or --scales, not both"},
        {"a list with one rate for all", {"--scales", good, "--baud", "4800", "--upload", good}, false, kExitUsage,
         "--baud does not go with --upload --scales"},
        {"a list for a reading", {"--scales", good, "--read"}, false, kExitUsage, "--scales goes with --upload and --find only"},
        {"company outside GBK", On("zud", {"--upload", good, "--company", "😀"}), false, kExitUsage, "U+1F600"},
        {"missing port", {"--port", "/dev/no-such-port", "--series", "zev", "--read"}, false, kExitPort,
         "cannot open port /dev/no-such-port"},
        {"refused network port", {"--port", "rfc2217://127.0.0.1:1", "--series", "zev", "--read"}, false, kExitPort,
         "cannot open port rfc2217://127.0.0.1:1: 127.0.0.1:1 refused the connection"},
        {"network port without a port number", {"--port", "socket://10.0.0.5", "--series", "zev", "--read"}, false,
         kExitPort, "not a network port name"},
        {"missing file", On("zev", {"--upload", "/nonexistent/ZEV.txt"}), false, kExitFile, "cannot read"},
        {"file without commodities", On("zev", {"--upload", folder_.Write("empty.txt", "5,,\r\n")}), false, kExitFile,
         "holds no commodities"},
        {"silent scale, reading", On("zev", {"--read", "--count", "1"}), true, kExitNoAnswer, "no answer"},
        {"silent scale, dump", On("zud", {"--dump"}), true, kExitNoAnswer, "no answer"},
    };
    for (const Case& c : cases) {
        scale_.SetSilent(c.silent);
        const Result result = Invoke(c.args);
        EXPECT_EQ(result.status, c.status) << c.what << ": " << result.err;
        // Progress may come first; the failure is the one last line.
        const auto lines = Lines(result.err);
        ASSERT_FALSE(lines.empty()) << c.what;
        EXPECT_NE(lines.back().find(c.message), std::string::npos) << c.what << ": " << result.err;
        EXPECT_EQ(result.err.find(c.message), result.err.rfind(c.message)) << c.what << ": " << result.err;
        EXPECT_EQ(result.out, "") << c.what;
    }
}

TEST_F(CommandLineTest, EdgesRefuseWhatCannotGoOutWholeAndSendNothing)
{
    const std::string good = folder_.Write("ok.csv", "1,A,a,1\n");
    const std::string chinese = folder_.Write("cn.csv", "1,A1,苹果,1\n");
    const std::string semicolons = folder_.Write("ZUD.txt", "1,A1,Apple,1\r\n2;B2;Pear;2\r\n\r\n3,C3,Fig\r\n");
    const std::string utf8 = folder_.Write("utf8.txt", "1,A1,苹果,1\r\n");
    std::string longName;
    for (int i = 0; i < 51; ++i)
        longName += "鲜";  // 102 GBK bytes
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int status;
        const char* message;                          // in standard error
        std::vector<std::string> printed = {};             // standard output, line by line
        std::function<void(VirtualScale&)> meanwhile = {}; // done to the scale 300 ms after the start
    };
    const std::string fullName = longName.substr(0, 150);  // 50 characters, 100 bytes
    // A list whose first scale is the virtual one: a fault further down sends it nothing either.
    const auto list = [&](const std::string& file, const std::string& second) {
        return folder_.Write(file, "[Scale1]\r\nName=Till\r\nPort=" + scale_.PortPath()
                                       + "\r\nBaud=9600\r\nSeries=zud\r\n[Scale2]\r\n" + second);
    };
    const std::string twice = "twice.ini [Scale2]: Port " + scale_.PortPath() + " is already in the list";
    const Case cases[] = {
        {"a list with a bad rate", {"--scales", list("bad.ini", "Name=B\r\nPort=COM2\r\nBaud=fast\r\nSeries=zud\r\n"),
         "--upload", good}, kExitUsage, "--scales: bad.ini [Scale2]: Baud \"fast\" is not a number"},
        {"a list with a port twice", {"--scales", list("twice.ini", "Name=B\r\nPort=" + scale_.PortPath()
         + "\r\nBaud=9600\r\nSeries=zev\r\n"), "--upload", good}, kExitUsage, twice.c_str()},
        {"a list with a rivav scale", {"--scales", list("rivav.ini", "Name=B\r\nPort=COM2\r\nBaud=9600\r\nSeries=rivav\r\n"),
         "--upload", good}, kExitUsage, "the scale on COM2 is of the rivav series, which keeps no commodities"},
        {"a list saved as UTF-8", {"--scales", list("utf8.ini", "Name=熟食\r\nPort=COM2\r\nBaud=9600\r\nSeries=zev\r\n"),
         "--upload", good}, kExitUsage, "the scale on COM2: Name is not GBK text"},
        {"a missing list", {"--scales", "/nonexistent/Scales.ini", "--upload", good}, kExitUsage,
         "--scales: cannot read /nonexistent/Scales.ini: no such file"},
        {"a line break in the company name", On("zud", {"--upload", good, "--company", "Shop\r\nbaud:2400"}),
         kExitUsage, "\"Shop\\x0D\\x0Abaud:2400\" holds a line break"},
        {"a control byte in the company name", On("zud", {"--upload", good, "--company", "A\x01"}), kExitUsage,
         "control character"},
        {"a company name over 100 bytes", On("zud", {"--upload", good, "--company", longName}), kExitUsage,
         "the name is 102 GBK bytes; the scale takes at most 100"},
        {"UTF-8 in a commodity file", On("zud", {"--upload", utf8}), kExitFile, "it is UTF-8 text"},
        {"a skipped line of a commodity file is named", On("zud", {"--upload", semicolons}), kExitFile,
         "ZUD.txt:2: 1 field(s)"},
        {"a folder as the file", On("zud", {"--upload", folder_.Path().string()}), kExitFile, "it is a folder"},
        {"--encoding is for CSV files", On("zud", {"--upload", semicolons, "--encoding", "gbk"}), kExitUsage,
         "--encoding goes with a .csv file"},
        {"the dump says it switches the postback off", On("zud", {"--dump"}), kExitNoAnswer,
         "switches the scale's active postback off"},
        {"the cable pulled while reading", On("zev", {"--read"}), kExitNoAnswer, "lost port",
         {}, [](VirtualScale& scale) { scale.Unplug(); }},
        {"a dry run prints the lines and needs no port",
         {"--series", "zud", "--upload", chinese, "--company", fullName, "--dry-run"}, kExitOk, "nothing was sent",
         {"Co." + fullName, "plu", "1[A1]<苹果>", "2[]<>"}},
        {"a dry run of the other reading", {"--series", "zev", "--upload", chinese, "--encoding", "gbk", "--dry-run"},
         kExitOk, "nothing was sent", {"plu", "1[A1]<鑻规灉>1"}},
        {"a dry run of a commodity file's good lines", {"--series", "zev", "--upload", semicolons, "--dry-run",
         "--skip-bad-rows"}, kExitOk, "skipping 1 row(s)", {"plu", "1[A1]<Apple>1", "2[]<>", "3[C3]<Fig>"}},
    };
    for (const Case& c : cases) {
        scale_.SetSilent(c.meanwhile == nullptr && c.status == kExitNoAnswer);
        auto run = std::async(std::launch::async, [&] { return Invoke(c.args); });
        if (c.meanwhile) {
            std::this_thread::sleep_for(300ms);
            c.meanwhile(scale_);
        }
        ASSERT_EQ(run.wait_for(10s), std::future_status::ready) << c.what;
        const Result result = run.get();
        EXPECT_EQ(result.status, c.status) << c.what << ": " << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << c.what << ": " << result.err;
        // A dry run's first lines; nothing of an upload anywhere else.
        const auto lines = Lines(result.out);
        EXPECT_TRUE(lines.size() >= c.printed.size() && std::equal(c.printed.begin(), c.printed.end(), lines.begin()))
            << c.what << ": " << result.out;
        if (c.printed.empty()) {
            EXPECT_EQ(result.out.find("plu"), std::string::npos) << c.what;
        }
        if (c.meanwhile) {
            ASSERT_TRUE(scale_.PlugIn());
        } else if (c.args.size() < 2 || c.args[0] != "--port" || c.status != kExitNoAnswer) {
            EXPECT_EQ(scale_.Received(), "") << c.what << ": nothing is sent";
        }
        scale_.ClearReceived();
    }
}

TEST_F(CommandLineTest, FindPrintsTheScaleAtItsRateAndSeries)
{
    if (!ScaleLines::CarriesRate(scale_))
        GTEST_SKIP() << ScaleLines::kNoRate;
    VirtualScale other;
    ScaleSetUp::Answering(other, 38400, ScaleSeries::Zud, 2.5);
    ASSERT_TRUE(other.Start());
    const Result found = Invoke({"--find", "--port", other.PortPath()});
    EXPECT_EQ(found.status, kExitOk) << found.err;
    EXPECT_EQ(found.out, "{\"port\":\"" + other.PortPath()
                             + "\",\"name\":\"\",\"baud\":38400,\"series\":\"zud\",\"report\":\"zud-13\",\"weight\":\"2.500\"}\n");
    // A list's ports are tried alike, each found scale under its name; the list's rate is no limit.
    const std::string list = folder_.Write("Scales.ini", "[Scale1]\r\nName=Till\r\nPort=/dev/no-such-serial-port\r\nBaud=9600\r\n"
        "Series=zev\r\n[Scale2]\r\nName=\xca\xec\xca\xb3\r\nPort=" + other.PortPath() + "\r\nBaud=9600\r\nSeries=zev\r\n");
    const Result listed = Invoke({"--find", "--scales", list});
    EXPECT_EQ(listed.status, kExitOk) << listed.err;
    EXPECT_EQ(listed.out, "{\"port\":\"" + other.PortPath()
                              + "\",\"name\":\"熟食\",\"baud\":38400,\"series\":\"zud\",\"report\":\"zud-13\",\"weight\":\"2.500\"}\n");
    EXPECT_NE(listed.err.find("/dev/no-such-serial-port: cannot be opened"), std::string::npos) << listed.err;

    const Result missing = Invoke({"--find", "--port", "/dev/no-such-serial-port"});
    EXPECT_EQ(missing.status, kExitNoAnswer);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("/dev/no-such-serial-port: cannot be opened"), std::string::npos) << missing.err;
}

// --baud and --series narrow the search: only that rate, only that series' poll, rivav only listens.
TEST_F(CommandLineTest, FindTriesOnlyTheRateAndSeriesGiven)
{
    if (!ScaleLines::CarriesRate(scale_))
        GTEST_SKIP() << ScaleLines::kNoRate;
    VirtualScale zud;
    ScaleSetUp::Answering(zud, 38400, ScaleSeries::Zud, 2.5);
    ASSERT_TRUE(zud.Start());
    struct Case {
        std::vector<std::string> narrowing;
        int status;
        const char* sent;  // every byte the scale received
        int tries;
    };
    const Case cases[] = {
        {{"--baud", "38400"}, kExitOk, "R", 1},
        {{"--baud", "9600"}, kExitNoAnswer, "R\x11", 1},
        {{"--series", "zud", "--baud", "38400"}, kExitOk, "R", 1},
        {{"--series", "zev", "--baud", "38400"}, kExitNoAnswer, "\x11", 1},
        {{"--series", "rivav"}, kExitNoAnswer, "", 7},
    };
    for (const Case& c : cases) {
        zud.ClearReceived();
        std::vector<std::string> args{"--find", "--port", zud.PortPath()};
        args.insert(args.end(), c.narrowing.begin(), c.narrowing.end());
        const Result result = Invoke(args);
        const std::string what = c.narrowing[0] + " " + c.narrowing[1];
        EXPECT_EQ(result.status, c.status) << what << ": " << result.err;
        EXPECT_EQ(result.out.empty(), c.status != kExitOk) << what;
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(zud.Received(), c.sent) << what;
        const auto lines = Lines(result.err);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("trying", 0) == 0; }),
                  c.tries) << what << ": " << result.err;
    }
}

// Three scales at once, one unplugged mid-upload: the other two get exactly the single upload's
// bytes, the third is reported; one JSON line each, progress led by the port, exit 4. Named by
// --port (one rate and series for all) or by a list file: then each has its own rate, series and
// name, and only the zud scale gets the company name.
class UploadToSeveral : public CommandLineTest, public testing::WithParamInterface<bool> {};

TEST_P(UploadToSeveral, ReportsEachScale)
{
    if (!ScaleLines::HoldsBeforeOpen(scale_))
        GTEST_SKIP() << (ScaleLines::CarriesFlowControl(scale_) ? ScaleLines::kNoHoldBeforeOpen : ScaleLines::kNoFlowControl);
    const bool fromList = GetParam();
    std::string csv;
    for (int row = 1; row <= 200; ++row)
        csv += std::to_string(row) + ",C" + std::to_string(row) + ",Apples from the orchard,2.50\n";
    const std::string file = folder_.Write("shop.csv", csv);
    const auto singleUpload = [&](std::vector<std::string> args, std::size_t writes) {
        const std::string single = Invoke(args).err;
        EXPECT_NE(single.find("done: " + std::to_string(writes) + " writes sent"), std::string::npos) << single;
        EXPECT_TRUE(scale_.WaitForCommands(writes, 3s));
        const Bytes sent = scale_.Received();
        scale_.ClearReceived();
        return sent;
    };
    const Bytes zev = singleUpload(On("zev", {"--upload", file}), 202);
    const Bytes zud = singleUpload(On("zud", {"--upload", file, "--company", "Shop"}), 203);

    struct Listed {
        int baud;
        const char* series;
        const char* gbkName;
        const char* name;  // in the JSON line
        const Bytes* expected;
        std::size_t writes;
    };
    const Listed listed[3] = {{38400, "zev", "Deli", "Deli", &zev, 202},
                              {38400, "zev", "\xca\xec\xca\xb3", "熟食", &zev, 202},
                              {19200, "zud", "\xb3\xd3 \xd2\xbb\xba\xc5", "秤 一号", &zud, 203}};
    VirtualScale scales[3] = {ScaleLines::ForThisRun(), ScaleLines::ForThisRun(), ScaleLines::ForThisRun()};
    std::vector<std::string> args{"--upload", file};
    std::string list;
    for (int i = 0; i < 3; ++i) {
        scales[i].SetBaudRate(fromList ? listed[i].baud : 38400);
        ASSERT_TRUE(scales[i].Start());
        list += "[Scale" + std::to_string(i + 1) + "]\r\nName=" + listed[i].gbkName + "\r\nPort=" + scales[i].PortPath()
            + "\r\nBaud=" + std::to_string(listed[i].baud) + "\r\nSeries=" + listed[i].series + "\r\n";
        if (!fromList)
            args.insert(args.end(), {"--port", scales[i].PortPath()});
    }
    if (fromList)
        args.insert(args.end(), {"--scales", folder_.Write("Scales.ini", list), "--company", "Shop"});
    else
        args.insert(args.end(), {"--series", "zev", "--baud", "38400"});
    // The second holds the line (a pseudo-terminal takes kilobytes at once, so it holds from the
    // start) and is unplugged while the upload waits on it.
    scales[1].HoldLine(0, 60s);
    const std::string lost = scales[1].PortPath();
    std::this_thread::sleep_for(50ms);
    auto run = std::async(std::launch::async, [&] { return Invoke(args); });
    std::this_thread::sleep_for(400ms);
    scales[1].Unplug();
    ASSERT_EQ(run.wait_for(10s), std::future_status::ready);
    const Result result = run.get();

    EXPECT_EQ(result.status, kExitNoAnswer) << result.err;
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 3u) << result.out;
    for (int i : {0, 2}) {
        const VirtualScale& scale = scales[i];
        const std::size_t writes = fromList ? listed[i].writes : 202;
        const std::regex done("\\{\"port\":\"" + scale.PortPath() + "\",\"name\":\"" + (fromList ? listed[i].name : "")
                              + "\",\"result\":\"done\",\"reason\":\"\",\"lines\":" + std::to_string(writes)
                              + ",\"seconds\":[0-9.]+\\}");
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return std::regex_match(l, done); }), 1)
            << result.out;
        EXPECT_TRUE(scale.WaitForCommands(writes, 3s));
        EXPECT_EQ(scale.Received(), fromList ? *listed[i].expected : zev) << i;
        EXPECT_NE(result.err.find(scale.PortPath() + ": done: " + std::to_string(writes) + " writes sent"), std::string::npos)
            << result.err;
    }
    const auto failed = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(lost) != std::string::npos; });
    ASSERT_NE(failed, lines.end());
    EXPECT_NE(failed->find(std::string("\"name\":\"") + (fromList ? "熟食" : "")
                           + "\",\"result\":\"failed\",\"reason\":\"the scale did not take the upload: line "),
              std::string::npos)
        << *failed;
    EXPECT_NE(result.err.find(lost + ": the scale did not take the upload"), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(PortsOrList, UploadToSeveral, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "List" : "Ports"; });

TEST(CommandLine, HelpAndVersion)
{
    const Result help = Invoke({"--help"});
    EXPECT_EQ(help.status, kExitOk);
    for (const char* action : {"--list-ports", "--upload FILE", "--read", "--count N", "--dump", "--company NAME", "--scales LIST"})
        EXPECT_NE(help.out.find(action), std::string::npos) << action;
    const Result version = Invoke({"--version"});
    EXPECT_EQ(version.status, kExitOk);
    EXPECT_EQ(version.out, "ScaleTool " SCALETOOL_EXPECTED_VERSION "\n");

    EXPECT_TRUE(IsCommandLineRequest({"ScaleTool", "--upload=x.csv"}));
    EXPECT_TRUE(IsCommandLineRequest({"ScaleTool", "-platform", "offscreen", "--version"}));
    EXPECT_FALSE(IsCommandLineRequest({"ScaleTool", "-platform", "offscreen"}));
    EXPECT_FALSE(IsCommandLineRequest({"ScaleTool"}));
}

} // namespace
