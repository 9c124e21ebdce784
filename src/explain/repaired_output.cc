#include "explain/repaired_output.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "design/repaired_input.h"
#include "explain/join_repair_answers.h"
#include "explain/loaded_input.h"
#include "platform/input_file.h"

namespace fdpreserve::explain {
namespace {

/// The bytes of the file at `path`, or of standard input for "-", as they are, no line end or 1A
/// taken away; false when it cannot be read whole.
bool readRawFile(const std::string& path, std::string& bytes) {
  if (path == kStandardInputName) return readStandardInput(bytes);
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (file == nullptr) return false;
  char block[1 << 16];
  for (std::size_t got = 0; (got = std::fread(block, 1, sizeof block, file.get())) > 0;) {
    bytes.append(block, got);
  }
  return std::ferror(file.get()) == 0;
}

}  // namespace

RepairedInput repairInput(std::string_view name, std::string bytes, const ExplainOptions& options) {
  RepairedInput repaired;
  (void)loadBytes(std::string(name), bytes);
  const RuleAnswers answers = answerBothRules(options);
  if (options.decidingRule == ClosureRule::kAllLeftAttributes &&
      answers.textbook != TextbookState::kDecided) {
    repaired.error = phrase(options.language, "error.textbook-cannot-decide",
                            {{"reason", textbookSkipReason(options.language, answers.textbook)}});
    return repaired;
  }
  const RepairAnswers repair = answerRepair(answers, options);
  if (!repair.proposal.has_value()) {
    repaired.preserving = true;
    repaired.bytes = std::move(bytes);
    return repaired;
  }
  const RepairProposal& proposal = *repair.proposal;
  if (!repair.verified) {
    repaired.error = phrase(options.language, "repaired.not-verified");
    return repaired;
  }
  repaired.bytes = repairedInput(bytes, proposal.added);
  // Under the textbook rule the proof covers every lost entry; under this tool's rule only the
  // unrepairable ones stay lost.
  repaired.preserving =
      proposal.unrepairable.empty() || proposal.rule != ClosureRule::kAnyLeftAttribute;
  for (const std::size_t d : entriesLostWith(proposal.added)) {
    repaired.stillLost.push_back(dependencyLine(d) + proposal.added.size());
  }
  return repaired;
}

RepairedInput repairFile(const std::string& path, const ExplainOptions& options) {
  std::string bytes;
  if (!readRawFile(path, bytes)) {
    RepairedInput failed;
    failed.error = phrase(options.language, "error.cannot-read");
    return failed;
  }
  return repairInput(path, std::move(bytes), options);
}

}  // namespace fdpreserve::explain
