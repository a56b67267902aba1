// What File Option says when it is brought up for a measurement that waits to be saved:
// which measurement waits, and which naming set Save will write it with.
#pragma once

#include <string>
#include <string_view>

#include "files/naming.h"

namespace velquor {

// "cycle of 10:42:07, 2000 samples at 1 ms, not saved".
std::string WaitingText(std::string_view taken_at, int samples, double interval_ms);

// "Save writes it with the Manual Save set as M0000006 (data/M0000006_dat.csv)", the path as
// this system shows it.
std::string SaveSetText(int save_flag, const ComposedNames& names);

}  // namespace velquor
