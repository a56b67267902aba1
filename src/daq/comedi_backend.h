// The comedilib binding: the real ComediSeam, built only where comedilib is installed. This
// unit alone includes the library's header.
#pragma once

#include <memory>

#include "daq/comedi_seam.h"

namespace velquor {

// The calls of the installed comedilib; open devices are closed when it is destroyed.
std::unique_ptr<ComediSeam> MakeComediLibrary();

}  // namespace velquor
