#pragma once

#include <cstdint>
#include <string_view>

#include "model/attribute_types.h"
#include "model/name_pool.h"
#include "model/tables.h"
#include "platform/input_file.h"
#include "platform/output_file.h"

namespace fdpreserve {

/// Everything a run works on, for the whole life of the process. Fields are destroyed in reverse
/// order, so the output file is written out and closed after everything else is gone.
struct AnalysisState {
  InputFile inputFile;
  OutputFile outputFile;
  std::string_view lineBuffer;        ///< the line last read by `readLine`, within the input
  AttributeList intersectionScratch;  ///< owned by `intersectLists`
  AttributeList unionScratch;         ///< owned by `uniteLists`
  AttributeList reachScratch;         ///< owned by `reachClosure` and `extendReach`
  NamePool attributeNames;            ///< the bytes behind every id in the tables
  DecompositionTable decomposition;
  DependencyTable dependencies;
  // 64 bits: the tables grow with the input, and no count may wrap.
  std::int64_t schemaCount = 0;      ///< rows of `decomposition` in use
  std::int64_t dependencyCount = 0;  ///< entries of `dependencies` in use
};

/// The one program-wide record.
extern AnalysisState state;

/// Puts `state` back as it is when the process starts: files closed, everything empty. Lets tests
/// and the fuzzer run one job after another in one process.
void resetAnalysisState();

}  // namespace fdpreserve
