// Fixed-size arrays with the shapes the record and the analysis use: every access is
// checked against its bound and a bad index throws std::out_of_range instead of writing.
#pragma once

#include <array>
#include <cstddef>

namespace velquor {

// The throw lives out of line so the bounds check stays cheap in every sample loop.
[[noreturn]] void ThrowIndexOutOfRange(int row, int i, int rows, int count);

// Rows x Count elements, indexed (row, i); all rows of one index lie together.
template <class T, int Rows, int Count>
class Grid {
 public:
  static constexpr int kRows = Rows;
  static constexpr int kCount = Count;

  T& operator()(int row, int i) { return data_[Index(row, i)]; }
  const T& operator()(int row, int i) const { return data_[Index(row, i)]; }
  void Fill(const T& v) { data_.fill(v); }

 private:
  static std::size_t Index(int row, int i) {
    if (row < 0 || row >= Rows || i < 0 || i >= Count) [[unlikely]] {
      ThrowIndexOutOfRange(row, i, Rows, Count);
    }
    return static_cast<std::size_t>(i) * Rows + static_cast<std::size_t>(row);
  }
  std::array<T, static_cast<std::size_t>(Rows) * Count> data_{};
};

// Count elements, indexed (i).
template <class T, int Count>
class Line {
 public:
  static constexpr int kCount = Count;

  T& operator()(int i) { return data_[Index(i)]; }
  const T& operator()(int i) const { return data_[Index(i)]; }
  void Fill(const T& v) { data_.fill(v); }

 private:
  static std::size_t Index(int i) {
    if (i < 0 || i >= Count) [[unlikely]] {
      ThrowIndexOutOfRange(-1, i, 0, Count);
    }
    return static_cast<std::size_t>(i);
  }
  std::array<T, Count> data_{};
};

// Samples occupy indices 1..DataNum of every record array; index 0 is not a sample.
inline constexpr int kMaxSamples = 2000;
inline constexpr int kSampleSlots = kMaxSamples + 1;

}  // namespace velquor
