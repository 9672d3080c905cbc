// The command-line tool's whole-recording commands: `analyze` (the per-frame
// gate figures as JSON or CSV) and `bscan` (the B-scan picture as PNG).
#pragma once

#include <string>
#include <vector>

namespace sonalyt::cli {

// args: the arguments after the command name. Print help for --help;
// otherwise return 0, or 1 after a one-line error on stderr.
int AnalyzeCommand(const std::vector<std::string>& args);
int BScanCommand(const std::vector<std::string>& args);

}  // namespace sonalyt::cli
