#include "explain/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
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

/// Ends the run when a mapped input lost bytes under it. Runs in a signal handler: writes its
/// line in pieces, taking no memory, and ends the process without cleaning up.
void reportLostInput() {
  for (const std::string_view piece :
       {texts::kProgram, std::string_view(": "), texts::kInputLost, std::string_view("\n")}) {
    (void)std::fwrite(piece.data(), 1, piece.size(), stderr);
  }
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

/// Parses the command line into `line`. Returns -1 when the files are to be explained, otherwise
/// the exit status: after the help or the version, or a wrong command line.
int parse(const std::vector<std::string>& arguments, CommandLine& line, ReportSink& sink) {
  CLI::App app{std::string(texts::kDescription), std::string(texts::kProgram)};
  CLI::Option* json = app.add_flag("--json", line.options.json, std::string(texts::kJsonOption));
  std::string rule = "any";
  app.add_option("--rule", rule, std::string(texts::kRuleOption))
      ->check(CLI::IsMember({"any", "textbook"}));
  app.add_flag("--all", line.options.all, std::string(texts::kAllOption));
  std::string language(languageCode(languageOfUser()));
  app.add_option("--lang", language, std::string(texts::kLangOption))
      ->check(CLI::IsMember({"en", "hu"}));
  // The help speaks the language the locale asks for; --lang comes too late for it.
  const Language helpLanguage = languageNamed(language);
  CLI::Option* summary =
      app.add_flag("--summary", line.options.summary, phrase(helpLanguage, "summary.option"))
          ->excludes(json);
  app.add_flag("--csv", line.options.csv, phrase(helpLanguage, "summary.csv-option"))
      ->needs(summary);
  app.add_flag("--repaired", line.repaired, phrase(helpLanguage, "option.repaired"));
  app.add_option("FILE", line.files, std::string(texts::kFilesOption))->required();
  app.set_version_flag("--version", std::string(texts::kProgram) + " " + std::string(kVersion),
                       std::string(texts::kVersionOption));
  app.footer(std::string(texts::kFooter));
  // CLI11 takes the arguments last first, without the program's name.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend() - 1);
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    putText(sink, app.help());
    return kExitPreserving;
  } catch (const CLI::CallForVersion& version) {
    putLine(sink, version.what());
    return kExitPreserving;
  } catch (const CLI::ParseError& wrong) {
    std::string what = wrong.what();
    std::replace(what.begin(), what.end(), '\n', ' ');
    reportError(what + std::string(texts::kSeeHelp));
    return kExitTrouble;
  }
  line.options.language = languageNamed(language);
  if (line.repaired && (line.files.size() != 1 || line.options.json || line.options.summary)) {
    reportError(phrase(line.options.language, "repaired.one-file") + std::string(texts::kSeeHelp));
    return kExitTrouble;
  }
  line.options.decidingRule =
      rule == "textbook" ? ClosureRule::kAllLeftAttributes : ClosureRule::kAnyLeftAttribute;
  return -1;
}

/// Explains one file; returns its exit status.
int explainFile(ReportSink& sink, const std::string& file, const ExplainOptions& options) {
  std::string error;
  int status = kExitTrouble;
  try {
    const LoadedInput input = loadFile(file);
    if (input.readable) {
      status = explainLoaded(sink, input, options, error);
    } else {
      error = input.error;
    }
  } catch (const std::bad_alloc&) {
    error = std::string(texts::kOutOfMemory);
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
    repaired.error = std::string(texts::kOutOfMemory);
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
  if (status < 0 && line.repaired) {
    status = writeRepaired(sink, line.files.front(), line.options);
  } else if (status < 0) {
    status = kExitPreserving;
    bool first = true;
    if (line.options.summary) writeSummaryHeader(sink, line.options);
    for (const std::string& file : line.files) {
      // A blank line between two text reports; a summary has a line a file.
      if (!first && !line.options.json && !line.options.summary) endLine(sink);
      first = false;
      status = std::max(status, explainFile(sink, file, line.options));
    }
  }
  if (!flushSink(sink)) {
    reportError(std::string(texts::kCannotWriteReport));
    return kExitTrouble;
  }
  return status;
}

}  // namespace fdpreserve::explain
