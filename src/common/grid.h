// Fixed-size arrays with the shapes the record and the analysis use: every access is
// checked against its bound and a bad index throws std::out_of_range instead of writing.
#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace velquor {

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
    if (row < 0 || row >= Rows || i < 0 || i >= Count) {
      throw std::out_of_range("index (" + std::to_string(row) + ", " + std::to_string(i) +
                              ") outside (0.." + std::to_string(Rows - 1) + ", 0.." +
                              std::to_string(Count - 1) + ")");
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
    if (i < 0 || i >= Count) {
      throw std::out_of_range("index " + std::to_string(i) + " outside 0.." +
                              std::to_string(Count - 1));
    }
    return static_cast<std::size_t>(i);
  }
  std::array<T, Count> data_{};
};

// Samples occupy indices 1..DataNum of every record array; index 0 is not a sample.
inline constexpr int kMaxSamples = 2000;
inline constexpr int kSampleSlots = kMaxSamples + 1;

}  // namespace velquor
