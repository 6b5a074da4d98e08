// The Telnet codec on any bytes, in any split across reads. Decoding what the encoder made gives the
// bytes back with no commands; decoding anything gives the same data and commands whatever the
// split, never more data than bytes, and payloads within their bound; the RFC 2217 client's
// answers stay in proportion to what it was sent.
#include "FuzzCheck.h"

#include "link/TelnetCodec.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Feeds `in` in pieces whose lengths cycle through `cuts` (each 1..16).
void FeedSplit(Telnet::Decoder& decoder, std::string_view in, std::string_view cuts, std::string& data,
               std::vector<Telnet::Command>& commands)
{
    std::size_t at = 0;
    for (std::size_t i = 0; at < in.size(); ++i) {
        const std::size_t piece = cuts.empty() ? in.size() : 1 + static_cast<unsigned char>(cuts[i % cuts.size()]) % 16;
        decoder.Feed(in.substr(at, piece), data, commands);
        at += piece;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(bytes), size);
    // The first few bytes choose the split; the rest is the stream.
    const std::size_t cutCount = size == 0 ? 0 : static_cast<unsigned char>(input[0]) % 8;
    const std::string_view cuts = input.substr(std::min<std::size_t>(1, size), std::min(cutCount, size > 0 ? size - 1 : 0));
    const std::string_view stream = input.substr(std::min(size, 1 + cuts.size()));

    std::string encoded;
    Telnet::AppendData(encoded, stream);
    Telnet::Decoder roundTrip;
    std::string back;
    std::vector<Telnet::Command> none;
    FeedSplit(roundTrip, encoded, cuts, back, none);
    FUZZ_REQUIRE(back == stream);
    FUZZ_REQUIRE(none.empty());

    Telnet::Decoder whole, split;
    std::string wholeData, splitData;
    std::vector<Telnet::Command> wholeCommands, splitCommands;
    whole.Feed(stream, wholeData, wholeCommands);
    FeedSplit(split, stream, cuts, splitData, splitCommands);
    FUZZ_REQUIRE(wholeData == splitData);
    FUZZ_REQUIRE(wholeCommands == splitCommands);
    FUZZ_REQUIRE(wholeData.size() <= stream.size());
    for (const Telnet::Command& command : wholeCommands)
        FUZZ_REQUIRE(command.payload.size() <= Telnet::Decoder::kMaxPayload);

    Telnet::ComPortClient client;
    client.Start(9600);
    std::string data, reply;
    client.Receive(stream, data, reply);
    FUZZ_REQUIRE(data == wholeData);
    FUZZ_REQUIRE(reply.size() <= 3 * wholeCommands.size());
    FUZZ_REQUIRE(client.TakeNotes().size() <= 8);
    return 0;
}
