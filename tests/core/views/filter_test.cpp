#include "views/filter.h"
#include "views/filter_dialog_model.h"

#include <gtest/gtest.h>

namespace tracewell {
namespace {

std::unique_ptr<CHttpTransaction> Record(std::u16string result, std::u16string type) {
  auto record = std::make_unique<CHttpTransaction>();
  record->m_strResult = std::move(result);
  record->m_strMimeType = std::move(type);
  return record;
}

TEST(Filter, ContentTypesMatchExactlyOrByFamily) {
  EXPECT_TRUE(ContentTypeMatches(u"text/*", u"text/html; charset=utf-8"));
  EXPECT_FALSE(ContentTypeMatches(u"text/*", u"application/x-javascript"));
  EXPECT_TRUE(ContentTypeMatches(u"image/*", u"application/image/x"));  // anywhere
  EXPECT_TRUE(ContentTypeMatches(u"image/png", u"image/png"));
  EXPECT_FALSE(ContentTypeMatches(u"image/png", u"image/PNG"));
  EXPECT_FALSE(ContentTypeMatches(u"text/html", u"text/html; charset=utf-8"));
  EXPECT_FALSE(ContentTypeMatches(u"text/*", u"TEXT/html"));
}

TEST(Filter, ConditionsCombineWithOrAndAnd) {
  FilterSettings settings;
  settings.m_bFilterOn = true;
  settings.m_bFilterByStatus = true;
  settings.m_bFilterByType = true;
  settings.m_arrFilterStatusCodes = {u"200"};
  settings.m_arrFilterContentTypes = {u"text/css"};
  TransactionArray session;
  session.push_back(Record(u"404", u"text/css"));
  session.push_back(Record(u"200", u"text/html"));
  session.push_back(Record(u"200", u"text/css"));
  session.push_back(Record(u"(Cache)", u"image/png"));
  ReclassifyAll(settings, session);
  auto passing = [&] {
    std::vector<bool> result;
    for (const auto& r : session) result.push_back(PassesFilter(settings, *r));
    return result;
  };
  EXPECT_EQ(passing(), (std::vector<bool>{true, true, true, false}));
  settings.m_nFilterCombine = 1;
  EXPECT_EQ(passing(), (std::vector<bool>{false, false, true, false}));
  settings.m_nFilterCombine = 7;  // any non-zero value is AND
  EXPECT_EQ(passing(), (std::vector<bool>{false, false, true, false}));
  settings.m_bFilterByType = false;
  EXPECT_EQ(passing(), (std::vector<bool>{false, true, true, false}));
  settings.m_bFilterByStatus = false;  // no condition: nothing passes
  EXPECT_EQ(passing(), (std::vector<bool>{false, false, false, false}));
}

TEST(Filter, ClassifySetsFlagsReclassifyRecomputesOnlyConditionsInUse) {
  FilterSettings settings;
  settings.m_bFilterByType = true;
  settings.m_arrFilterContentTypes = {u"text/*"};
  auto record = Record(u"200", u"text/html");
  record->m_bStatusMatch = 1;  // from a log file
  ClassifyTransaction(settings, *record);
  EXPECT_EQ(record->m_bTypeMatch, 1);
  record->m_strMimeType = u"image/gif";
  ClassifyTransaction(settings, *record);
  EXPECT_EQ(record->m_bTypeMatch, 1);  // classify never clears

  TransactionArray session;
  session.push_back(std::move(record));
  ReclassifyAll(settings, session);
  EXPECT_EQ(session[0]->m_bTypeMatch, 0);
  EXPECT_EQ(session[0]->m_bStatusMatch, 1);  // condition not in use: kept
}

TEST(FilterDialog, StartsFromTheSettingsAndEnablesByTheCheckBoxes) {
  FilterSettings settings;
  settings.m_bFilterByStatus = true;
  settings.m_nFilterCombine = 1;
  settings.m_arrFilterStatusCodes = {u"404", u"200"};
  settings.m_arrFilterContentTypes = {u"image/*"};
  CFilterDialogModel dialog(settings);
  EXPECT_FALSE(dialog.IsChecked(FilterCheckBox::kEnableFiltering));
  EXPECT_TRUE(dialog.IsChecked(FilterCheckBox::kStatusCode));
  EXPECT_TRUE(dialog.AndChosen());
  EXPECT_TRUE(dialog.IsRowChecked(FilterList::kStatusCodes, 1));    // "200"
  EXPECT_TRUE(dialog.IsRowChecked(FilterList::kStatusCodes, 11));   // "404"
  EXPECT_FALSE(dialog.IsRowChecked(FilterList::kStatusCodes, 0));
  EXPECT_TRUE(dialog.IsRowChecked(FilterList::kContentTypes, 8));   // "image/*"
  // Filtering not enabled: nothing below it can be used.
  EXPECT_FALSE(dialog.IsEnabled(FilterControl::kStatusCheck));
  EXPECT_FALSE(dialog.IsEnabled(FilterControl::kStatusList));
  dialog.SetRowChecked(FilterList::kStatusCodes, 0, true);
  EXPECT_EQ(settings.m_arrFilterStatusCodes.size(), 2u);

  dialog.ClickCheckBox(FilterCheckBox::kEnableFiltering);
  EXPECT_TRUE(dialog.IsEnabled(FilterControl::kStatusList));
  EXPECT_FALSE(dialog.IsEnabled(FilterControl::kTypeList));
  EXPECT_FALSE(dialog.IsEnabled(FilterControl::kCombine));
  dialog.ClickCheckBox(FilterCheckBox::kContentType);
  EXPECT_TRUE(dialog.IsEnabled(FilterControl::kTypeList));
  EXPECT_TRUE(dialog.IsEnabled(FilterControl::kCombine));
}

TEST(FilterDialog, ClicksWriteAtOnceAndCancelKeepsThem) {
  FilterSettings settings;
  {
    CFilterDialogModel dialog(settings);
    dialog.ChooseCombine(true);  // the radio alone writes nothing
    EXPECT_EQ(settings.m_nFilterCombine, 0);
    dialog.ClickCheckBox(FilterCheckBox::kEnableFiltering);
    EXPECT_TRUE(settings.m_bFilterOn);
    EXPECT_EQ(settings.m_nFilterCombine, 1);  // written with the check boxes
    dialog.ClickCheckBox(FilterCheckBox::kStatusCode);
    dialog.SetRowChecked(FilterList::kStatusCodes, 11, true);  // "404"
    dialog.SetRowChecked(FilterList::kStatusCodes, 1, true);   // "200"
    dialog.SetRowChecked(FilterList::kStatusCodes, 1, true);   // no change, no second entry
    EXPECT_EQ(settings.m_arrFilterStatusCodes, (std::vector<std::u16string>{u"404", u"200"}));
    dialog.SetRowChecked(FilterList::kStatusCodes, 11, false);
    EXPECT_EQ(settings.m_arrFilterStatusCodes, (std::vector<std::u16string>{u"200"}));
    dialog.ChooseCombine(false);
    // Cancel: the dialog goes away; what was written stays, the last radio choice does not.
  }
  EXPECT_TRUE(settings.m_bFilterOn);
  EXPECT_TRUE(settings.m_bFilterByStatus);
  EXPECT_EQ(settings.m_nFilterCombine, 1);

  CFilterDialogModel reopened(settings);
  EXPECT_TRUE(reopened.IsRowChecked(FilterList::kStatusCodes, 1));
  EXPECT_FALSE(reopened.IsRowChecked(FilterList::kStatusCodes, 11));
  reopened.ChooseCombine(false);
  reopened.Ok();
  EXPECT_EQ(settings.m_nFilterCombine, 0);
}

}  // namespace
}  // namespace tracewell
