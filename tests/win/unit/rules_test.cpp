// The small rules of the entry points: which processes may load the library and
// which DllInstall command line asks for per-user registration; where the manual is.

#include <windows.h>

#include <gtest/gtest.h>

#include "help_topics.h"
#include "host_check.h"
#include "registration.h"

namespace tracewell::win {
namespace {

TEST(HostCheck, AcceptsTheBrowserAndTheRegistrationToolInAnyCase) {
  for (const wchar_t* path : {L"C:\\Program Files\\Internet Explorer\\iexplore.exe",
                              L"C:\\PROGRAM FILES\\INTERNET EXPLORER\\IEXPLORE.EXE",
                              L"C:\\Windows\\System32\\RegSvr32.Exe",
                              // The rule is "contains": a folder of that name is enough.
                              L"C:\\tools\\regsvr32.exe.d\\other.exe"}) {
    EXPECT_TRUE(IsAcceptedHost(path)) << path;
  }
  for (const wchar_t* path : {L"C:\\Windows\\explorer.exe", L"C:\\ie\\iexplorer.exe",
                              L"C:\\Windows\\System32\\regsvr64.exe", L"iexplore", L""}) {
    EXPECT_FALSE(IsAcceptedHost(path)) << path;
  }
}

TEST(DllInstallCommand, OnlyTheWordUserInAnyCaseMeansPerUser) {
  for (const wchar_t* command : {L"user", L"USER", L"uSeR"}) EXPECT_TRUE(IsPerUserCommand(command)) << command;
  for (const wchar_t* command : {L"users", L"USERX", L"use", L" user", L""}) {
    EXPECT_FALSE(IsPerUserCommand(command)) << command;
  }
  EXPECT_FALSE(IsPerUserCommand(nullptr));
}

TEST(HelpFilePath, TheManualIsBesideTheLibraryWhateverTheLibraryIsCalled) {
  EXPECT_EQ(L"C:\\Program Files\\Tracewell\\Tracewell.html",
            HelpFilePath(L"C:\\Program Files\\Tracewell\\tracewell.dll"));
  // Only the last name goes: a folder with a dot stays whole.
  EXPECT_EQ(L"D:\\tools.v2\\bar\\Tracewell.html", HelpFilePath(L"D:\\tools.v2\\bar\\renamed.dll"));
  EXPECT_EQ(L"\\\\server\\share\\Tracewell.html", HelpFilePath(L"\\\\server\\share\\TRACEWELL.DLL"));
}

}  // namespace
}  // namespace tracewell::win
