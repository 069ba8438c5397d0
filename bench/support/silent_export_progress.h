#pragma once

#include "export/export_interfaces.h"

namespace snipora::bench {

// An export progress display that shows nothing and is never cancelled.
struct SilentExportProgress : IExportProgress {
  void SetFileRange(uint64_t) override {}
  void SetFilePosition(uint64_t) override {}
  void SetOverallRange(uint32_t) override {}
  void SetOverallPosition(uint32_t) override {}
  void Pump(bool) override {}
  bool IsCancelled() const override { return false; }
};

}  // namespace snipora::bench
