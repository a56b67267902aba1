// Errors as values: a Problem says which file, line and field went wrong and why;
// Result<T> carries either a value or a Problem, Status carries only the Problem.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace velquor {

struct Problem {
  std::string file;  // path or name of the input concerned, empty when none
  int line = 0;      // 1-based line, 0 when not known
  int field = 0;     // 1-based field within the line, 0 when not known
  std::string what;  // what was wrong, in words the operator understands

  // "file, line 3, field 2: what" with the parts that are known.
  std::string Describe() const;
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}            // NOLINT(google-explicit-constructor)
  Result(Problem problem) : v_(std::move(problem)) {}  // NOLINT(google-explicit-constructor)

  bool ok() const { return std::holds_alternative<T>(v_); }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<T>(v_); }
  const T& value() const { return std::get<T>(v_); }
  const Problem& problem() const { return std::get<Problem>(v_); }

 private:
  std::variant<T, Problem> v_;
};

class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Problem problem) : problem_(std::move(problem)) {}  // NOLINT(google-explicit-constructor)
  static Status Ok() { return {}; }

  bool ok() const { return !problem_.has_value(); }
  explicit operator bool() const { return ok(); }
  const Problem& problem() const { return *problem_; }

 private:
  std::optional<Problem> problem_;
};

}  // namespace velquor
