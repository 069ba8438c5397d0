#include "cli/run_report.h"

#include <cstdio>

#include "foundation/text_encoding.h"
#include "platform/system/fs_ops.h"

namespace snipora::cli {

namespace {

// text as a JSON string; a byte that is no UTF-8 becomes U+FFFD.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : ReplaceNonUtf8(text, "\uFFFD")) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Files(size_t count) {
  return std::to_string(count) + (count == 1 ? " file" : " files");
}

}  // namespace

std::string OutputJson(const std::string& sourcePath, const ExportOutput& output,
                       const std::string& status) {
  uint64_t frames = 0;
  std::string ranges;
  for (const ExportRange& r : output.ranges) {
    frames += r.endFrame - r.startFrame;
    ranges += (ranges.empty() ? "[" : ", [") + std::to_string(r.startFrame) + ", " +
              std::to_string(r.endFrame) + "]";
  }
  std::string json = "{\"source\": " + JsonString(sourcePath) +
                     ", \"path\": " + JsonString(output.path) +
                     ", \"start_frame\": " + std::to_string(output.ranges.front().startFrame) +
                     ", \"end_frame\": " + std::to_string(output.ranges.back().endFrame);
  if (output.ranges.size() > 1) json += ", \"ranges\": [" + ranges + "]";
  return json + ", \"frames\": " + std::to_string(frames) +
         ", \"bytes\": " + std::to_string(fsops::FileSize(output.path)) + ", \"status\": \"" +
         status + "\"}";
}

std::string SourceLine(const SourcePlan& plan, size_t written,
                       const std::optional<Refusal>& failure) {
  // The joined file, or the pieces' folder.
  const std::vector<ExportOutput>& any =
      plan.plan.outputs.empty() ? plan.skipped : plan.plan.outputs;
  const std::string place = " (" + (plan.joined && !any.empty() ? any[0].path : plan.folder) + ")";
  const std::string start = plan.given + ": ";
  if (failure && written == 0) return start + "failed: " + failure->message;
  if (failure)
    return start + "failed after " + Files(written) + " written" + place + ": " + failure->message;
  const std::string skipped =
      plan.skipped.empty() ? "" : ", " + std::to_string(plan.skipped.size()) + " already there";
  return start + Files(written) + " written" + skipped + place;
}

}  // namespace snipora::cli
