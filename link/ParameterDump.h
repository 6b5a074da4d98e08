#pragma once

#include "link/SerialLink.h"
#include "link/StopSignal.h"

#include <chrono>
#include <string>
#include <string_view>

// The scale's parameter dump: the text from the first "parameter" up to and including the first "end".
class ParameterDump {
public:
    static constexpr int kBlockBytes = 128;
    static constexpr int kBlockLimitMs = 100;
    static constexpr std::chrono::milliseconds kDumpTime{1000};

    // Appends one received block, as text up to its first zero byte, and trims the whole text:
    // everything before the first "parameter" and everything after the first "end" is dropped.
    void Append(std::string_view block);
    // The dump is complete once the text holds "end".
    bool Done() const;
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// The whole exchange on an open port: stops the scale's active postback (1B 00 03 00), discards
// one block of whatever is still arriving, asks for the dump (1B 00 FF) and collects it until "end"
// or one second after the request. Returns what arrived, possibly empty. Blocks for up to about
// 1.5 s, so the GUI runs it off its own thread; nothing else may use the port meanwhile.
// An empty string at once when the port is closed. It ends early, with what it has, once `stop`
// says the port goes away, or when one of its writes does not go out (the handle's fault says why).
std::string ReadParameterDump(SerialLink::PortHandle& port, const StopSignal* stop = nullptr);
