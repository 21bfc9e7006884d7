// What every batch button of the dialogs does: run the core's batch engine
// over the two files, tell the user when the run failed or left lines out,
// and open the written file with the desktop's default program.
#pragma once

#include <string>

#include "geotools/compute/batch.h"

class wxWindow;

namespace georeckon {

// Returns true when the output file was written (and handed to the desktop).
// Lines left out (unreadable or not computable) are told after the run:
// "已转换 N 行，跳过 K 行" with the first few line numbers and reasons.
// A zone change whose central meridians lie more than 6° apart warns once
// before the run, however many lines the file holds; a Gauss projection in
// zones warns once after the run about points outside their zone and about
// zone prefixes that do not match the central meridian.
bool RunBatchButton(wxWindow* parent, BatchFunction function, const BatchSettings& settings,
                    const std::string& in_path, const std::string& out_path);

}  // namespace georeckon
