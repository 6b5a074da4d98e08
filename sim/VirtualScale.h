#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "link/ScaleCommandSet.h"

// A scale of our own on a pseudo-terminal pair or a loopback TCP port (sim/ScaleLine.h); Windows has
// only the TCP port. The tool opens PortPath() like any serial or network port;
// the scale answers the protocol (ScaleModel: what it sends, byte by byte), moves its weight like a
// real load, and records every byte it receives, split into commands (CommandSplitter), for tests
// to assert on. Like a real scale it talks at one line rate only: when the tool's side of the line
// is set to another rate, nothing it is sent makes sense to it and what it sends arrives as noise.
// It owns its line and the thread that answers on it, so it is neither copied nor moved.
class VirtualScale {
public:
    enum class LineKind {
        PseudoTerminal,  // POSIX only; PortPath() is a device path
        Tcp,             // PortPath() is socket://127.0.0.1:PORT; no line rate or flow control crosses it
        Bridged,         // through a serial port's TCP bridge (see Bridge); PortPath() is that port
    };
    // A serial port whose far end a bridge (socat, a device server) offers on 127.0.0.1:tcpPort:
    // the scale connects there, and the tool opens the port by its name. The rate the tool sets
    // does not cross the bridge; XON/XOFF do, as bytes the port's driver obeys.
    struct Bridge {
        std::string portName;
        int tcpPort = 0;
    };
#ifdef _WIN32
    static constexpr LineKind kDefaultLine = LineKind::Tcp;
#else
    static constexpr LineKind kDefaultLine = LineKind::PseudoTerminal;
#endif

    explicit VirtualScale(LineKind line = kDefaultLine);
    explicit VirtualScale(const Bridge& bridge);
    LineKind Line() const { return line_; }
    ~VirtualScale();  // stops it

    // Opens the line and starts answering. False, with errno set, when no such line can be had.
    bool Start();
    // Stops answering and closes the scale's side: the tool's port goes dead, as when the cable is pulled.
    void Stop();
    bool IsRunning() const;
    // Pulls the cable: the tool's port hangs up (its reads end, its writes fail) and the device
    // path goes away; what was recorded and the load stay. PlugIn() brings the scale back, on a
    // new device path or port (PortPath()); false when no line can be had.
    void Unplug();
    bool PlugIn();
    // The device path the tool opens.
    std::string PortPath() const;

    // Everything received so far, and the same split into commands as CommandSplitter cuts them.
    Bytes Received() const;
    std::vector<Bytes> Commands() const;
    void ClearReceived();
    // Waits until at least `count` commands (bytes) have arrived; false on time-out.
    bool WaitForCommands(std::size_t count, std::chrono::milliseconds timeout) const;
    bool WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const;

    // What the last company-name line and the last complete upload block carried.
    Bytes CompanyName() const;
    std::vector<Bytes> UploadedLines() const;  // the lines between "plu" and "end", without CR LF

    // The load on the pan in kg: the reading settles towards it and is then stable.
    void PlaceLoad(double kilograms);
    double DisplayedWeight() const;  // gross
    double NetWeight() const;        // gross - tare
    bool IsStable() const;
    // Tare and zero wait for a stable reading, as on a real scale; zero works only near zero.
    double Tare() const;
    // How long a new load takes to settle (default 600 ms; 0 makes loads settle at once).
    void SetSettlingTime(std::chrono::milliseconds settling);
    // The demo's life of its own (ScaleModel::StartLife): loads come and go, calibration commands
    // bring its calibration lines. PlaceLoad() ends it.
    void StartLife();

    // Test controls.
    void SetSilent(bool silent);                    // answers nothing (bytes are still recorded)
    void QueueReply(const Bytes& bytes);            // answer the next poll with exactly these bytes
    void SendRaw(const Bytes& bytes);               // push bytes to the tool now
    // Holds the line as a scale writing its memory does: XOFF once `afterBytes` more bytes have
    // arrived (at once for 0), XON `holdFor` later. Over TCP both go in-band, as a device server
    // in raw mode passes them on.
    void HoldLine(std::size_t afterBytes, std::chrono::milliseconds holdFor);
    void SetParameterDump(const Bytes& dump);       // the text sent after 1B 00 FF
    void SendCalibrationLines(const Bytes& lines);  // e.g. "C 15\r\nF 5\r\nW 0.000\r\n"
    int PostbackRate() const;                       // reports per second it sends by itself; 0 = off

    // Options, as a scale comes set from the factory or the last installer.
    // The rate it talks at (default 9600); also the rate its line starts with.
    void SetBaudRate(int baud);
    int BaudRate() const;
    // The poll it answers: Zud "R" only, Zev and Rivav 0x11 only, None (the default) both, so the
    // demo answers whichever series the operator picks.
    void SetSeries(ScaleSeries series);
    ScaleSeries Series() const;
    // Reports per second it sends by itself (0..10), as if told so by a postback command.
    void SetPostbackRate(int perSecond);
    // Takes bytes no faster than the line's rate (ten bits a byte) would carry them, so an upload
    // reaches it over as long as on a real line; off (the default), it reads them as fast as they
    // come. The tool's side still takes kilobytes at once: its writes end before they are read.
    void SetWireTime(bool on);

private:
    struct State;
    LineKind line_;
    std::unique_ptr<State> state_;
};
