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

// Sends the same writes to every port of options.ports at once, one thread and one port handle
// each. One JSON line per port on `out` as it ends (port, name, result, reason, lines, seconds);
// progress on `err`, each line led by its port. kExitOk when every port is done, else
// kExitNoAnswer; the others always run to their end.
int UploadToPorts(const CommandLineOptions& options, const Bytes& companyLine, const std::vector<Bytes>& block,
                  std::ostream& out, std::ostream& err);
