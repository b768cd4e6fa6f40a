// What the cookie and cache manager takes from Windows besides the cache: the host
// of an entry's URL, a cached file read within a bound and copied, and pictures
// decoded by OLE with their natural size.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "bitmap_file.h"
#include "cache_platform.h"

namespace tracewell::win {
namespace {

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

// A file in the temporary folder for as long as the test needs it.
class CTemporaryFile {
 public:
  CTemporaryFile(const wchar_t* name, const std::string& bytes) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    m_path = std::wstring(folder) + name;
    const HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  ~CTemporaryFile() { DeleteFileW(m_path.c_str()); }
  CTemporaryFile(const CTemporaryFile&) = delete;
  CTemporaryFile& operator=(const CTemporaryFile&) = delete;
  const std::wstring& Path() const { return m_path; }

 private:
  std::wstring m_path;
};

TEST(CacheHostParser, GivesTheHostAsWrittenAndNothingForWhatIsNoUrl) {
  const CWinUrlHostParser urls;
  EXPECT_EQ(u"Www.Example.test", urls.HostName(u"http://Www.Example.test:8080/a/b?c=d"));
  EXPECT_EQ(u"127.0.0.1", urls.HostName(u"http://127.0.0.1/"));
  EXPECT_EQ(std::nullopt, urls.HostName(u"no url at all"));
  // The host buffer holds 259 code units and the terminator.
  const std::u16string longest(kHostNameBufferLength - 1, u'h');
  EXPECT_EQ(longest, urls.HostName(u"http://" + longest + u"/"));
  EXPECT_EQ(std::nullopt, urls.HostName(u"http://" + longest + u"h/"));
}

TEST(CacheFiles, ReadsUpToTheBoundWhileOthersReadAndCopiesReplacing) {
  const std::string bytes("one\0two", 7);
  const CTemporaryFile source(L"tracewell-cache-files-source.htm", bytes);
  CWinCacheFiles files;
  EXPECT_EQ(bytes, files.ReadFileBytes(U16(source.Path()), 100));
  EXPECT_EQ("one", files.ReadFileBytes(U16(source.Path()), 3));
  {
    // Another reader keeps it open: the preview still reads it.
    const HANDLE reader = CreateFileW(source.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(bytes, files.ReadFileBytes(U16(source.Path()), 100));
    CloseHandle(reader);
  }
  EXPECT_EQ(std::nullopt, files.ReadFileBytes(U16(source.Path() + L".gone"), 100));

  const CTemporaryFile target(L"tracewell-cache-files-target.htm", "older and longer");
  EXPECT_EQ(std::nullopt, files.CopyFileReplacing(U16(source.Path()), U16(target.Path())));
  EXPECT_EQ(bytes, files.ReadFileBytes(U16(target.Path()), 100));
  EXPECT_EQ(std::optional<std::uint32_t>(ERROR_FILE_NOT_FOUND),
            files.CopyFileReplacing(U16(source.Path() + L".gone"), U16(target.Path())));
}

TEST(PictureDecoder, GivesTheNaturalSizeInHundredthsOfAMillimetreAndRefusesTheRest) {
  const CWinPictureDecoder decoder;
  const auto picture = decoder.Decode(test::BitmapFile(96, 48, 0));
  ASSERT_NE(nullptr, picture);
  // Its pixels at the screen's resolution, in 0.01 mm (2540 to the inch).
  const HDC screen = GetDC(nullptr);
  const int dotsX = GetDeviceCaps(screen, LOGPIXELSX);
  const int dotsY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(static_cast<std::uint32_t>(MulDiv(96, 2540, dotsX)), picture->NaturalSize().width);
  EXPECT_EQ(static_cast<std::uint32_t>(MulDiv(48, 2540, dotsY)), picture->NaturalSize().height);
  EXPECT_EQ(nullptr, decoder.Decode("not a picture at all"));
  EXPECT_EQ(nullptr, decoder.Decode(""));
}

}  // namespace
}  // namespace tracewell::win
