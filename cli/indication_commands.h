// The command-line tool's indication commands: `indications` (the list of
// gate A indications and coupling losses as JSON, or the viewer's CSV) and
// `report --indications` (the viewer's PDF report of every indication).
#pragma once

#include <string>
#include <vector>

namespace sonalyt::cli {

// args: the arguments after the command name. Print help for --help;
// otherwise return 0, or 1 after a one-line error on stderr.
int IndicationsCommand(const std::vector<std::string>& args);

// True when the report command's arguments ask for the indication report.
bool WantsIndicationReport(const std::vector<std::string>& args);
// `report FILE --indications [--merge-gap N] [--threshold P] -o OUT.pdf`.
int IndicationReportCommand(const std::vector<std::string>& args);

}  // namespace sonalyt::cli
