#pragma once

#include "cli/CommandLineOptions.h"
#include "commodity/CommodityUpload.h"
#include "link/ScaleCommandSet.h"
#include "link/SerialLink.h"

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// One upload over an open port, and the same upload to several ports at once.

// SendUpload (commodity/CommodityUpload.h) as the command line tells it: `progress` hears about a
// held line and every 50th write.
UploadOutcome SendUpload(SerialLink::PortHandle& port, const Bytes& companyLine, const std::vector<Bytes>& block,
                         const std::function<void(const std::string&)>& progress);

// Why the named port did not open: a network port's own words, else the system's reason.
std::string OpenFailure(const std::string& name, int error);

// Text as a JSON string, with quotes.
std::string JsonString(std::string_view utf8);

// One scale of an upload to several: where, under what name, and what it gets. The lines are the
// caller's, shared by every scale of their series, and outlive the upload.
struct UploadTarget {
    std::string port;
    std::string name;  // UTF-8; empty for a scale named by --port
    int baud = 9600;
    const Bytes* companyLine = nullptr;  // empty: no company line
    const std::vector<Bytes>* block = nullptr;
};

// Sends to every target at once, one thread and one port handle each. One JSON line per scale on
// `out` as it ends (port, name, result, reason, lines, seconds); progress on `err`, each line led by
// its port. kExitOk when every scale is done, else kExitNoAnswer; the others always run to their end.
int UploadToPorts(const std::vector<UploadTarget>& targets, const std::string& file, std::ostream& out,
                  std::ostream& err);
