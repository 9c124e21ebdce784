#include "explain/report_sink.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/console.h"

namespace fdpreserve::explain {

ReportSink standardOutputSink() {
  ReportSink sink;
#ifdef _WIN32
  sink.lineEnd = "\r\n";
#endif
  sink.pending.reserve(2 * kReportBlock);
  return sink;
}

ReportSink memorySink(std::string& memory) {
  ReportSink sink;
  sink.memory = &memory;
  return sink;
}

void endLine(ReportSink& sink) {
  put(sink, sink.lineEnd);
}

void putLine(ReportSink& sink, std::string_view text) {
  put(sink, text);
  endLine(sink);
}

void handOn(ReportSink& sink) {
  // After a failure nothing more is tried: the report is lost either way.
  if (!sink.failed && !writeStandardOutput(sink.pending)) sink.failed = true;
  sink.pending.clear();
}

bool flushSink(ReportSink& sink) {
  if (sink.memory == nullptr && !sink.pending.empty()) handOn(sink);
  return !sink.failed;
}

Utf8Console::Utf8Console() {
#ifdef _WIN32
  if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_CHAR) {
    previous_ = GetConsoleOutputCP();
    if (previous_ == CP_UTF8 || SetConsoleOutputCP(CP_UTF8) == 0) previous_ = 0;
  }
#endif
}

Utf8Console::~Utf8Console() {
#ifdef _WIN32
  if (previous_ != 0) SetConsoleOutputCP(previous_);
#endif
}

}  // namespace fdpreserve::explain
