// Writes the input file of one benchmark tier. bench/run calls it for every tier; run it by hand
// to look at an input or to feed one to a profiler.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bench/input_tiers.h"

namespace {

constexpr std::uint64_t kDefaultSeed = 1;

void printUsage() {
  std::string tiers;
  for (const fdpreserve::bench::TierShape& shape : fdpreserve::bench::tierShapes()) {
    tiers.append(tiers.empty() ? "" : ", ").append(shape.name);
  }
  (void)std::fprintf(
      stderr,
      "usage: generate_input TIER OUTPUT [--seed N] [--without-dependencies]\n"
      "  TIER is one of %s; the seed is %llu unless given.\n"
      "  --without-dependencies leaves out the empty line after the subschemas, so\n"
      "  every line is read as a subschema: the same bytes, with nothing to analyse.\n",
      tiers.c_str(), static_cast<unsigned long long>(kDefaultSeed));
}

/// Parses a whole decimal seed; false for anything else.
bool parseSeed(const char* text, std::uint64_t& seed) {
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 10);
  if (end == text || *end != '\0') return false;
  seed = value;
  return true;
}

bool writeFile(const char* path, const std::string& bytes) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

/// What the command line asks for.
struct Request {
  const fdpreserve::bench::TierShape* shape = nullptr;
  const char* outputPath = nullptr;
  std::uint64_t seed = kDefaultSeed;
  bool withDependencies = true;
};

/// Fills `request` from the arguments; false when they are not a tier, an output and options.
bool parseArguments(int argc, char** argv, Request& request) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--seed") {
      if (++i == argc || !parseSeed(argv[i], request.seed)) return false;
    } else if (argument == "--without-dependencies") {
      request.withDependencies = false;
    } else if (request.shape == nullptr) {
      request.shape = fdpreserve::bench::findTier(argument);
      if (request.shape == nullptr) return false;
    } else if (request.outputPath == nullptr) {
      request.outputPath = argv[i];
    } else {
      return false;
    }
  }
  return request.outputPath != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  Request request;
  if (!parseArguments(argc, argv, request)) {
    printUsage();
    return 2;
  }
  const fdpreserve::bench::TierShape& shape = *request.shape;
  const std::string bytes =
      fdpreserve::bench::tierInput(shape, request.seed, request.withDependencies);
  if (!writeFile(request.outputPath, bytes)) {
    (void)std::fprintf(stderr, "generate_input: cannot write %s\n", request.outputPath);
    return 1;
  }
  const std::string name(shape.name);
  if (request.withDependencies) {
    std::printf(
        "%s: %zu subschemas %s %zu, %zu dependency lines (sides 1-%zu), %zu attributes, %zu bytes,"
        " seed %llu; expected verdict: %s\n",
        name.c_str(), shape.subschemas,
        shape.windows                 ? "in windows of up to"
        : shape.parts || shape.ladder ? "of up to"
                                      : "x",
        shape.subschemaSize, shape.dependencyLines, shape.maxSide, shape.attributes, bytes.size(),
        static_cast<unsigned long long>(request.seed),
        fdpreserve::bench::expectsPreserving(shape) ? "preserving" : "not preserving");
  } else {
    std::printf("%s without dependencies: %zu bytes, seed %llu; expected verdict: preserving\n",
                name.c_str(), bytes.size(), static_cast<unsigned long long>(request.seed));
  }
  return 0;
}
