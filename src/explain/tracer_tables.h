#pragma once

// The pass tracer's own tables, shared by its files: the indexes it builds over the tables in
// `state`, and the marks of its runs.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "design/attribute_lists.h"
#include "explain/pass_tracer.h"
#include "model/name_pool.h"

namespace fdpreserve::explain {

using TracerIndex = RowIndex;

/// The indexes of the tables and the marks of the runs. A mark holds the number of the run or
/// closure that set it, so nothing needs clearing between runs.
struct TracerTables {
  bool built = false;
  AttributeLists subschemasOf;         ///< the subschemas that hold each attribute
  AttributeLists dependenciesOf;       ///< the dependencies whose left side holds each attribute
  std::vector<TracerIndex> leftCount;  ///< the distinct left attributes of each dependency
  std::vector<TracerIndex> emptyLeft;  ///< dependencies with nothing left and something right

  TracerIndex run = 0;
  std::vector<TracerIndex> reachedMark;     ///< attribute: reached in this run
  std::vector<TracerIndex> arrival;         ///< attribute: its place in the reached order
  std::vector<TracerIndex> goalMark;        ///< attribute: a right attribute not reached yet
  std::vector<TracerIndex> queuedMark;      ///< subschema: waiting for its step in this run
  std::vector<TracerIndex> seenMark;        ///< subschema: stepped in this run...
  std::vector<TracerIndex> seenLength;      ///< ...when this many attributes were reached
  std::vector<TracerIndex> sharedMark;      ///< subschema: `shared` counts for this run
  std::vector<TracerIndex> shared;          ///< subschema: how many of its attributes are reached
  std::vector<TracerIndex> holdsRightMark;  ///< subschema: holds a right attribute still missing
  std::vector<TracerIndex>
      rightCount;  ///< subschema: how many right attributes still missing it holds
  std::vector<TracerIndex> nearMark;   ///< attribute: shares a subschema with a right attribute
  std::vector<TracerIndex> levelMark;  ///< subschema: `level` holds for this run
  std::vector<std::uint8_t> level;     ///< subschema: how promising, 0 most

  TracerIndex closure = 0;
  std::vector<TracerIndex> closureMark;  ///< attribute: in the closure of this step
  std::vector<TracerIndex> rowMark;      ///< attribute: in the subschema of this step
  std::vector<TracerIndex> firedMark;    ///< dependency: fired, or counted down, in this step
  std::vector<TracerIndex> remaining;    ///< dependency: left attributes not yet reached

  std::vector<AttributeId> worklist;    ///< the closure's queue, first in first out
  std::vector<TracerIndex> thisPass;    ///< min-heaps of the subschemas to step in this pass
  std::vector<TracerIndex> nextPass;    ///< and in the next
  std::vector<TracerIndex> candidates;  ///< subschemas that may hold both sides of one entry
  /// A quick proof's subschemas to step, most promising first: those that hold a right attribute
  /// still missing, then those that share the most.
  std::vector<std::pair<std::uint64_t, TracerIndex>> promising;
  PassTrace proofTrace;  ///< what a quick proof reached, which nobody reads
};

/// The one set of tracer tables, for the input in `state`.
extern TracerTables tracer;

/// Builds the indexes and sizes the marks, once for each input.
void ensureTracerBuilt();

}  // namespace fdpreserve::explain
