#include "cli/run_report.h"

#include <cstdio>

#include "platform/system/fs_ops.h"

namespace snipora::cli {

namespace {

// The length of the valid UTF-8 sequence at text[at]; 0 when there is none.
size_t Utf8Length(const std::string& text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  const size_t length = lead < 0x80                   ? 1
                        : lead >= 0xC2 && lead < 0xE0 ? 2
                        : lead >= 0xE0 && lead < 0xF0 ? 3
                        : lead >= 0xF0 && lead < 0xF5 ? 4
                                                      : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  }
  const unsigned second = byte(at + 1);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
      (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
    return 0;  // overlong, a surrogate, or beyond U+10FFFF
  }
  return length;
}

// text as a JSON string; a byte that is no UTF-8 becomes U+FFFD.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t length = Utf8Length(text, i);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else if (length == 0) {
      out += "\\ufffd";
    } else {
      out.append(text, i, length);
      i += length;
      continue;
    }
    ++i;
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
