#pragma once

#include <string>
#include <string_view>

namespace fdpreserve::explain {

/// Where a report goes: standard output, or a string in memory. Bytes are gathered and handed
/// on in large blocks; a failed write is remembered.
struct ReportSink {
  std::string pending;
  std::string* memory = nullptr;  ///< when set, everything goes here instead
  std::string_view lineEnd = "\n";
  bool failed = false;
};

/// A sink that writes to standard output with the platform's line ends (CR LF on Windows).
ReportSink standardOutputSink();

/// A sink that appends to `memory`, with line feeds.
ReportSink memorySink(std::string& memory);

/// How much a sink gathers before it hands the bytes on.
inline constexpr std::size_t kReportBlock = std::size_t{1} << 16;

/// Hands on what the sink gathered; remembers a failure.
void handOn(ReportSink& sink);

/// Appends bytes as they are. Inline: a large report is millions of small pieces.
inline void put(ReportSink& sink, std::string_view bytes) {
  if (sink.memory != nullptr) {
    sink.memory->append(bytes);
    return;
  }
  sink.pending.append(bytes);
  if (sink.pending.size() >= kReportBlock) handOn(sink);
}

/// Appends one line end.
void endLine(ReportSink& sink);

/// Appends `text` and a line end.
void putLine(ReportSink& sink, std::string_view text);

/// Hands on everything gathered. False when any write so far failed.
bool flushSink(ReportSink& sink);

/// On Windows, makes a console show the report's UTF-8 as such while it lives; a no-op
/// elsewhere, and when standard output is not a console.
class Utf8Console {
 public:
  Utf8Console();
  ~Utf8Console();
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  /// The code page to put back; 0 when nothing was changed. Only Windows has code pages.
  [[maybe_unused]] unsigned previous_ = 0;
};

}  // namespace fdpreserve::explain
