#include "text/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "text/gbk.h"

namespace qv {

namespace {

void WriteToStandardError(const Text& reportText) {
  const std::string utf8 = ToUtf8(reportText);
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fflush(stderr);
}

FatalReporter g_reporter = &WriteToStandardError;

}  // namespace

void SetFatalReporter(FatalReporter reporter) { g_reporter = reporter != nullptr ? reporter : &WriteToStandardError; }

Text RuntimeErrorText(std::int32_t code, const Text& message) {
  std::string text = FromUtf8("运行时出错!\r\n\r\n").Bytes();
  if (code != 0) {
    text += FromUtf8("错误代码：").Bytes();
    text += std::to_string(code);
    text += "\r\n\r\n";
  }
  if (!message.IsEmpty()) {
    text += FromUtf8("错误信息：").Bytes();
    text += message.View();
    text += "\r\n";
  }
  return Text::Present(std::move(text));
}

void ReportRuntimeError(std::int32_t code, const Text& message) {
  g_reporter(RuntimeErrorText(code, message));
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(-1);
}

void ReportOutOfMemory(std::size_t requestedBytes) {
  // Built without the allocator's help beyond a few bytes: memory is short.
  const std::string size = std::to_string(requestedBytes);
  ReportRuntimeError(0, Text::Present(FromUtf8("分配 ").Bytes() + size + FromUtf8(" 字节内存失败!").Bytes()));
}

const Text& IndexBelowOneMessage() {
  static const Text message = FromUtf8("数组成员引用下标必须大于等于1");
  return message;
}

const Text& IndexAboveCountMessage() {
  static const Text message = FromUtf8("数组成员引用下标超出定义范围");
  return message;
}

}  // namespace qv
