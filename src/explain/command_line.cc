#include "explain/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "explain/explain.h"
#include "explain/json_report.h"
#include "explain/messages.h"
#include "explain/repaired_output.h"
#include "explain/summary_report.h"
#include "platform/console.h"
#include "platform/wildcard.h"
#include "version.h"

namespace fdpreserve::explain {
namespace {

/// One line on standard error, "fdexplain: " first. The runtime gives it the platform's line end.
void reportError(const std::string& text) {
  const std::string line = std::string(texts::kProgram) + ": " + text + "\n";
  (void)std::fputs(line.c_str(), stderr);
  (void)std::fflush(stderr);
}

/// The line `reportLostInput` writes, made before any file is read: a signal handler may not
/// take memory.
std::string_view lostInputLine;

/// Ends the run when a mapped input lost bytes under it. Runs in a signal handler: writes its
/// line, taking no memory, and ends the process without cleaning up.
void reportLostInput() {
  (void)std::fwrite(lostInputLine.data(), 1, lostInputLine.size(), stderr);
  std::_Exit(kExitTrouble);
}

/// The options and files of the command line.
struct CommandLine {
  ExplainOptions options;
  std::vector<std::string> files;
  bool repaired = false;  ///< the repaired input instead of the report
};

/// `text` with its line feeds turned into the sink's line ends.
void putText(ReportSink& sink, std::string_view text) {
  for (std::size_t begin = 0; begin < text.size();) {
    const std::size_t end = std::min(text.find('\n', begin), text.size());
    put(sink, text.substr(begin, end - begin));
    if (end < text.size()) endLine(sink);
    begin = end + 1;
  }
}

/// Gives the help's texts in `language`; CLI11 keeps the words that frame them.
void describe(CLI::App& app, Language language) {
  const auto text = [&](std::string_view key) { return phrase(language, key); };
  app.description(text("cli.description"));
  app.footer(text("cli.footer"));
  for (const auto& [option, key] :
       {std::pair{"--json", "cli.option.json"}, std::pair{"--rule", "cli.option.rule"},
        std::pair{"--all", "cli.option.all"}, std::pair{"--lang", "cli.option.lang"},
        std::pair{"--summary", "summary.option"}, std::pair{"--csv", "summary.csv-option"},
        std::pair{"--repaired", "option.repaired"}, std::pair{"FILE", "cli.option.files"},
        std::pair{"--version", "cli.option.version"}, std::pair{"--help", "cli.option.help"}}) {
    app.get_option(option)->description(text(key));
  }
}

/// Parses the command line into `line`. Returns -1 when the files are to be explained, otherwise
/// the exit status: after the help or the version, or a wrong command line.
int parse(const std::vector<std::string>& arguments, CommandLine& line, ReportSink& sink) {
  CLI::App app{"", std::string(texts::kProgram)};
  app.set_help_flag("-h,--help");
  CLI::Option* json = app.add_flag("--json", line.options.json);
  std::string rule = "any";
  app.add_option("--rule", rule)->check(CLI::IsMember({"any", "textbook"}));
  app.add_flag("--all", line.options.all);
  std::string language(languageCode(languageOfUser()));
  app.add_option("--lang", language)->check(CLI::IsMember({"en", "hu"}));
  CLI::Option* summary = app.add_flag("--summary", line.options.summary)->excludes(json);
  app.add_flag("--csv", line.options.csv)->needs(summary);
  app.add_flag("--repaired", line.repaired);
  app.add_option("FILE", line.files)->required();
  app.set_version_flag("--version", std::string(texts::kProgram) + " " + std::string(kVersion));
  // CLI11 takes the arguments last first, without the program's name.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend() - 1);
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    // --lang has been taken by now, wherever it stood.
    describe(app, languageNamed(language));
    putText(sink, app.help());
    return kExitPreserving;
  } catch (const CLI::CallForVersion& version) {
    putLine(sink, version.what());
    return kExitPreserving;
  } catch (const CLI::ParseError& wrong) {
    std::string what = wrong.what();
    std::replace(what.begin(), what.end(), '\n', ' ');
    // CLI11's own words say what is wrong; a valid --lang among the arguments says how to go on.
    const Language chosen = languageNamed(language);
    reportError(phrase(chosen, "error.see-help", {{"error", what}}));
    return kExitTrouble;
  }
  line.options.language = languageNamed(language);
  if (line.repaired && (line.files.size() != 1 || line.options.json || line.options.summary)) {
    reportError(phrase(line.options.language, "error.see-help",
                       {{"error", phrase(line.options.language, "repaired.one-file")}}));
    return kExitTrouble;
  }
  line.options.decidingRule =
      rule == "textbook" ? ClosureRule::kAllLeftAttributes : ClosureRule::kAnyLeftAttribute;
  return -1;
}

/// Explains one file; returns its exit status. Standard input, named "-", is read only once:
/// `standardInputRead` says whether it was.
int explainFile(ReportSink& sink, const std::string& file, const ExplainOptions& options,
                bool& standardInputRead) {
  std::string error;
  int status = kExitTrouble;
  const bool standardInput = file == kStandardInputName;
  try {
    if (standardInput && standardInputRead) {
      // A second read would find it at its end already, and report an empty input.
      error = phrase(options.language, "error.standard-input-again");
    } else {
      standardInputRead = standardInputRead || standardInput;
      const LoadedInput input = loadFile(file, options.language);
      if (input.readable) {
        status = explainLoaded(sink, input, options, error);
      } else {
        error = input.error;
      }
    }
  } catch (const std::bad_alloc&) {
    error = phrase(options.language, "error.out-of-memory-for-file");
  }
  if (status != kExitTrouble) return status;
  resetAnalysisState();  // gives back what the file took
  reportError(file + ": " + error);
  if (options.summary) {
    writeSummaryError(sink, file, error, options);
  } else if (options.json) {
    writeJsonError(sink, file, error);
  }
  return kExitTrouble;
}

/// Writes FILE repaired instead of its report, and on standard error the lines it still loses;
/// returns the exit status of the repaired input.
int writeRepaired(ReportSink& sink, const std::string& file, const ExplainOptions& options) {
  RepairedInput repaired;
  try {
    repaired = repairFile(file, options);
  } catch (const std::bad_alloc&) {
    repaired = RepairedInput{};
    repaired.error = phrase(options.language, "error.out-of-memory-for-file");
  }
  resetAnalysisState();  // gives back what the file took
  if (!repaired.error.empty()) {
    reportError(file + ": " + repaired.error);
    return kExitTrouble;
  }
  put(sink, repaired.bytes);
  if (!repaired.stillLost.empty()) {
    std::string lines;
    for (const std::uint64_t l : repaired.stillLost) {
      lines += (lines.empty() ? "" : ", ") + std::to_string(l);
    }
    reportError(file + ": " +
                countedPhrase(options.language, "repaired.still-lost", repaired.stillLost.size(),
                              {{"lines", lines}}));
  }
  return repaired.preserving ? kExitPreserving : kExitNotPreserving;
}

}  // namespace

