#include "link/TelnetCodec.h"

#include <algorithm>
#include <utility>

namespace Telnet {

namespace {

// RFC 2217 client requests.
constexpr unsigned char kSetBaudRate = 1;
constexpr unsigned char kSetDataSize = 2;
constexpr unsigned char kSetParity = 3;
constexpr unsigned char kSetStopSize = 4;
constexpr unsigned char kSetControl = 5;
constexpr unsigned char kPurgeData = 12;

constexpr unsigned char kParityNone = 1;
constexpr unsigned char kOneStopBit = 1;
constexpr unsigned char kOutboundXonXoff = 2;
constexpr unsigned char kDtrOff = 9;
constexpr unsigned char kRtsOff = 12;
constexpr unsigned char kInboundXonXoff = 15;
constexpr unsigned char kPurgeServerReceive = 1;

// More notes than this waiting unread are a server repeating itself: the rest are dropped.
constexpr std::size_t kMaxNotes = 8;

bool Wanted(unsigned char option, bool ours)
{
    return option == kBinary || option == kSuppressGoAhead || (ours && option == kComPort);
}

void AppendVerb(std::string& out, unsigned char verb, unsigned char option)
{
    out += char(kIac);
    out += char(verb);
    out += char(option);
}

std::string ComPortRequest(std::string_view payload)
{
    std::string out{char(kIac), char(kSb), char(kComPort)};
    AppendData(out, payload);
    out += char(kIac);
    out += char(kSe);
    return out;
}

std::string ComPortRequest(unsigned char code, unsigned char value)
{
    const char payload[] = {char(code), char(value)};
    return ComPortRequest(std::string_view(payload, 2));
}

} // namespace

void AppendData(std::string& out, std::string_view data)
{
    for (char c : data) {
        out += c;
        if (static_cast<unsigned char>(c) == kIac)
            out += c;
    }
}

void Decoder::Feed(std::string_view in, std::string& data, std::vector<Command>& commands)
{
    for (char c : in) {
        const auto byte = static_cast<unsigned char>(c);
        switch (state_) {
        case State::Data:
            if (byte == kIac)
                state_ = State::Iac;
            else
                data += c;
            break;
        case State::Iac:
            if (byte == kIac) {
                data += c;
                state_ = State::Data;
            } else if (byte == kSb) {
                state_ = State::SubOption;
            } else if (byte >= kWill) {
                verb_ = byte;
                state_ = State::Option;
            } else {
                state_ = State::Data;  // a two-byte command: nothing a serial line needs
            }
            break;
        case State::Option:
            commands.push_back(Command{verb_, byte, {}});
            state_ = State::Data;
            break;
        case State::SubOption:
            sub_ = Command{kSb, byte, {}};
            oversized_ = false;
            state_ = State::Sub;
            break;
        case State::Sub:
            if (byte == kIac) {
                state_ = State::SubIac;
            } else if (sub_.payload.size() < kMaxPayload) {
                sub_.payload += c;
            } else {
                oversized_ = true;
            }
            break;
        case State::SubIac:
            if (byte == kIac) {
                if (sub_.payload.size() < kMaxPayload)
                    sub_.payload += c;
                else
                    oversized_ = true;
                state_ = State::Sub;
            } else if (byte == kSe) {
                if (!oversized_)
                    commands.push_back(std::move(sub_));
                sub_ = Command{};
                state_ = State::Data;
            } else {
                // A command inside an unfinished subnegotiation ends it unheard; the command counts.
                sub_ = Command{};
                state_ = State::Iac;
                const char again = c;
                Feed(std::string_view(&again, 1), data, commands);
            }
            break;
        }
    }
}

std::string ComPortClient::Start(int baud)
{
    baud_ = std::uint32_t(std::max(baud, 0));
    std::string out;
    for (unsigned char option : {kBinary, kSuppressGoAhead, kComPort}) {
        AppendVerb(out, kWill, option);
        oursAsked_.set(option);
    }
    for (unsigned char option : {kBinary, kSuppressGoAhead}) {
        AppendVerb(out, kDo, option);
        theirsAsked_.set(option);
    }
    const char rate[] = {char(kSetBaudRate), char(baud_ >> 24), char(baud_ >> 16), char(baud_ >> 8), char(baud_)};
    out += ComPortRequest(std::string_view(rate, sizeof rate));
    out += ComPortRequest(kSetDataSize, 8);
    out += ComPortRequest(kSetParity, kParityNone);
    out += ComPortRequest(kSetStopSize, kOneStopBit);
    out += ComPortRequest(kSetControl, kOutboundXonXoff);
    out += ComPortRequest(kSetControl, kInboundXonXoff);
    out += ComPortRequest(kSetControl, kDtrOff);
    out += ComPortRequest(kSetControl, kRtsOff);
    // Only what the scale sent before: a purge of the server's output could take the first bytes
    // written after it.
    out += ComPortRequest(kPurgeData, kPurgeServerReceive);
    return out;
}

std::string ComPortClient::PurgeServerInput()
{
    return ComPortRequest(kPurgeData, kPurgeServerReceive);
}

void ComPortClient::Receive(std::string_view in, std::string& data, std::string& reply)
{
    commands_.clear();
    decoder_.Feed(in, data, commands_);
    for (const Command& command : commands_) {
        if (command.verb != kSb)
            Negotiate(command.verb, command.option, reply);
        else if (command.option == kComPort)
            Confirm(command.payload);
    }
}

// Each side answers only a change (RFC 854's rule against loops): an answer to our own request is
// taken silently, a request for an option already in that state is not answered again.
void ComPortClient::Negotiate(unsigned char verb, unsigned char option, std::string& reply)
{
    const bool ours = verb == kDo || verb == kDont;
    std::bitset<256>& agreed = ours ? ours_ : theirs_;
    std::bitset<256>& asked = ours ? oursAsked_ : theirsAsked_;
    const bool enable = verb == kDo || verb == kWill;
    const unsigned char yes = ours ? kWill : kDo;
    const unsigned char no = ours ? kWont : kDont;
    const bool wasAsked = asked.test(option);
    asked.reset(option);
    if (enable) {
        if (agreed.test(option))
            return;
        if (Wanted(option, ours)) {
            agreed.set(option);
            if (!wasAsked)
                AppendVerb(reply, yes, option);
        } else {
            AppendVerb(reply, no, option);
        }
        return;
    }
    if (wasAsked && option == kComPort) {
        rateAnswered_ = true;  // nothing more will come
        Note(kNoteNoLineControl);
    }
    if (agreed.test(option)) {
        agreed.reset(option);
        AppendVerb(reply, no, option);
    }
}

void ComPortClient::Confirm(const std::string& payload)
{
    if (payload.empty())
        return;
    const auto code = static_cast<unsigned char>(payload[0]);
    if (code <= kServerOffset || code > kServerOffset + kSetStopSize)
        return;  // modem and line state, flow control: nothing waits on them
    const unsigned char request = code - kServerOffset;
    std::uint32_t value = 0;
    std::uint32_t asked = 0;
    if (request == kSetBaudRate) {
        if (payload.size() != 5)
            return;
        for (std::size_t i = 1; i < 5; ++i)
            value = (value << 8) | static_cast<unsigned char>(payload[i]);
        asked = baud_;
    } else {
        if (payload.size() != 2)
            return;
        value = static_cast<unsigned char>(payload[1]);
        asked = request == kSetDataSize ? 8u : request == kSetParity ? kParityNone : kOneStopBit;
    }
    const unsigned bit = 1u << (request - 1);
    if (request == kSetBaudRate)
        rateAnswered_ = true;
    if (value == asked) {
        confirmed_ |= bit;
    } else if ((confirmed_ & bit) == 0 && (noted_ & bit) == 0) {
        noted_ |= bit;
        Note(kNoteOtherSettings);
    }
}

void ComPortClient::Note(std::string text)
{
    if (notes_.size() < kMaxNotes)
        notes_.push_back(std::move(text));
}

std::vector<std::string> ComPortClient::TakeNotes()
{
    return std::exchange(notes_, {});
}

} // namespace Telnet
