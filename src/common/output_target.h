// What a program may write over: nothing, or a regular file (directly or through links) that
// is none of the files it reads. A device, FIFO, socket or directory is never replaced.
#pragma once

#include <string>
#include <vector>

#include "common/result.h"

namespace velquor {

// Ok when nothing stands at the native path (a dangling link counts as nothing) or a regular
// file that is not one of `inputs` (native paths, compared as files); else the problem says
// what stands there and that it is kept, whether or not replacing was asked for.
Status CheckOutputTarget(const std::string& native_path,
                         const std::vector<std::string>& inputs = {});

}  // namespace velquor
