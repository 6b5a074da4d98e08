// The Telnet codec and the RFC 2217 client as tables of bytes, and network port names.

#include "link/NetworkPortName.h"
#include "link/TelnetCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Telnet;
using namespace std::string_literals;

namespace {

std::string Verb(unsigned char verb, unsigned char option)
{
    return {char(kIac), char(verb), char(option)};
}

std::string ComPort(const std::string& payload)
{
    return "\xFF\xFA\x2C"s + payload + "\xFF\xF0"s;
}

struct DecodeCase {
    const char* name;
    std::string in;
    std::string data;
    std::vector<Command> commands;
};

TEST(TelnetDecoder, SameResultWhateverTheSplit)
{
    const std::string big(Decoder::kMaxPayload + 1, 'x');
    const std::vector<DecodeCase> cases = {
        {"nothing", "", "", {}},
        {"plain data", "\x01\x02S 1.5kg\x03\x04", "\x01\x02S 1.5kg\x03\x04", {}},
        {"doubled 0xFF is one data byte", "\x1B\x00\xFF\xFF"s, "\x1B\x00\xFF"s, {}},
        {"option verbs between data", "a" + Verb(kWill, 1) + "b" + Verb(kDont, 44), "ab",
         {{kWill, 1, ""}, {kDont, 44, ""}}},
        {"a subnegotiation with a doubled 0xFF", ComPort("\x65\x00\x00\x25\xFF\xFF"s) + "z", "z",
         {{kSb, 44, "\x65\x00\x00\x25\xFF"s}}},
        {"an oversized subnegotiation is dropped whole", ComPort(big) + "after", "after", {}},
        {"two-byte commands are dropped", "\xFF\xF1" "a\xFF\xF9" "b", "ab", {}},
        {"a command inside a subnegotiation ends it", "\xFF\xFA\x2C\x65\xFF\xFB\x01" "d", "d", {{kWill, 1, ""}}},
        {"0xFF 0xFF inside a subnegotiation after a split", ComPort("\x01\xFF\xFF"s), "", {{kSb, 44, "\x01\xFF"s}}},
    };
    for (const DecodeCase& c : cases) {
        // Whole, then cut in two at every point, then byte by byte.
        for (std::size_t cut = 0; cut <= c.in.size() + 1; ++cut) {
            Decoder decoder;
            std::string data;
            std::vector<Command> commands;
            if (cut <= c.in.size()) {
                decoder.Feed(std::string_view(c.in).substr(0, cut), data, commands);
                decoder.Feed(std::string_view(c.in).substr(cut), data, commands);
            } else {
                for (char byte : c.in)
                    decoder.Feed(std::string_view(&byte, 1), data, commands);
            }
            EXPECT_EQ(data, c.data) << c.name << ", cut at " << cut;
            EXPECT_EQ(commands, c.commands) << c.name << ", cut at " << cut;
        }
    }
}

TEST(TelnetEncoder, DoublesOnly0xFF)
{
    std::string out;
    AppendData(out, "\x1B\x00\xFF\xFE"s);
    EXPECT_EQ(out, "\x1B\x00\xFF\xFF\xFE"s);
}

TEST(ComPortClient, StartAsksForTheLineAsASerialPortIsSetUp)
{
    ComPortClient client;
    const std::string start = client.Start(9600);
    EXPECT_NE(start.find(Verb(kWill, kComPort)), std::string::npos);
    EXPECT_NE(start.find(Verb(kWill, kBinary) ), std::string::npos);
    EXPECT_NE(start.find(Verb(kDo, kBinary)), std::string::npos);
    EXPECT_NE(start.find(ComPort("\x01\x00\x00\x25\x80"s)), std::string::npos) << "9600 in network order";
    EXPECT_NE(start.find(ComPort("\x02\x08"s)), std::string::npos) << "8 data bits";
    EXPECT_NE(start.find(ComPort("\x03\x01"s)), std::string::npos) << "no parity";
    EXPECT_NE(start.find(ComPort("\x04\x01"s)), std::string::npos) << "one stop bit";
    EXPECT_NE(start.find(ComPort("\x05\x02"s)), std::string::npos) << "XON/XOFF out";
    EXPECT_NE(start.find(ComPort("\x05\x0F"s)), std::string::npos) << "XON/XOFF in";
    EXPECT_NE(start.find(ComPort("\x0C\x01"s)), std::string::npos) << "only the server's input purged";
    EXPECT_EQ(start.find(ComPort("\x0C\x03"s)), std::string::npos);
    // A rate with a 0xFF byte has it doubled inside the request.
    EXPECT_NE(ComPortClient().Start(0x1FF).find(ComPort("\x01\x00\x00\x01\xFF\xFF"s)), std::string::npos);
}

struct NegotiationCase {
    const char* name;
    std::string server;
    std::string reply;
};

TEST(ComPortClient, AnswersWhatItNeedsAndRefusesTheRest)
{
    const std::vector<NegotiationCase> cases = {
        {"answers to our own requests are taken silently",
         Verb(kDo, kComPort) + Verb(kDo, kBinary) + Verb(kWill, kBinary) + Verb(kWill, kSuppressGoAhead), ""},
        {"echo and other options are refused", Verb(kDo, 1) + Verb(kWill, 1) + Verb(kDo, 24),
         Verb(kWont, 1) + Verb(kDont, 1) + Verb(kWont, 24)},
        {"a request repeated for an agreed option is not answered again", Verb(kDo, kBinary) + Verb(kDo, kBinary), ""},
        {"an agreed option switched off is acknowledged once", Verb(kDo, kBinary) + Verb(kDont, kBinary) + Verb(kDont, kBinary),
         Verb(kWont, kBinary)},
        {"the server may not turn on its COM port side", Verb(kWill, kComPort), Verb(kDont, kComPort)},
        {"a refusal of what we asked needs no answer", Verb(kDont, kComPort) + Verb(kWont, kSuppressGoAhead), ""},
        {"a refused option asked for again is refused again", Verb(kDo, 1) + Verb(kDo, 1), Verb(kWont, 1) + Verb(kWont, 1)},
    };
    for (const NegotiationCase& c : cases) {
        ComPortClient client;
        client.Start(9600);
        std::string data, reply;
        client.Receive(c.server, data, reply);
        EXPECT_EQ(reply, c.reply) << c.name;
        EXPECT_EQ(data, "") << c.name;
    }
}

TEST(ComPortClient, LineCountsAsSetOnceTheServerConfirmsIt)
{
    const std::string rate = ComPort("\x65\x00\x00\x25\x80"s);
    const std::string size = ComPort("\x66\x08"s), parity = ComPort("\x67\x01"s), stop = ComPort("\x68\x01"s);
    ComPortClient client;
    client.Start(9600);
    std::string data, reply;
    client.Receive(size + parity, data, reply);
    EXPECT_FALSE(client.RateAnswered()) << "the first bytes wait for the rate";
    client.Receive(rate + ComPort("\x69\x02"s), data, reply);
    EXPECT_TRUE(client.RateAnswered());
    EXPECT_FALSE(client.LineConfirmed()) << "stop bits not confirmed yet";
    client.Receive(stop, data, reply);
    EXPECT_TRUE(client.LineConfirmed());
    EXPECT_TRUE(client.TakeNotes().empty());

    ComPortClient other;
    other.Start(9600);
    other.Receive(ComPort("\x65\x00\x00\x12\xC0"s) + ComPort("\x65\x00\x00\x12\xC0"s) + size + parity + stop, data, reply);
    EXPECT_FALSE(other.LineConfirmed()) << "the server kept 4800";
    EXPECT_TRUE(other.RateAnswered()) << "bytes go out at the rate it has";
    EXPECT_EQ(other.TakeNotes(), std::vector<std::string>{ComPortClient::kNoteOtherSettings}) << "noted once";

    ComPortClient plain;
    plain.Start(9600);
    plain.Receive(Verb(kDont, kComPort), data, reply);
    EXPECT_EQ(plain.TakeNotes(), std::vector<std::string>{ComPortClient::kNoteNoLineControl});
    EXPECT_TRUE(plain.RateAnswered()) << "a server without line control sets no rate";
    EXPECT_EQ(data, "");
}

TEST(NetworkPortName, ParsesTheNamesTechniciansUse)
{
    using NetworkPortName::Kind;
    struct Case {
        const char* name;
        bool ok;
        Kind kind;
        const char* host;
        int port;
    };
    const Case cases[] = {
        {"rfc2217://192.168.1.20:4001", true, Kind::Rfc2217, "192.168.1.20", 4001},
        {"socket://scale-3.shop.lan:23", true, Kind::Raw, "scale-3.shop.lan", 23},
        {"RFC2217://[fe80::1]:2217", true, Kind::Rfc2217, "fe80::1", 2217},
        {"socket://[::1]:65535", true, Kind::Raw, "::1", 65535},
        {"socket://::1:4001", false, Kind::Raw, "", 0},
        {"rfc2217://host", false, Kind::Rfc2217, "", 0},
        {"rfc2217://host:0", false, Kind::Rfc2217, "", 0},
        {"rfc2217://host:65536", false, Kind::Rfc2217, "", 0},
        {"rfc2217://:4001", false, Kind::Rfc2217, "", 0},
        {"rfc2217://host:40x1", false, Kind::Rfc2217, "", 0},
        {"socket://ho st:1", false, Kind::Raw, "", 0},
        {"/dev/ttyUSB0", false, Kind::Raw, "", 0},
        {"COM3", false, Kind::Raw, "", 0},
    };
    for (const Case& c : cases) {
        const auto address = NetworkPortName::Parse(c.name);
        ASSERT_EQ(address.has_value(), c.ok) << c.name;
        if (!c.ok)
            continue;
        EXPECT_EQ(address->kind, c.kind) << c.name;
        EXPECT_EQ(address->host, c.host) << c.name;
        EXPECT_EQ(address->port, c.port) << c.name;
        EXPECT_EQ(NetworkPortName::Parse(NetworkPortName::Format(*address)), address) << c.name;
    }
    EXPECT_EQ(NetworkPortName::OpenFailure("/dev/ttyUSB0", 0), "");
    EXPECT_EQ(NetworkPortName::OpenFailure("rfc2217://[::1]:4001", NetworkPortName::RefusedError()),
              "[::1]:4001 refused the connection");
}

} // namespace
