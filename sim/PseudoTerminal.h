#pragma once

#include <string>

#include "sim/ScaleLine.h"

// The scale's end of a pseudo-terminal pair. The scale holds the tool's side open itself, so the
// tool can close and reopen Path() freely.
class PseudoTerminal : public ScaleLine {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal() override { Close(); }

    bool Open(int baud) override;
    void Close() override;
    bool IsOpen() const override { return master_ >= 0; }
    int Master() const { return master_; }  // the scale's side, non-blocking
    std::string Path() const override { return path_; }

    void EnableToolFlowControl() override;
    int ToolBaud() const override;
    // True for the rates a line can be opened at.
    static bool HasRate(int baud);

    Readiness Wait(bool read, bool write, int waitMs) override;
    void Wake() override;
    long Read(char* buffer, std::size_t size) override;

private:
    Written WriteSome(const char* bytes, std::size_t size) override;

    int master_ = -1;
    int slave_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::string path_;
};