int runFdexplain(int argumentCount, char** argumentVector) {
  failWritesInsteadOfSignals();
  onMappedInputLost(reportLostInput);
  const Utf8Console console;
  ReportSink sink = standardOutputSink();
  CommandLine line;
  int status = parse(expandArguments(argumentCount, argumentVector), line, sink);
  const std::string lostInput = std::string(texts::kProgram) + ": " +
                                phrase(line.options.language, "error.input-lost") + "\n";
  lostInputLine = lostInput;
  if (status < 0 && line.repaired) {
    status = writeRepaired(sink, line.files.front(), line.options);
  } else if (status < 0) {
    status = kExitPreserving;
    bool first = true;
    if (line.options.summary) writeSummaryHeader(sink, line.options);
    bool standardInputRead = false;
    for (const std::string& file : line.files) {
      // A blank line between two text reports; a summary has a line a file.
      if (!first && !line.options.json && !line.options.summary) endLine(sink);
      first = false;
      status = std::max(status, explainFile(sink, file, line.options, standardInputRead));
    }
  }
  lostInputLine = {};
  if (!flushSink(sink)) {
    reportError(phrase(line.options.language, "error.cannot-write-report"));
    return kExitTrouble;
  }
  return status;
}

}  // namespace fdpreserve::explain
