#include "cache/cache_preview.h"

#include <gtest/gtest.h>

#include "cache/save_cache_file.h"
#include "support/fake_cache.h"

namespace tracewell {
namespace {

using namespace tracewell::testing;
using namespace std::string_literals;

TEST(CachePreview, ClassifiesByTheTextAfterTheLastDotExactly) {
  struct Case {
    std::u16string_view name;
    std::u16string_view extension;
    PreviewClass kind;
  };
  const Case cases[] = {
      {u"page[1].htm", u"htm", PreviewClass::kText},     {u"a.b.html", u"html", PreviewClass::kText},
      {u"x.css", u"css", PreviewClass::kText},           {u"x.js", u"js", PreviewClass::kText},
      {u"x.php", u"php", PreviewClass::kText},           {u"x.xml", u"xml", PreviewClass::kText},
      {u"logo[2].gif", u"gif", PreviewClass::kPicture},  {u"x.bmp", u"bmp", PreviewClass::kPicture},
      {u"x.jpg", u"jpg", PreviewClass::kPicture},        {u"x.png", u"png", PreviewClass::kPicture},
      {u"favicon.ico", u"ico", PreviewClass::kPicture},  {u"style.CSS", u"CSS", PreviewClass::kNone},
      {u"photo.jpeg", u"jpeg", PreviewClass::kNone},     {u"css", u"css", PreviewClass::kText},
      {u"gif", u"gif", PreviewClass::kPicture},          {u"archive.htm.gz", u"gz", PreviewClass::kNone},
      {u"trailing.", u"", PreviewClass::kNone},          {u"", u"", PreviewClass::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileExtension(c.name), c.extension) << std::string(c.name.begin(), c.name.end());
    EXPECT_EQ(ClassifyPreviewFile(c.name), c.kind) << std::string(c.name.begin(), c.name.end());
  }
}

struct PreviewFixture {
  FakeFiles files;
  FakePictureDecoder pictures;
  CCachePreview preview{files, pictures};
};

TEST(CachePreview, ShowsTextUpToTheFirstZeroByteAndKeepsItWhenAFileIsGone) {
  PreviewFixture f;
  f.files.files = {{u"/c/a.htm", "<p>\x80 caf\xE9</p>\0hidden"s}, {u"/c/b.css", ""}};
  f.preview.PreviewCacheFile(u"a.htm", u"/c/a.htm");
  EXPECT_TRUE(f.preview.IsTextShown());
  EXPECT_EQ(f.preview.Text(), u"<p>\u20AC caf\u00E9</p>");
  EXPECT_EQ(f.files.readLimits, (std::vector<std::size_t>{kMaxPreviewBytes}));

  f.preview.PreviewCacheFile(u"gone.js", u"/c/gone.js");  // cannot be opened
  EXPECT_TRUE(f.preview.IsTextShown());
  EXPECT_EQ(f.preview.Text(), u"<p>\u20AC caf\u00E9</p>");
  f.preview.PreviewCacheFile(u"style.CSS", u"/c/b.css");  // no preview: nothing changes
  f.preview.PreviewCacheFile(u"data.bin", u"/c/b.css");
  EXPECT_EQ(f.preview.Text(), u"<p>\u20AC caf\u00E9</p>");
  EXPECT_EQ(f.files.readLimits.size(), 2u);
  f.preview.PreviewCacheFile(u"b.css", u"/c/b.css");  // an empty file empties the box
  EXPECT_EQ(f.preview.Text(), u"");
}

TEST(CachePreview, PaintsAPictureInTheAreaOrLeavesItErased) {
  PreviewFixture f;
  f.preview.SetArea({10, 20, 300, 200}, {96, 120});
  f.files.files = {{u"/c/small.gif", "PIC 2540 2540"},  // 96 x 120 pixels
                   {u"/c/wide.png", "PIC 12700 254"},   // 480 x 12 pixels
                   {u"/c/broken.jpg", "JFIF?"},
                   {u"/c/empty.bmp", ""},
                   {u"/c/page.htm", "text"},
                   {u"/c/huge.png", "PIC 1 1" + std::string(kMaxPreviewBytes, ' ')}};

  f.preview.PreviewCacheFile(u"page.htm", u"/c/page.htm");
  f.preview.PreviewCacheFile(u"small.gif", u"/c/small.gif");
  EXPECT_FALSE(f.preview.IsTextShown());
  ASSERT_NE(f.preview.Picture(), nullptr);
  EXPECT_EQ(f.preview.PictureRect(), (PixelRect{10 + 102, 20 + 40, 96, 120}));
  f.preview.PreviewCacheFile(u"wide.png", u"/c/wide.png");
  EXPECT_EQ(f.preview.PictureRect(), (PixelRect{10, 20 + 94, 300, 12}));
  EXPECT_EQ(f.files.readLimits.back(), kMaxPreviewBytes + 1);

  for (const char16_t* erasing : {u"broken.jpg", u"empty.bmp", u"missing.ico", u"huge.png"}) {
    f.preview.PreviewCacheFile(u"small.gif", u"/c/small.gif");
    f.preview.PreviewCacheFile(erasing, std::u16string(u"/c/") + erasing);
    EXPECT_EQ(f.preview.Picture(), nullptr) << std::string(erasing, erasing + 5);
    EXPECT_FALSE(f.preview.IsTextShown());
  }

  f.preview.PreviewCacheFile(u"small.gif", u"/c/small.gif");
  f.preview.PreviewCacheFile(u"notes.txt", u"/c/page.htm");  // no preview: the picture stays
  EXPECT_NE(f.preview.Picture(), nullptr);
  f.preview.PreviewCacheFile(u"page.htm", u"/c/page.htm");  // the text box covers it
  EXPECT_TRUE(f.preview.IsTextShown());
  EXPECT_EQ(f.preview.Picture(), nullptr);
  EXPECT_EQ(f.preview.Text(), u"text");
}

TEST(PicturePlacement, ConvertsHiMetricToPixelsRoundingDown) {
  EXPECT_EQ(HiMetricToPixels({2540, 2540}, {96, 96}), (PixelSize{96, 96}));
  EXPECT_EQ(HiMetricToPixels({2646, 5080}, {96, 144}), (PixelSize{100, 288}));  // 100.006
  EXPECT_EQ(HiMetricToPixels({26, 27}, {96, 96}), (PixelSize{0, 1}));            // 0.98, 1.02
  EXPECT_EQ(HiMetricToPixels({0xFFFFFFFF, 0xFFFFFFFF}, {2'000'000'000, -96}),
            (PixelSize{std::numeric_limits<int>::max(), 0}));
}

TEST(PicturePlacement, SqueezesOrCentresEachAxisOnItsOwn) {
  struct Case {
    PixelRect area;
    PixelSize picture;
    PixelRect placed;
  };
  const Case cases[] = {
      {{0, 0, 300, 200}, {100, 50}, {100, 75, 100, 50}},   // fits: centred on both axes
      {{5, 7, 301, 200}, {100, 51}, {105, 81, 100, 51}},   // odd differences round down
      {{5, 7, 300, 200}, {400, 50}, {5, 82, 300, 50}},     // too wide: squeezed across only
      {{5, 7, 300, 200}, {100, 250}, {105, 7, 100, 200}},  // too tall: squeezed down only
      {{5, 7, 300, 200}, {301, 201}, {5, 7, 300, 200}},    // both squeezed, ratio not kept
      {{5, 7, 300, 200}, {300, 200}, {5, 7, 300, 200}},    // exact fit
      {{0, 0, 300, 200}, {0, 0}, {150, 100, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(PlacePicture(c.area, c.picture), c.placed);
}

struct SaveFixture {
  CSelectableTextList list{4};
  FakeSaveFileDialog dialog;
  FakeFiles files;
  FakeMessageBox messages;
  void Save() { SaveCacheFileAs(list, dialog, files, messages); }
};

TEST(SaveCacheFileAs, CopiesTheFirstSelectedFileWhereTheUserSays) {
  SaveFixture f;
  f.Save();  // empty list
  f.list.AppendRow({u"a.htm", u"1", u"http://h/a", u"C:\\c\\a.htm"});
  f.list.AppendRow({u"b.gif", u"2", u"http://h/b", u"C:\\c\\b.gif"});
  f.list.AppendRow({u"c.js", u"3", u"http://h/c", u"C:\\c\\c.js"});
  f.Save();  // nothing selected
  EXPECT_EQ(f.messages.shown, (std::vector<ShownMessage>(2, {u"Please select a file to save", u"Save"})));
  EXPECT_TRUE(f.dialog.asked.empty());

  f.list.SetSelected(2, true);
  f.list.SetSelected(1, true);
  f.Save();  // cancelled
  EXPECT_EQ(f.dialog.asked, (std::vector<std::pair<std::u16string, std::u16string>>{
                                {u"b.gif", u"All Files (*.*)"}}));
  EXPECT_TRUE(f.files.copies.empty());
  EXPECT_EQ(f.messages.shown.size(), 2u);

  f.dialog.answer = u"/home/u/b.gif";
  f.Save();
  EXPECT_EQ(f.files.copies, (std::vector<std::pair<std::u16string, std::u16string>>{
                                {u"C:\\c\\b.gif", u"/home/u/b.gif"}}));
  EXPECT_EQ(f.messages.shown.size(), 2u);

  for (const auto& [error, text] : {std::pair<std::uint32_t, const char16_t*>{5, u"5"},
                                    {13, u"13"}, {0xFFFFFFFF, u"4294967295"}}) {
    f.files.copyError = error;
    f.Save();
    EXPECT_EQ(f.messages.shown.back(),
              (ShownMessage{std::u16string(u"Can't copy file, error code is ") + text, u"Error"}));
  }
}

}  // namespace
}  // namespace tracewell
