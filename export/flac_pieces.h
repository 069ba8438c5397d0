#pragma once

#include <cstdint>
#include <vector>

#include "export/export_interfaces.h"
#include "export/export_job.h"
#include "export/flac_writer.h"

namespace snipora {

// Writes every piece (WriteFlacPiece), up to `threads` at a time on threads of
// their own (0: one more than the machine's cores), while the calling thread shows
// the progress and polls for cancel: the file bar runs over the decoded bytes
// of all pieces, the overall bar over the pieces begun; Pump(true) keeps the
// window responsive. Checked before anything is written: a source that
// cannot be written as FLAC (SourceFailed), a piece without ranges or with an
// empty, reversed or out-of-data range (BadRange), an output that is the
// source (OutputIsSource). The first failure, or a cancel, stops the pieces
// being written (nothing of them is left) and starts no more; finished pieces
// stay. Returns Done, the first failure, or Cancelled.
ExportOutcome WriteFlacPieces(const FlacEncoding& encoding, const std::vector<FlacPiece>& pieces,
                              IExportProgress& progress, uint32_t threads = 0);

}  // namespace snipora
