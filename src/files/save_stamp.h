// The date and time a file is written at, passed in so that a save can be repeated in a
// test; and the three ways the files spell it.
#pragma once

#include <string>

namespace velquor {

struct SaveStamp {
  int year = 2000;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The local date and time now.
SaveStamp CurrentStamp();
// The local date and time of a moment given in seconds since 1970.
SaveStamp StampAt(long long seconds);

// "MM-DD-YYYY", as in the date field of a stroke row.
std::string DateText(const SaveStamp& s);
// "hh:mm:ss" on the 24-hour clock.
std::string TimeText(const SaveStamp& s);
// "YYYY-MM-DD hh:mm", the date and time as reports and notices give them.
std::string IsoStampText(const SaveStamp& s);
// "MMDDhhmm", the name of a dated calibration copy.
std::string CopyStampText(const SaveStamp& s);

}  // namespace velquor
