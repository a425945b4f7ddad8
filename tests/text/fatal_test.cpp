#include "text/fatal.h"

#include <gtest/gtest.h>

#include "text/gbk.h"

namespace qv {
namespace {

TEST(RuntimeErrorText, HasHeadingCodeLineAndMessageLine) {
  EXPECT_EQ(ToUtf8(RuntimeErrorText(4, IndexBelowOneMessage())),
            "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n");
  EXPECT_EQ(ToUtf8(RuntimeErrorText(0, FromUtf8("载入启动窗口失败"))),
            "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
  EXPECT_EQ(ToUtf8(RuntimeErrorText(7, Text())), "运行时出错!\r\n\r\n错误代码：7\r\n\r\n");
}

using FatalDeathTest = ::testing::Test;

TEST(FatalDeathTest, ItemAtOutOfRangeEndsTheProcessWithTheBoxText) {
  TextArray array = NewTextArray();
  AppendItem(array, "a");
  EXPECT_EXIT((void)ItemAt(array, 0), ::testing::ExitedWithCode(255),
              "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n");
  EXPECT_EXIT((void)ItemAt(array, 2), ::testing::ExitedWithCode(255),
              "错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n");
}

TEST(FatalDeathTest, OutOfMemoryReportHasNoCodeLine) {
  EXPECT_EXIT(ReportOutOfMemory(123456), ::testing::ExitedWithCode(255),
              "运行时出错!\r\n\r\n错误信息：分配 123456 字节内存失败!\r\n");
}

std::string* g_seen = nullptr;
void RecordingReporter(const Text& text) { *g_seen = ToUtf8(text); }

TEST(FatalDeathTest, InstalledReporterReceivesTheText) {
  EXPECT_EXIT(
      {
        std::string seen;
        g_seen = &seen;
        SetFatalReporter(&RecordingReporter);
        atexit([] { std::fputs("exit callback ran", stderr); });
        ReportRuntimeError(0, FromUtf8("载入启动窗口失败"));
      },
      ::testing::ExitedWithCode(255), "^$");
}

}  // namespace
}  // namespace qv
