#include "cli/UploadFile.h"

#include "cli/CommandLine.h"
#include "commodity/CommodityCsv.h"
#include "commodity/CommodityFileCheck.h"
#include "commodity/CommodityTable.h"
#include "commodity/CommodityUpload.h"
#include "commodity/GbkCodec.h"
#include "commodity/TextEntry.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

// The file's bytes; false with the reason when it is no file, too large, or cannot be read.
bool ReadFile(const std::string& path, std::string& bytes, std::string& error)
{
    // The path is UTF-8 (on Windows as the arguments were converted): used as such, not through
    // the ANSI code page.
    const std::filesystem::path name(std::u8string(path.begin(), path.end()));
    std::error_code code;
    const auto status = std::filesystem::status(name, code);
    if (std::filesystem::is_directory(status)) {
        error = "it is a folder";
        return false;
    }
    const auto size = std::filesystem::is_regular_file(status) ? std::filesystem::file_size(name, code) : 0;
    if (!code && size > CommodityCsv::kMaxFileBytes) {
        error = "it is over 1 MiB; a commodity table is a few kilobytes";
        return false;
    }
    errno = 0;
    std::ifstream file(name, std::ios::binary);
    if (!file) {
        error = errno != 0 ? std::strerror(errno) : "it cannot be opened";
        return false;
    }
    // A read the stream cannot make throws from its buffer, whatever its exception mask says.
    try {
        std::istreambuf_iterator<char> in(file), end;
        for (; in != end && bytes.size() <= CommodityCsv::kMaxFileBytes; ++in)
            bytes += *in;
    } catch (const std::exception&) {
        file.setstate(std::ios::badbit);
    }
    if (file.bad()) {
        error = "read error";
        return false;
    }
    if (bytes.size() > CommodityCsv::kMaxFileBytes) {
        error = "it is over 1 MiB; a commodity table is a few kilobytes";
        return false;
    }
    return true;
}

bool EndsWithCsv(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string end = path.substr(path.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return end == ".csv";
}

bool HasEntries(const CommodityTable& table)
{
    for (int row = 0; row < CommodityTable::kRows; ++row) {
        if (table.HasEntry(row))
            return true;
    }
    return false;
}

// The verdict on the rows or lines that cannot be taken whole (already listed).
int RefuseOrSkip(const CommandLineOptions& options, int problems, std::ostream& err)
{
    if (problems > 0 && !options.skipBadRows) {
        err << options.file << ": " << problems << " row(s) cannot be imported; --skip-bad-rows uploads the rest\n";
        return kExitFile;
    }
    if (problems > 0)
        err << options.file << ": skipping " << problems << " row(s)\n";
    return kExitOk;
}

int LoadCsv(const CommandLineOptions& options, const std::string& bytes, CommodityTable& table, std::ostream& err)
{
    const CommodityCsv::Import import = CommodityCsv::Parse(bytes, options.encoding);
    if (import.fileProblem != CommodityCsv::FileProblem::None) {
        err << "cannot read " << options.file << ": " << CommodityCsv::Describe(import) << "\n";
        return kExitFile;
    }
    if (import.bothReadings)
        err << options.file << ": read as UTF-8; --encoding gbk reads it as GBK\n";
    int trimmed = 0;
    for (const CommodityCsv::Row& row : import.rows) {
        if (row.problem != CommodityCsv::Problem::None)
            err << options.file << ":" << row.line << ": " << CommodityCsv::Describe(row) << "\n";
        else if (row.trimmed && trimmed++ == 0)
            err << options.file << ":" << row.line << ": spaces around code, name or price are left out, "
                << "as the commodity file leaves them out\n";
    }
    if (trimmed > 1)
        err << options.file << ": spaces left out in " << trimmed << " row(s)\n";
    if (const int status = RefuseOrSkip(options, import.ProblemCount(), err); status != kExitOk)
        return status;
    CommodityCsv::Apply(import, table);
    return kExitOk;
}

int LoadCommodityText(const CommandLineOptions& options, const std::string& bytes, CommodityTable& table,
                      std::ostream& err)
{
    const CommodityTextCheck check = CheckCommodityText(bytes, table);
    if (check.utf8) {
        err << "cannot read " << options.file << ": it is UTF-8 text, and a commodity file is GBK "
            << "(a .csv file may be UTF-8)\n";
        return kExitFile;
    }
    if (check.tooLarge) {
        err << "cannot read " << options.file << ": more than " << CommodityCsv::kMaxDataLines
            << " lines; a commodity table holds 200\n";
        return kExitFile;
    }
    for (const CommodityLineProblem& problem : check.problems)
        err << options.file << ":" << problem.line << ": " << problem.reason << "\n";
    return RefuseOrSkip(options, int(check.problems.size()), err);
}

} // namespace

int LoadUploadFile(const CommandLineOptions& options, CommodityTable& table, std::ostream& err)
{
    std::string bytes;
    std::string error;
    if (!ReadFile(options.file, bytes, error)) {
        err << "cannot read " << options.file << ": " << error << "\n";
        return kExitFile;
    }
    const bool csv = EndsWithCsv(options.file);
    if (options.encoding && !csv) {
        err << "--encoding goes with a .csv file; a commodity file is GBK\n";
        return kExitUsage;
    }
    const int status = csv ? LoadCsv(options, bytes, table, err) : LoadCommodityText(options, bytes, table, err);
    if (status != kExitOk)
        return status;
    if (!HasEntries(table)) {
        err << "cannot read " << options.file << ": it holds no commodities\n";
        return kExitFile;
    }
    return kExitOk;
}

int CompanyNameLine(const CommandLineOptions& options, Bytes& line, std::ostream& err)
{
    line.clear();
    if (!options.company)
        return kExitOk;
    GbkCodec::Refusal refusal;
    const auto gbk = GbkCodec::Utf8ToGbk(*options.company, &refusal);
    if (!gbk) {
        err << "--company: " << CommodityCsv::CharacterName(refusal.character) << " has no GBK encoding\n";
        return kExitUsage;
    }
    if (TextEntry::Check(*gbk, TextEntry::Field::Line) != TextEntry::Verdict::Accepted) {
        err << "--company: \"" << CommodityCsv::Printable(*options.company)
            << "\" holds a line break or another control character, which the scale would take as a command\n";
        return kExitUsage;
    }
    if (gbk->size() > kCompanyNameLimit) {
        err << "--company: the name is " << gbk->size() << " GBK bytes; the scale takes at most " << kCompanyNameLimit
            << "\n";
        return kExitUsage;
    }
    line = CompanyNameCommand(*gbk);
    return kExitOk;
}

void PrintWrites(const std::vector<Bytes>& writes, std::ostream& out)
{
    for (const Bytes& write : writes) {
        std::string_view text = write;
        if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n")
            text.remove_suffix(2);
        out << CommodityCsv::Printable(GbkCodec::GbkToUtf8(text)) << "\n";
    }
}
