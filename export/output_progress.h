#pragma once

#include <cstdint>
#include <vector>

#include "export/export_interfaces.h"
#include "export/export_plan.h"

namespace snipora {

// The progress of writing a plan told in outputs, for pieces written from
// several ranges each (extended copies): the overall position counts the
// outputs begun, the file bar runs over each output's bytes (FLAC outputs,
// written side by side, keep their one bar over all bytes). WriteExport
// itself tells ranges.
class COutputProgress : public IExportProgress {
 public:
  COutputProgress(const ExportPlan& plan, IExportProgress& progress);

  void SetTotalLength(uint64_t bytes) override { progress_.SetTotalLength(bytes); }
  void SetFileRange(uint64_t rangeBytes) override;
  void SetFilePosition(uint64_t bytesDone) override;
  void SetOverallRange(uint32_t ranges) override;
  void SetOverallPosition(uint32_t rangesBegun) override;
  void Pump(bool mainWindowToo) override { progress_.Pump(mainWindowToo); }
  bool IsCancelled() const override { return progress_.IsCancelled(); }
  void OutputWritten(size_t index) override { progress_.OutputWritten(index); }
  void OutputFailed(size_t index) override { progress_.OutputFailed(index); }

 private:
  struct RangePlace {
    uint32_t output = 0;
    uint64_t bytesBefore = 0;  // of its output's ranges before it
  };

  IExportProgress& progress_;
  std::vector<RangePlace> ranges_;  // every range of the plan, in writing order
  std::vector<uint64_t> outputBytes_;
  bool sideBySide_ = false;  // FLAC outputs: the file bar is already over all bytes
  RangePlace current_;
};

}  // namespace snipora
