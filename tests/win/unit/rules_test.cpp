// The small rules of the entry points: which processes may load the library and
// which DllInstall command line asks for per-user registration.

#include <windows.h>

#include <gtest/gtest.h>

#include "host_check.h"
#include "registration.h"

namespace tracewell::win {
namespace {

TEST(HostCheck, AcceptsTheBrowserAndTheRegistrationToolInAnyCase) {
  EXPECT_TRUE(IsAcceptedHost(L"C:\\Program Files\\Internet Explorer\\iexplore.exe"));
  EXPECT_TRUE(IsAcceptedHost(L"C:\\PROGRAM FILES\\INTERNET EXPLORER\\IEXPLORE.EXE"));
  EXPECT_TRUE(IsAcceptedHost(L"C:\\Windows\\System32\\RegSvr32.Exe"));
  // The rule is "contains": a folder of that name is enough.
  EXPECT_TRUE(IsAcceptedHost(L"C:\\tools\\regsvr32.exe.d\\other.exe"));
}

TEST(HostCheck, RefusesEveryOtherProgram) {
  EXPECT_FALSE(IsAcceptedHost(L"C:\\Windows\\explorer.exe"));
  EXPECT_FALSE(IsAcceptedHost(L"C:\\ie\\iexplorer.exe"));
  EXPECT_FALSE(IsAcceptedHost(L"C:\\Windows\\System32\\regsvr64.exe"));
  EXPECT_FALSE(IsAcceptedHost(L"iexplore"));
  EXPECT_FALSE(IsAcceptedHost(L""));
}

TEST(DllInstallCommand, OnlyTheWordUserInAnyCaseMeansPerUser) {
  EXPECT_TRUE(IsPerUserCommand(L"user"));
  EXPECT_TRUE(IsPerUserCommand(L"USER"));
  EXPECT_TRUE(IsPerUserCommand(L"uSeR"));
  EXPECT_FALSE(IsPerUserCommand(L"users"));
  EXPECT_FALSE(IsPerUserCommand(L"USERX"));
  EXPECT_FALSE(IsPerUserCommand(L"use"));
  EXPECT_FALSE(IsPerUserCommand(L" user"));
  EXPECT_FALSE(IsPerUserCommand(L""));
  EXPECT_FALSE(IsPerUserCommand(nullptr));
}

}  // namespace
}  // namespace tracewell::win
