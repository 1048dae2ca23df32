// The one exception the engine throws: a SQL Server style error with its number, severity,
// state and the line of the batch it happened on.
#pragma once

#include <stdexcept>
#include <string>

namespace xfer::engine {

class SqlError : public std::runtime_error {
 public:
  SqlError(int number, std::string message, int severity = 16, int state = 1, int line = 0)
      : std::runtime_error(message),
        number_(number),
        severity_(severity),
        state_(state),
        line_(line),
        message_(std::move(message)) {}

  int number() const { return number_; }
  int severity() const { return severity_; }
  int state() const { return state_; }
  int line() const { return line_; }
  const std::string& message() const { return message_; }
  void set_line(int line) { line_ = line; }

 private:
  int number_;
  int severity_;
  int state_;
  int line_;
  std::string message_;
};

// Well-known SQL Server error numbers the engine raises.
namespace err {
constexpr int kInvalidColumn = 207;
constexpr int kInvalidObject = 208;
constexpr int kAmbiguousColumn = 209;
constexpr int kConversionFailed = 245;
constexpr int kSyntax = 102;
constexpr int kSyntaxKeyword = 156;
constexpr int kMustDeclare = 137;
constexpr int kUnknownFunction = 195;
constexpr int kWrongArgCount = 174;
constexpr int kTruncation = 8152;
constexpr int kDuplicateKey = 2627;
constexpr int kUniqueIndex = 2601;
constexpr int kNullNotAllowed = 515;
constexpr int kObjectExists = 2714;
constexpr int kCannotDropTable = 3701;
constexpr int kDatabaseExists = 1801;
constexpr int kDatabaseMissing = 911;
constexpr int kCannotDropDatabase = 3701;
constexpr int kDivideByZero = 8134;
constexpr int kProcMissing = 2812;
constexpr int kIdentityInsert = 544;
constexpr int kLockTimeout = 1222;    // another connection holds the database
constexpr int kDiskFull = 1105;       // no room left for the database
constexpr int kIoError = 823;         // the operating system failed a read or write
constexpr int kDamagedHeader = 5172;  // the file is not a database
constexpr int kDamagedPage = 824;     // the file is a database with damaged pages
constexpr int kUnsupported = 40000;   // our own: a T-SQL feature the engine does not take
constexpr int kUser = 50000;          // RAISERROR with a message text
}  // namespace err

}  // namespace xfer::engine
