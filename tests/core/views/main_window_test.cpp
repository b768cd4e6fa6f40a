#include "views/main_window_model.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"
#include "support/ordinal_collator.h"
#include "views/filter_dialog_model.h"
#include "views/main_commands.h"
#include "views/recording_switch.h"

namespace tracewell {
namespace {

struct Window {
  testing::OrdinalCollator collator;
  testing::FakeClock clock;
  CMainWindowModel model{collator, clock};
  std::uint64_t nextId = 1;

  // A record starts through the capture messages; returns its id.
  std::uint64_t Start(std::u16string url) {
    CHttpTransaction values;
    values.m_strUrl = std::move(url);
    const std::uint64_t id = nextId++;
    model.Deliver({CaptureMessage::Kind::kStarted, id, 0, 0, false, std::move(values)});
    return id;
  }
  void Finish(std::uint64_t id, std::u16string result, std::u16string type) {
    CHttpTransaction values;
    values.m_strResult = std::move(result);
    values.m_strMimeType = std::move(type);
    model.Deliver({CaptureMessage::Kind::kUpdated, id, kMaskResult | kMaskType | kMaskFinished,
                   kFieldResult | kFieldMimeType, true, std::move(values)});
  }
  std::vector<std::u16string> Urls() const {
    std::vector<std::u16string> urls;
    for (std::size_t row = 0; row < model.Grid().RowCount(); ++row) {
      urls.push_back(model.Grid().Row(row)[8]);
    }
    return urls;
  }
  void FilterOn200() {
    FilterSettings& filter = model.Filter();
    filter.m_bFilterByStatus = true;
    filter.m_arrFilterStatusCodes = {u"200"};
    model.TurnOnFilter();
  }
};

using Urls = std::vector<std::u16string>;

TEST(MainWindow, FilterOffRowsAtStartFilterOnRowsAtFinishOnlyOnce) {
  Window w;
  const auto a = w.Start(u"http://h/a");
  EXPECT_EQ(w.Urls(), Urls{u"http://h/a"});
  w.Finish(a, u"200", u"text/html");
  EXPECT_EQ(w.model.Grid().Row(0)[5], u"200");  // updated in place

  const auto running = w.Start(u"http://h/running");
  w.FilterOn200();  // the running record has no result yet: no row
  EXPECT_EQ(w.Urls(), Urls{u"http://h/a"});
  const auto b = w.Start(u"http://h/b");
  const auto c = w.Start(u"http://h/c");
  EXPECT_EQ(w.Urls(), Urls{u"http://h/a"});  // no row until it finishes
  w.Finish(b, u"404", u"text/html");
  w.Finish(c, u"200", u"text/html");
  EXPECT_EQ(w.Urls(), (Urls{u"http://h/a", u"http://h/c"}));

  // A record that passed at a rebuild while running keeps its single row.
  w.model.Session()[1]->m_strResult = u"200";
  w.model.RebuildGrid();
  EXPECT_EQ(w.Urls(), (Urls{u"http://h/a", u"http://h/running", u"http://h/c"}));
  w.Finish(running, u"200", u"text/html");
  EXPECT_EQ(w.model.Grid().RowCount(), 3u);
  EXPECT_EQ(w.model.Grid().Row(1)[0], u"1");  // renumbered in session order

  w.model.TurnOffFilter();
  EXPECT_EQ(w.model.Grid().RowCount(), 4u);
}

TEST(MainWindow, CancelAfterEnablingFilteringKeepsRowsAndFiltersNewRecords) {
  Window w;
  w.Finish(w.Start(u"http://h/a"), u"404", u"text/html");
  {
    CFilterDialogModel dialog(w.model.Filter());
    dialog.ClickCheckBox(FilterCheckBox::kEnableFiltering);
    dialog.ClickCheckBox(FilterCheckBox::kStatusCode);
    dialog.SetRowChecked(FilterList::kStatusCodes, 1, true);  // "200"
  }
  w.model.OnFilterDialogClosed(false);
  EXPECT_EQ(w.Urls(), Urls{u"http://h/a"});  // no rebuild
  const auto b = w.Start(u"http://h/b");
  const auto c = w.Start(u"http://h/c");
  EXPECT_EQ(w.Urls(), Urls{u"http://h/a"});
  w.Finish(c, u"500", u"text/html");
  w.Finish(b, u"200", u"text/html");
  EXPECT_EQ(w.Urls(), (Urls{u"http://h/a", u"http://h/b"}));
  w.model.OnFilterDialogClosed(true);
  EXPECT_EQ(w.Urls(), Urls{u"http://h/b"});
}

TEST(MainWindow, ClearMarksOnlyRecordsThatHaveRows) {
  Window w;
  w.Finish(w.Start(u"http://h/ok"), u"200", u"text/html");
  w.Finish(w.Start(u"http://h/missing"), u"404", u"text/html");
  w.FilterOn200();
  EXPECT_TRUE(w.model.OnCommand(command::kClear));
  EXPECT_EQ(w.model.Grid().RowCount(), 0u);
  EXPECT_EQ(w.model.Session()[0]->m_bCleared, 1);
  EXPECT_EQ(w.model.Session()[1]->m_bCleared, 0);
  w.model.OnCommand(command::kTurnOffFilter);
  EXPECT_EQ(w.Urls(), Urls{u"http://h/missing"});
  // Cleared records never come back, not even when they pass at their finish.
  w.model.Session()[0]->m_bCleared = 1;
  w.model.OnCommand(command::kTurnOnFilter);
  EXPECT_EQ(w.model.Grid().RowCount(), 0u);
}

TEST(MainWindow, HiddenGridMissesRowsUntilTheNextRebuild) {
  Window w;
  w.Start(u"http://h/a");
  w.model.OnCommand(command::kMaximizeView);
  EXPECT_EQ(w.model.Mode(), ViewMode::kViewOnly);
  const auto b = w.Start(u"http://h/b");
  w.Finish(b, u"200", u"text/html");
  w.model.OnCommand(command::kMaximizeGrid);  // straight from one single pane to the other
  EXPECT_EQ(w.model.Mode(), ViewMode::kGridOnly);
  w.model.OnCommand(command::kRestoreWindows);
  EXPECT_EQ(w.model.Mode(), ViewMode::kBoth);
  EXPECT_EQ(w.Urls(), Urls{u"http://h/a"});
  w.model.SetPanelShown(false);
  w.Start(u"http://h/c");
  w.model.SetPanelShown(true);
  w.model.RebuildGrid();
  EXPECT_EQ(w.Urls(), (Urls{u"http://h/a", u"http://h/b", u"http://h/c"}));
}

TEST(MainWindow, RowActivationAndArrowKeysShowTheirRecord) {
  Window w;
  for (const char16_t* query : {u"?row=0", u"?row=1", u"?row=2"}) {
    w.Start(std::u16string(u"http://h/") + query);
  }
  const auto& query = w.model.Details().query;
  auto shown = [&] { return query.Rows().empty() ? u"" : query.Rows()[0][1]; };
  w.model.OnGridArrowKey(false);  // Up with nothing selected: nothing
  EXPECT_EQ(shown(), u"");
  w.model.OnGridArrowKey(true);  // Down with nothing selected: the first row
  EXPECT_EQ(shown(), u"0");
  w.model.Grid().SetSelected(2, true);
  w.model.OnGridArrowKey(true);  // Down on the last row: nothing new
  EXPECT_EQ(shown(), u"0");
  w.model.OnGridArrowKey(false);
  EXPECT_EQ(shown(), u"1");
  w.model.ActivateRow(3);  // below the last row
  EXPECT_EQ(shown(), u"1");
  w.model.ActivateRow(2);
  EXPECT_EQ(shown(), u"2");
  w.model.ClearViews();
  EXPECT_TRUE(query.Rows().empty());
}

TEST(MainWindow, LoadedSessionReplacesTheOldAndLateMessagesAreDropped) {
  Window w;
  const auto running = w.Start(u"http://h/old");
  TransactionArray loaded;
  loaded.push_back(std::make_unique<CHttpTransaction>());
  loaded.back()->m_strUrl = u"http://h/loaded";
  loaded.back()->m_bStatusMatch = 1;  // from the file; not reclassified
  w.FilterOn200();
  w.model.ReplaceSession(std::move(loaded));
  EXPECT_EQ(w.Urls(), Urls{u"http://h/loaded"});  // shown although the filter is on
  w.Finish(running, u"200", u"text/html");  // must not touch the deleted record
  EXPECT_EQ(w.model.Session().size(), 1u);
  EXPECT_EQ(w.model.Grid().RowCount(), 1u);
}

// Counts the grid's rebuilds (each empties the rows first) and the rows added.
struct RowCounts final : IGridRowsListener {
  int emptied = 0;
  int appended = 0;
  void OnRowAppended(std::size_t) override { ++appended; }
  void OnCellsChanged(std::size_t, std::size_t, std::size_t) override {}
  void OnAllRowsDeleted() override { ++emptied; }
  void OnRowsSorting() override {}
  void OnRowsSorted(std::span<const std::size_t>) override {}
};

TEST(MainWindow, QuickFilterNarrowsWhatTheFilterLetsThroughOnOrOff) {
  Window w;
  w.Finish(w.Start(u"http://a.example/page"), u"200", u"text/html");
  w.Finish(w.Start(u"http://b.example/style.css"), u"404", u"text/css");
  w.Finish(w.Start(u"http://a.example/logo.png"), u"200", u"image/png");
  w.model.SetQuickFilter(u"A.EXAMPLE");
  EXPECT_EQ(w.Urls(), (Urls{u"http://a.example/page", u"http://a.example/logo.png"}));
  EXPECT_EQ(w.model.Grid().Row(1)[0], u"1");  // numbered from 0 as every rebuild numbers them
  w.model.SetQuickFilter(u"type:image");
  w.FilterOn200();
  EXPECT_EQ(w.Urls(), Urls{u"http://a.example/logo.png"});
  w.model.SetQuickFilter(u"status:404");  // both must pass
  EXPECT_EQ(w.model.Grid().RowCount(), 0u);
  w.model.TurnOffFilter();
  EXPECT_EQ(w.Urls(), Urls{u"http://b.example/style.css"});
  w.model.SetQuickFilter(u"");
  EXPECT_EQ(w.model.Grid().RowCount(), 3u);

  // Clear marks only the rows shown; the records the quick filter hid come back.
  w.model.SetQuickFilter(u"host:b.example");
  w.model.OnCommand(command::kClear);
  w.model.SetQuickFilter(u"example");
  EXPECT_EQ(w.Urls(), (Urls{u"http://a.example/page", u"http://a.example/logo.png"}));
}

TEST(MainWindow, LiveRecordsMeetTheQuickFilterAsTheyArrive) {
  Window w;
  w.model.SetQuickFilter(u"host:a.example");
  const auto a = w.Start(u"http://a.example/x");
  const auto b = w.Start(u"http://b.example/a.example");
  EXPECT_EQ(w.Urls(), Urls{u"http://a.example/x"});  // a row as it starts, as without the text
  w.Finish(a, u"200", u"text/html");
  w.Finish(b, u"200", u"text/html");
  EXPECT_EQ(w.Urls(), Urls{u"http://a.example/x"});
  EXPECT_EQ(w.model.Grid().Row(0)[5], u"200");  // updated in place, once

  // A result is known only when the record finishes: then it gets its row.
  w.model.SetQuickFilter(u"status:304");
  const auto c = w.Start(u"http://c.example/");
  const auto d = w.Start(u"http://d.example/");
  EXPECT_EQ(w.model.Grid().RowCount(), 0u);
  w.Finish(c, u"304", u"text/css");
  w.Finish(d, u"200", u"text/css");
  EXPECT_EQ(w.Urls(), Urls{u"http://c.example/"});

  // With the filter on, a finished record must pass both.
  w.FilterOn200();
  w.model.SetQuickFilter(u"type:css");
  EXPECT_EQ(w.Urls(), Urls{u"http://d.example/"});
  const auto e = w.Start(u"http://e.example/");
  const auto f = w.Start(u"http://f.example/");
  const auto g = w.Start(u"http://g.example/");
  w.Finish(e, u"200", u"text/html");
  w.Finish(f, u"304", u"text/css");
  w.Finish(g, u"200", u"text/css");
  EXPECT_EQ(w.Urls(), (Urls{u"http://d.example/", u"http://g.example/"}));
}

TEST(MainWindow, ANewQuickFilterRebuildsOnceAndALoadAppliesIt) {
  Window w;
  RowCounts counts;
  w.model.Grid().SetListener(&counts);
  for (const char16_t* url : {u"http://h/one", u"http://h/two", u"http://h/three"}) w.Start(url);
  counts.appended = 0;
  w.model.SetQuickFilter(u"/t");
  EXPECT_EQ(counts.emptied, 1);
  EXPECT_EQ(counts.appended, 2);
  w.model.SetQuickFilter(u"/t");  // the same text: nothing to do
  EXPECT_EQ(counts.emptied, 1);
  EXPECT_EQ(w.model.QuickFilterText(), u"/t");

  TransactionArray loaded;
  for (const char16_t* url : {u"http://h/tea", u"http://h/coffee"}) {
    loaded.push_back(std::make_unique<CHttpTransaction>());
    loaded.back()->m_strUrl = url;
  }
  w.model.ReplaceSession(std::move(loaded));
  EXPECT_EQ(w.Urls(), Urls{u"http://h/tea"});
  w.model.Grid().SetListener(nullptr);
}

TEST(MainCommands, TablesRoutingAndTheFilterMenu) {
  std::u16string toolbar;
  for (const auto& button : kToolbarButtons) {
    toolbar += std::u16string(button.separatorBefore ? u"| " : u"") + std::u16string(button.text) + u" ";
  }
  EXPECT_EQ(toolbar, u"Start Stop | Browser | Clear | Load Save | View Filter | Tools | Help ");
  EXPECT_EQ(OwnerOf(command::kBrowser), CommandOwner::kMainWindow);
  const DropDownMenu* save = FindMenu(215);
  ASSERT_NE(save, nullptr);
  ASSERT_EQ(save->items.size(), 7u);
  EXPECT_EQ(save->items[2].text, u"Export to XML");
  EXPECT_EQ(save->items[2].id, 32805);
  EXPECT_EQ(save->items[3].text, u"Export to HAR");
  EXPECT_EQ(OwnerOf(command::kExportHar), CommandOwner::kMainWindow);
  EXPECT_EQ(save->items[1].id, kSeparator);
  EXPECT_EQ(FindMenu(999), nullptr);

  EXPECT_EQ(OwnerOf(command::kStart), CommandOwner::kBand);
  EXPECT_EQ(OwnerOf(command::kCheckForUpdate), CommandOwner::kBand);
  EXPECT_EQ(OwnerOf(command::kFind), CommandOwner::kMainWindow);
  EXPECT_EQ(OwnerOf(command::kExportGridText), CommandOwner::kMainWindow);
  EXPECT_EQ(OwnerOf(40000), CommandOwner::kTabHost);

  EXPECT_FALSE(IsMenuItemEnabled(command::kTurnOnFilter, true));
  EXPECT_TRUE(IsMenuItemEnabled(command::kTurnOffFilter, true));
  EXPECT_TRUE(IsMenuItemEnabled(command::kTurnOnFilter, false));
  EXPECT_FALSE(IsMenuItemEnabled(command::kTurnOffFilter, false));
  EXPECT_TRUE(IsMenuItemEnabled(command::kFilter, true));
}

TEST(MainCommands, EveryKeyRunsACommandOfTheMainWindowOrTheBand) {
  std::u16string keys;
  for (const CommandKey& key : kCommandKeys) {
    EXPECT_NE(OwnerOf(key.id), CommandOwner::kTabHost) << key.id;
    keys += std::u16string(key.keys) + u" ";
  }
  EXPECT_EQ(keys, u"F5 Shift+F5 Ctrl+S Ctrl+O Ctrl+L F1 Ctrl+F ");
  // Find has a menu item too, so that it can be found without knowing its key.
  const DropDownMenu* filter = FindMenu(205);
  ASSERT_NE(filter, nullptr);
  EXPECT_EQ(filter->items[1].id, command::kFind);
  EXPECT_EQ(filter->items[1].text, u"Find...");
}

class CountingCapture final : public ICaptureSwitch {
 public:
  int starts = 0;
  int stops = 0;
  void StartCapture() override { ++starts; }
  void StopCapture() override { ++stops; }
};

TEST(RecordingSwitch, RadioPairThatStartsAndStopsOnce) {
  CountingCapture capture;
  {
    CRecordingSwitch recording(capture);
    EXPECT_TRUE(recording.StopChecked());
    EXPECT_FALSE(recording.StartChecked());
    recording.Stop();  // already off
    EXPECT_EQ(capture.stops, 0);
    recording.Start();
    recording.Start();
    EXPECT_EQ(capture.starts, 1);
    EXPECT_TRUE(recording.StartChecked());
    EXPECT_FALSE(recording.StopChecked());
    recording.Stop();
    recording.Start();
  }  // gone while recording: the capture stops
  EXPECT_EQ(capture.starts, 2);
  EXPECT_EQ(capture.stops, 2);
}

}  // namespace
}  // namespace tracewell
