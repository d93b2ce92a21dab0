#pragma once

#include <string>
#include <utility>
#include <variant>

namespace kd {

// Why an operation failed, in Russian, for the user ("нет места на диске").
struct Failure {
  std::string reason;
};

// The outcome of an operation that can fail: its value, or the reason it failed. Tested as a
// bool, true means success: `if (!result) Show(result.Reason());`.
template <typename T>
class Result {
 public:
  Result(T value) : outcome_(std::move(value)) {}  // NOLINT: a value converts, as with std::expected
  Result(Failure failure) : outcome_(std::move(failure)) {}  // NOLINT

  bool Ok() const { return std::holds_alternative<T>(outcome_); }
  explicit operator bool() const { return Ok(); }
  const T& operator*() const& { return std::get<T>(outcome_); }
  T&& operator*() && { return std::get<T>(std::move(outcome_)); }
  const T* operator->() const { return &std::get<T>(outcome_); }
  const std::string& Reason() const { return std::get<Failure>(outcome_).reason; }

 private:
  std::variant<T, Failure> outcome_;
};

// The outcome of an operation that gives nothing back but can fail.
template <>
class Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failed_(true), reason_(std::move(failure.reason)) {}  // NOLINT

  bool Ok() const { return !failed_; }
  explicit operator bool() const { return Ok(); }
  const std::string& Reason() const { return reason_; }

 private:
  bool failed_ = false;
  std::string reason_;
};

using Status = Result<void>;

}  // namespace kd
