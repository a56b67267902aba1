// Paths are composed and stored with "\" as separator; this maps one to the local form
// at the point where a file is opened.
#pragma once

#include <string>
#include <string_view>

namespace velquor {

// "\" becomes "/", and a leading drive such as "C:" before a separator is dropped, so
// "C:\data\RUN_dat.csv" opens "/data/RUN_dat.csv" and "data\x.csv" stays relative.
std::string ToNativePath(std::string_view stored);

}  // namespace velquor
