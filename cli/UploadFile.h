#pragma once

#include "cli/CommandLineOptions.h"
#include "link/ScaleCommandSet.h"

#include <ostream>
#include <vector>

class CommodityTable;

// What --upload sends, read and checked before any port is opened: the file's table and the
// company name's line. Each returns an exit status (kExitOk when all is well) and writes each
// failure to `err`.

// Fills `table` from the upload file: a .csv file by the CSV rules, anything else as a commodity
// file (ZUD.txt, ZEV.txt). Every row or line that cannot be taken whole is named; without
// --skip-bad-rows any such row refuses the file.
int LoadUploadFile(const CommandLineOptions& options, CommodityTable& table, std::ostream& err);

// The company-name line of --company by the rule of the window's field: GBK, no line breaks or other
// control characters, at most 100 bytes. Empty without --company.
int CompanyNameLine(const CommandLineOptions& options, Bytes& line, std::ostream& err);

// The writes as lines of text for --dry-run: GBK shown as UTF-8, the CR LF that ends each write
// left off, any other control byte as \xNN.
void PrintWrites(const std::vector<Bytes>& writes, std::ostream& out);
