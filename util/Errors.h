// The error classes of the program. EGeneralError is the framework's general
// error class: every error that the framework and the program raise derives
// from it, and start-up and the event loop show its message.
#pragma once
#include <exception>
#include <string>

namespace util {

class EGeneralError : public std::exception {
 public:
  explicit EGeneralError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

// A file that exists could not be opened (for example: held exclusively).
class EFOpenError : public EGeneralError {
 public:
  using EGeneralError::EGeneralError;
};

// A file that does not exist could not be created.
class EFCreateError : public EGeneralError {
 public:
  using EGeneralError::EGeneralError;
};

// The registry refused a read of the wrong type or a write.
class ERegistryError : public EGeneralError {
 public:
  using EGeneralError::EGeneralError;
};

}  // namespace util
