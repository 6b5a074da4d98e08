#pragma once

#include "commodity/CommodityCsv.h"
#include "link/ScaleSeries.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The command line's arguments, as parsed: which action, on which port and series, with what.

enum class CommandLineAction { None, ListPorts, Upload, Read, Dump, Find };

struct CommandLineOptions {
    CommandLineAction action = CommandLineAction::None;
    bool help = false;
    bool version = false;
    std::string port;                // the first --port
    std::vector<std::string> ports;  // every --port, in order (several for --upload and --find)
    std::string scales;              // --scales: the list file that names the scales instead of --port
    std::string baud = "9600";
    bool baudGiven = false;  // --find tries only that rate
    ScaleSeries series = ScaleSeries::None;
    std::string file;
    std::optional<std::string> company;
    std::optional<long> count;
    bool skipBadRows = false;
    bool dryRun = false;                              // print what --upload would send, send nothing
    std::optional<CommodityCsv::Encoding> encoding;  // --encoding: how to read a .csv file
};

// The rates --baud takes, which --find tries in this order.
inline constexpr const char* kCommandLineBaudRates[] = {"2400", "4800", "9600", "19200", "38400", "57600", "115200"};

// Fills `options` from `args` (the program's name first); a message naming what is wrong, or
// nothing when the arguments make sense together.
std::optional<std::string> ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options);

// The series' name as --series takes it and --find prints it; empty for None.
const char* CommandLineSeriesName(ScaleSeries series);
// The series of that name, exactly as CommandLineSeriesName spells it; nothing for any other text.
std::optional<ScaleSeries> CommandLineSeriesNamed(std::string_view name);

// True when the arguments ask for the command line (an action, --help or --version) rather than
// the window.
bool IsCommandLineRequest(const std::vector<std::string>& args);

// The usage text, with `program` as the name to run.
std::string CommandLineUsage(std::string_view program);
