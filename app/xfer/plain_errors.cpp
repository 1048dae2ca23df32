#include "plain_errors.h"

#include <iostream>

#include "engine/sqlite_util.h"

namespace xfer::cli {
namespace {

// Text between `open` and the next quote after it in `s`, or empty.
std::string Quoted(const std::string& s, const std::string& open) {
  size_t a = s.find(open);
  if (a == std::string::npos) return {};
  a += open.size();
  size_t b = s.find('\'', a);
  return b == std::string::npos ? std::string() : s.substr(a, b - a);
}

const char kKept[] =
    "جدولهايي که پيش از اين منتقل شده اند مي مانند و جدول در حال انتقال بدون تغيير ماند.";

}  // namespace

std::string PlainMessage(const engine::SqlError& e, const std::string& database) {
  std::string text;
  switch (e.number()) {
    case engine::err::kDamagedHeader:
    case engine::err::kDamagedPage: {
      std::string name = Quoted(e.message(), "Database '");
      std::string file = Quoted(e.message(), "the file '");
      if (name.empty()) {
        text = "يکي از فايلهاي بانک اطلاعاتي آسيب ديده است و کار متوقف شد.";
      } else {
        text = "بانک اطلاعاتي " + name + " آسيب ديده است (فايل " + file +
               ") و کار پيش از هر تغييري در آن متوقف شد.";
      }
      break;
    }
    case engine::err::kLockTimeout:
      text = "بانک اطلاعاتي " + database + " در اختيار انتقال يا کاربر ديگري است؛ پس از " +
             std::to_string(engine::kBusyWaitMs / 1000) + " ثانيه انتظار کار متوقف شد. " + kKept;
      break;
    case engine::err::kDiskFull:
      text = std::string("ديسک پر است و انتقال متوقف شد. ") + kKept;
      break;
    case engine::err::kIoError:
      text = std::string(
                 "خواندن يا نوشتن فايل بانک اطلاعاتي با خطاي ديسک روبرو شد و انتقال متوقف شد. ") +
             kKept;
      break;
    default:
      return {};
  }
  return text + "\n(Msg " + std::to_string(e.number()) + ": " + e.message() + ")\n";
}

int ReportSqlError(const engine::SqlError& e, const std::string& database, db::Dialogs& dialogs) {
  if (std::string plain = PlainMessage(e, database); !plain.empty()) {
    dialogs.ShowDlgMsg(plain.substr(0, plain.find('\n')), "", "1ER");
    std::cerr << plain.substr(plain.find('\n') + 1);
    return 1;
  }
  std::cerr << "Msg " << e.number() << ", Level " << e.severity() << ": " << e.message() << "\n";
  return 1;
}

}  // namespace xfer::cli
