#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "ranges/labeled_range.h"

namespace snipora::ranges::test {

using Piece = std::tuple<uint64_t, uint64_t, std::string>;  // start, end, label

// The ranges without their line numbers, for comparing with expectations.
inline std::vector<Piece> Pieces(const std::vector<LabeledRange>& ranges) {
  std::vector<Piece> pieces;
  for (const LabeledRange& r : ranges) pieces.emplace_back(r.startFrame, r.endFrame, r.label);
  return pieces;
}

inline std::vector<LabeledRange> Ranges(const std::vector<Piece>& pieces) {
  std::vector<LabeledRange> ranges;
  for (const auto& [start, end, label] : pieces) ranges.push_back({start, end, label, 0});
  return ranges;
}

}  // namespace snipora::ranges::test
