#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Telnet as a serial device server speaks it (RFC 854 framing, RFC 2217 line control), as pure
// functions over bytes: nothing here touches a socket or a clock, so every split of the server's
// bytes across reads can be tested and fuzzed.
namespace Telnet {

inline constexpr unsigned char kSe = 240;
inline constexpr unsigned char kSb = 250;
inline constexpr unsigned char kWill = 251;
inline constexpr unsigned char kWont = 252;
inline constexpr unsigned char kDo = 253;
inline constexpr unsigned char kDont = 254;
inline constexpr unsigned char kIac = 255;

inline constexpr unsigned char kBinary = 0;
inline constexpr unsigned char kSuppressGoAhead = 3;
inline constexpr unsigned char kComPort = 44;

// Appends `data` with every 0xFF doubled, as the serial line's bytes go out.
void AppendData(std::string& out, std::string_view data);

// One thing the server said besides data: an option verb (WILL, WONT, DO, DONT) with its option,
// or a subnegotiation (verb SB) with its option and payload, doubled 0xFF undone.
struct Command {
    unsigned char verb = 0;
    unsigned char option = 0;
    std::string payload;
    bool operator==(const Command&) const = default;
};

// Splits the server's bytes into the serial line's bytes and commands. Any split of the same bytes
// across Feed() calls gives the same result. A subnegotiation longer than kMaxPayload is dropped
// whole, so a server cannot grow the memory; other two-byte commands (NOP, GA, ...) are dropped.
class Decoder {
public:
    static constexpr std::size_t kMaxPayload = 64;

    void Feed(std::string_view in, std::string& data, std::vector<Command>& commands);

private:
    enum class State { Data, Iac, Option, SubOption, Sub, SubIac };
    State state_ = State::Data;
    unsigned char verb_ = 0;
    Command sub_;
    bool oversized_ = false;
};

// The client side of an RFC 2217 session: the options it asks for at the start, its answers to
// the server's negotiation (the options it needs agreed, every other one refused), and what the
// server confirmed of the line settings. It never waits: answers are returned to be sent, and the
// line counts as set once the server's confirmations have arrived, whenever that is.
class ComPortClient {
public:
    // The notes, fixed sentences so the window can put them in its language.
    static constexpr const char* kNoteNoLineControl = "The server does not take line settings: its own apply.";
    static constexpr const char* kNoteOtherSettings = "The server set the line other than asked.";
    static constexpr const char* kNoteUnconfirmed = "The server has not confirmed the line settings; the port is used as set.";

    // The bytes that open the session: BINARY and SUPPRESS-GO-AHEAD both ways, COM-PORT-OPTION,
    // the line at `baud` 8N1 with XON/XOFF both ways and DTR and RTS off, then what the scale sent
    // before purged.
    std::string Start(int baud);

    // Decodes the server's bytes: the serial line's bytes to `data`, answers to `reply`.
    void Receive(std::string_view in, std::string& data, std::string& reply);

    // Asks the server to drop what the scale sent and it has not forwarded yet.
    static std::string PurgeServerInput();

    // True once the server has confirmed the rate, data size, parity and stop bits as asked.
    bool LineConfirmed() const { return confirmed_ == kAllSettings; }
    // True once the server has answered the rate request (with any rate) or refused line control:
    // bytes written from then on leave at the rate the server has set. A server confirms a setting
    // once it applied it, and it may apply it after passing on bytes that followed the request.
    bool RateAnswered() const { return rateAnswered_; }
    // Notes for the line monitor (line control refused, a setting the server changed), oldest first;
    // taking them empties the list.
    std::vector<std::string> TakeNotes();

    // The reply codes of the settings the server confirms (RFC 2217: the request's code + 100).
    static constexpr unsigned char kServerOffset = 100;

private:
    static constexpr unsigned kAllSettings = 0xF;  // rate, data size, parity, stop bits

    void Negotiate(unsigned char verb, unsigned char option, std::string& reply);
    void Confirm(const std::string& payload);
    void Note(std::string text);

    Decoder decoder_;
    std::vector<Command> commands_;
    // Per option: ours agreed, ours asked for, the server's agreed, the server's asked for.
    std::bitset<256> ours_, oursAsked_, theirs_, theirsAsked_;
    std::uint32_t baud_ = 0;
    unsigned confirmed_ = 0;
    unsigned noted_ = 0;
    bool rateAnswered_ = false;
    std::vector<std::string> notes_;
};

} // namespace Telnet
