// The virtual scale on raw TCP (scale-sim --tcp): the tool's network port reaches it, and a second
// client gets the line once the first has gone.

#include "link/SerialLink.h"
#include "sim/TcpBridge.h"
#include "sim/VirtualScale.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

using namespace SerialLink;
using namespace std::chrono_literals;

TEST(TcpBridge, ToolReachesTheScaleOverRawTcp)
{
    VirtualScale scale;
    ASSERT_TRUE(scale.Start());
    scale.SetSettlingTime(0ms);
    scale.PlaceLoad(3.5);
    TcpBridge bridge([&scale] { return scale.PortPath(); }, scale.BaudRate());
    ASSERT_TRUE(bridge.Listen(0));
    const std::string name = "socket://127.0.0.1:" + std::to_string(bridge.Port());
    for (int client = 0; client < 2; ++client) {
        PortHandle port;
        ASSERT_EQ(OpenSerialPort(name, port, 2400), 1) << client;
        scale.ClearReceived();
        ASSERT_EQ(WriteBytes(port, "\x11", 1), 1);
        std::string report(15, '\0');
        ASSERT_EQ(ReadBytes(port, report.data(), 15, 1000), 15) << client;
        EXPECT_NE(report.find("3.5"), std::string::npos) << report;
        ASSERT_TRUE(scale.WaitForReceived(1, 1s));
        EXPECT_EQ(scale.Received(), "\x11") << "raw TCP adds nothing";
    }
}
