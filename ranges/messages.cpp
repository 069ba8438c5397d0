#include "ranges/messages.h"

#include <vector>

namespace snipora::ranges {

namespace {

MessageTranslator activeTranslator = nullptr;

}  // namespace

void SetMessageTranslator(MessageTranslator translator) {
  activeTranslator = translator;
}

std::string Say(const char* text, std::initializer_list<std::string> values) {
  const std::string pattern = activeTranslator ? activeTranslator(text) : std::string(text);
  const std::vector<std::string> value(values);
  std::string out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const size_t index = i + 1 < pattern.size() ? static_cast<size_t>(pattern[i + 1] - '1') : 9;
    if (pattern[i] == '%' && index < value.size()) {
      out += value[index];
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace snipora::ranges
