// The upload to one scale as the command line and the window's several scales send it: company
// line, block and drain, cut short by a cancel or a port that is not there.
#include "commodity/CommodityUpload.h"
#include "link/SerialLink.h"
#include "sim/VirtualScale.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

struct UploadCase {
    const char* what;
    bool open;
    Bytes company;
    int cancelAfter;  // writes gone out before the cancel; -1 never
    UploadOutcome::End end;
    std::size_t sent;
    Bytes received;
};

void PrintTo(const UploadCase& c, std::ostream* os) { *os << c.what; }

const std::vector<Bytes> kBlock = {"plu\r\n", "1[A1]<Apple>\r\n", "2[B2]<Pear>\r\n", "end\r\n"};

class SendUploadCase : public testing::TestWithParam<UploadCase> {};

TEST_P(SendUploadCase, EndsAsTheScaleGotIt)
{
    const UploadCase& c = GetParam();
    VirtualScale scale;
    ASSERT_TRUE(scale.Start());
    SerialLink::PortHandle port;
    if (c.open)
        ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, 9600), 1);
    std::size_t gone = 0;
    UploadWatch watch;
    watch.cancelled = [&] { return c.cancelAfter >= 0 && gone >= std::size_t(c.cancelAfter); };
    watch.progress = [&](std::size_t sent) { gone = sent; };
    const UploadOutcome outcome = SendUpload(port, c.company, kBlock, watch);
    EXPECT_EQ(outcome.end, c.end);
    EXPECT_EQ(outcome.done, c.end == UploadOutcome::End::Done);
    EXPECT_EQ(outcome.reason.empty(), outcome.done) << outcome.reason;
    EXPECT_EQ(outcome.sent, c.sent);
    EXPECT_EQ(gone, c.sent);
    scale.WaitForReceived(c.received.size(), std::chrono::seconds(2));
    EXPECT_EQ(scale.Received(), c.received);
}

const Bytes kAll = "plu\r\n1[A1]<Apple>\r\n2[B2]<Pear>\r\nend\r\n";

INSTANTIATE_TEST_SUITE_P(Cases, SendUploadCase, testing::Values(
    UploadCase{"whole, company line first", true, "Co.Shop\r\n", -1, UploadOutcome::End::Done, 5, "Co.Shop\r\n" + kAll},
    UploadCase{"whole, no company line", true, "", -1, UploadOutcome::End::Done, 4, kAll},
    UploadCase{"cancelled before the first write", true, "Co.Shop\r\n", 0, UploadOutcome::End::Cancelled, 0, ""},
    UploadCase{"cancelled after the company line", true, "Co.Shop\r\n", 1, UploadOutcome::End::Cancelled, 1,
               "Co.Shop\r\n"},
    UploadCase{"cancelled inside the block: its last line still goes", true, "", 2, UploadOutcome::End::Cancelled, 3,
               "plu\r\n1[A1]<Apple>\r\nend\r\n"},
    UploadCase{"no port: the company line does not go out", false, "Co.Shop\r\n", -1,
               UploadOutcome::End::CompanyName, 0, ""},
    UploadCase{"no port: the first line does not go out", false, "", -1, UploadOutcome::End::Line, 0, ""}));

} // namespace
