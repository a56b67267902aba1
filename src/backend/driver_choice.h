// Choosing the acquisition backend from its command-line spelling (sim[:SEED],
// comedi[:DEVICE], replay:FILE) and the help text that describes the backends.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "common/result.h"
#include "daq/driver.h"

namespace velquor {

// The backend used when none is named.
inline constexpr std::string_view kDefaultDriverChoice = "sim";

// The driver a spelling names, or a problem saying what is wrong with it: an unknown backend,
// a seed that is not a whole number, comedi in a program built without it, a replay file
// that cannot be read (the problem then names its line and field).
Result<std::unique_ptr<AcqDriver>> ChooseDriver(std::string_view spelling);

// Whether this program was built with comedilib, so that "comedi" can be chosen.
bool ComediBuiltIn();

// The lines --help shows about the backends, each ending in a line feed.
std::string DriverChoiceHelp();

}  // namespace velquor
