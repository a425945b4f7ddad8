// The fatal report: one box with a fixed text, then the end of the process.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/text.h"

namespace qv {

// Shows the report text (GBK) to the user. Installed by the front end: a
// message box in the window, standard error in the command-line tool.
using FatalReporter = void (*)(const Text& reportText);

// Installs the reporter; nullptr restores the default (standard error, UTF-8).
void SetFatalReporter(FatalReporter reporter);

// The box text: "运行时出错!\r\n\r\n", then "错误代码：<code>\r\n\r\n" when code is
// not 0, then "错误信息：<message>\r\n" when the message is not empty.
[[nodiscard]] Text RuntimeErrorText(std::int32_t code, const Text& message);

// Shows RuntimeErrorText through the reporter and ends the process with exit
// code -1 (255) without running exit callbacks.
[[noreturn]] void ReportRuntimeError(std::int32_t code, const Text& message);

// Code 0 report "分配 <size> 字节内存失败!" for memory that could not be obtained.
[[noreturn]] void ReportOutOfMemory(std::size_t requestedBytes);

[[nodiscard]] const Text& IndexBelowOneMessage();    // "数组成员引用下标必须大于等于1"
[[nodiscard]] const Text& IndexAboveCountMessage();  // "数组成员引用下标超出定义范围"

}  // namespace qv
