#include "host/ErrorText.h"

#include "adodb/Error.h"

namespace storeadjust {

namespace {

// The embedded file's own words for these ("database is locked", "attempt to write a readonly
// database", "database or disk is full") tell a clerk neither what happened to his work nor what
// to do; the statement did nothing and its transaction is rolled back whole.
const char* HindranceText(adodb::Error::Hindrance hindrance) {
  switch (hindrance) {
    case adodb::Error::Hindrance::LockedByOthers:
      return "数据库正被其他操作员占用，等候超时，本次操作未做任何改变，请稍后再试！";
    case adodb::Error::Hindrance::ReadOnlyFile:
      return "数据库文件是只读的，不能保存任何修改，本次操作未做任何改变！";
    case adodb::Error::Hindrance::DiskFull:
      return "磁盘空间已满，数据写不进去，本次操作未做任何改变，请腾出磁盘空间后再试！";
    case adodb::Error::Hindrance::ConnectionLost:
      return "与数据库服务器的连接已断开，本次操作可能没有完成，请重新登录后查看单据再继续！";
    case adodb::Error::Hindrance::None:
      break;
  }
  return nullptr;
}

// A figure beyond what its column holds fails its statement with the server's English (the
// embedded database gives the same words): an audit taking a batch's balance past 14 digits, an
// amount whose tax figures go past money's range. The clerk is told which limit, and that the
// statement wrote nothing; the transaction around it is rolled back whole by its owner.
const char* ColumnLimitText(const std::string& description) {
  if (description.starts_with("Arithmetic overflow error")) {
    return "数字超出了数据库能存放的范围（数量的整数部分最多14位，金额的绝对值最大922337203685477），没有写入！";
  }
  if (description.find("String or binary data would be truncated") != std::string::npos) {
    return "文字超出了数据库中这一栏能存放的长度，没有写入！";
  }
  return nullptr;
}

}  // namespace

std::string ErrorText(const std::exception& error) {
  const auto* adoError = dynamic_cast<const adodb::Error*>(&error);
  if (!adoError) return error.what();
  if (const char* text = HindranceText(adoError->GetHindrance())) return text;
  if (const char* text = ColumnLimitText(adoError->Description())) return text;
  return adoError->Description();
}

}  // namespace storeadjust
