#include "ranges/piece_names.h"

#include <set>

#include "foundation/text_encoding.h"

namespace snipora::ranges {

namespace {

// Longest file name in bytes (Linux file systems), less room for " (nnn)".
constexpr size_t kMaxNameBytes = 255;
constexpr size_t kSuffixRoom = 8;
constexpr size_t kMaxExtensionBytes = 32;

struct PieceFields {
  uint64_t number = 0;
  const LabeledRange* range = nullptr;
  std::string source;
};

// The template with its fields filled in; with fields null only checked.
// Empty error when it is well formed.
std::string Expand(const std::string& nameTemplate, const PieceFields* fields, std::string& error) {
  std::string out;
  for (size_t i = 0; i < nameTemplate.size(); ++i) {
    if (nameTemplate[i] != '{') {
      out += nameTemplate[i];
      continue;
    }
    const size_t close = nameTemplate.find('}', i);
    if (close == std::string::npos) {
      error = "a '{' without '}'";
      return "";
    }
    const std::string field = nameTemplate.substr(i + 1, close - i - 1);
    i = close;
    const bool paddedNumber =
        field.size() == 4 && field.compare(0, 3, "n:0") == 0 && field[3] >= '1' && field[3] <= '9';
    std::string value;
    if (field == "n" || paddedNumber) {
      value = fields ? std::to_string(fields->number) : "";
      const size_t width = paddedNumber ? static_cast<size_t>(field[3] - '0') : 0;
      if (value.size() < width) value.insert(0, width - value.size(), '0');
    } else if (field == "label") {
      value = fields ? fields->range->label : "";
    } else if (field == "source" || field == "stem") {
      value = fields ? fields->source : "";
    } else if (field == "start") {
      value = fields ? std::to_string(fields->range->startFrame) : "";
    } else if (field == "end") {
      value = fields ? std::to_string(fields->range->endFrame) : "";
    } else {
      error =
          "unknown field {" + field + "} (known: {n} {n:02} {label} {stem} {source} {start} {end})";
      return "";
    }
    out += value;
  }
  return out;
}

// True when the template's text after its last field has a '.' with
// something after it: the template chose its own extension.
bool HasOwnExtension(const std::string& nameTemplate) {
  const size_t lastField = nameTemplate.rfind('}');
  const std::string tail =
      lastField == std::string::npos ? nameTemplate : nameTemplate.substr(lastField + 1);
  const size_t dot = tail.rfind('.');
  return dot != std::string::npos && dot + 1 < tail.size() &&
         (dot > 0 || lastField != std::string::npos);
}

// At most maxBytes of text, not ending inside a UTF-8 sequence.
std::string CutUtf8(const std::string& text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  size_t cut = maxBytes;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return text.substr(0, cut);
}

}  // namespace

std::string CheckNameTemplate(const std::string& nameTemplate) {
  std::string error;
  Expand(nameTemplate, nullptr, error);
  if (error.empty() && nameTemplate.empty()) error = "the template is empty";
  return error;
}

std::vector<std::string> PieceNames(const std::string& nameTemplate,
                                    const std::vector<LabeledRange>& ranges,
                                    const std::string& sourceName,
                                    const std::string& defaultExtension) {
  const bool ownExtension = HasOwnExtension(nameTemplate);
  std::vector<std::string> names;
  std::set<std::string> used;
  for (size_t i = 0; i < ranges.size(); ++i) {
    const PieceFields fields{i + 1, &ranges[i], sourceName};
    std::string error;
    // A file name is UTF-8 text like every name the system shows.
    std::string stem = ReplaceNonUtf8(Expand(nameTemplate, &fields, error), "_");
    for (char& c : stem) {
      if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
    }
    std::string extension = defaultExtension;
    if (ownExtension) {
      extension = CutUtf8(stem.substr(stem.rfind('.')), kMaxExtensionBytes);
      stem.resize(stem.rfind('.'));
    }
    // Blanks at either end of a name only confuse; a name of nothing but
    // dots is no name at all.
    stem = stem.substr(0, stem.find_last_not_of(' ') + 1);
    stem.erase(0, std::min(stem.find_first_not_of(' '), stem.size()));
    if (stem.find_first_not_of('.') == std::string::npos) {
      stem = std::to_string(i + 1);
      if (stem.size() < 2) stem.insert(0, "0");
    }
    stem = CutUtf8(stem, kMaxNameBytes - kSuffixRoom - extension.size());
    std::string name = stem + extension;
    for (int copy = 2; !used.insert(name).second; ++copy) {
      name = stem + " (" + std::to_string(copy) + ")" + extension;
    }
    names.push_back(name);
  }
  return names;
}

}  // namespace snipora::ranges
