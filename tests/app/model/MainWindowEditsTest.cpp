#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/model/edit_steps.h"
#include "app/model/main_window_model.h"
#include "audiofile/sound_units.h"

// The window's edits as steps of the undo history: sequences of commands,
// undo and redo, and the rows, markers, selection and unsaved state they
// leave.
namespace snipora {
namespace {

// 10 s of 1000 Hz 8-bit mono: one byte is one frame is one millisecond.
SoundFormatInfo TenSeconds() {
  SoundFormatInfo info;
  info.formatBlock = {1, 1, 1000, 1000, 1, 8, 0, {}};
  info.dataSize = 10000;
  info.lengthMs = 10000;
  return info;
}

std::string RowsOf(const CMainWindowModel& m) {
  std::string text;
  for (const ReservationRow& row : m.Rows()) {
    text += (text.empty() ? "" : " ") + std::to_string(row.startFrame) + "-" +
            std::to_string(row.endFrame) + (row.label.empty() ? "" : ":" + row.label);
  }
  return text;
}

std::string MarkersOf(const CMainWindowModel& m) {
  const auto one = [&](int k) {
    return m.Marker(k).set ? std::to_string(m.Marker(k).position) : std::string("-");
  };
  return one(1) + " " + one(2);
}

using Op = std::function<void(CMainWindowModel&)>;

Op At(uint64_t bytes) {
  return [=](CMainWindowModel& m) { m.SetPlayerPosition(bytes); };
}
Op Mark(int k) {
  return [=](CMainWindowModel& m) { m.ToggleMarker(k, m.PlayerBytes()); };
}
const Op kAdd = [](CMainWindowModel& m) { m.AddReservation(m.PlayerBytes()); };
const Op kUndo = [](CMainWindowModel& m) { m.Undo(); };
const Op kRedo = [](CMainWindowModel& m) { m.Redo(); };
const Op kSave = [](CMainWindowModel& m) { m.ClearUnsavedReservations(); };
const Op kImport = [](CMainWindowModel& m) {
  m.AddRows({{5000, 6000, "a"}, {1000, 2000, "b"}, {3000, 4000, "c"}}, edit_step::kImport);
};
Op Select(std::vector<int> rows) {
  return [=](CMainWindowModel& m) { m.SelectRows(rows, rows.empty() ? -1 : rows.front()); };
}

TEST(MainWindowEdits, StepsUndoAndRedo) {
  struct Case {
    const char* name;
    std::vector<Op> ops;
    std::string rows;
    std::string markers;
    bool unsaved;
    const char* undoName;  // what Undo would take next
    std::vector<int> selected = {};
  };
  const Case cases[] = {
      {"adding from one marker moves it",
       {Mark(1), At(2000), kAdd},
       "0-2000",
       "2000 -",
       true,
       edit_step::kAddRange},
      {"undo takes the row and the marker's move back",
       {Mark(1), At(2000), kAdd, kUndo},
       "",
       "0 -",
       false,
       edit_step::kSetMarker1},
      {"redo puts both back and highlights the row",
       {Mark(1), At(2000), kAdd, kUndo, kRedo},
       "0-2000",
       "2000 -",
       true,
       edit_step::kAddRange,
       {0}},
      {"an import is one step", {kImport, kUndo}, "", "- -", false, nullptr},
      {"undo back to the save leaves nothing unsaved",
       {kImport, kSave, Select({0}), [](CMainWindowModel& m) { m.RemoveSelectedRows(); }, kUndo},
       "5000-6000:a 1000-2000:b 3000-4000:c",
       "- -",
       false,
       edit_step::kImport,
       {0}},
      {"redo past the save is unsaved again",
       {kImport, kSave, kUndo, kRedo, Select({0}), [](CMainWindowModel& m) { m.SortRowsByStart(); },
        kUndo, kRedo},
       "1000-2000:b 3000-4000:c 5000-6000:a",
       "- -",
       true,
       edit_step::kSort,
       {0, 1, 2}},
      {"a marker edit alone leaves the rows saved",
       {kImport, kSave, Mark(2)},
       "5000-6000:a 1000-2000:b 3000-4000:c",
       "- 0",
       false,
       edit_step::kSetMarker2},
      {"removing several rows highlights the next; undo restores and highlights them",
       {kImport, Select({0, 1}), [](CMainWindowModel& m) { m.RemoveSelectedRows(); }},
       "3000-4000:c",
       "- -",
       true,
       edit_step::kRemoveRanges,
       {0}},
      {"undo of the removal",
       {kImport, Select({0, 2}), [](CMainWindowModel& m) { m.RemoveSelectedRows(); }, kUndo},
       "5000-6000:a 1000-2000:b 3000-4000:c",
       "- -",
       true,
       edit_step::kImport,
       {0, 2}},
      {"rows move with their selection and stop at the edge",
       {kImport, Select({1, 2}), [](CMainWindowModel& m) { m.MoveSelectedRows(-1); },
        [](CMainWindowModel& m) { m.MoveSelectedRows(-1); }},
       "1000-2000:b 3000-4000:c 5000-6000:a",
       "- -",
       true,
       edit_step::kMoveRows,
       {0, 1}},
      {"a new step drops what was undone",
       {kImport, [](CMainWindowModel& m) { m.SetRowLabel(0, "x"); }, kUndo, Mark(1), kRedo},
       "5000-6000:a 1000-2000:b 3000-4000:c",
       "0 -",
       true,
       edit_step::kSetMarker1,
       {0}},
      {"read-back sets both markers as one step",
       {kImport, Select({1}), [](CMainWindowModel& m) { m.ReadSelectedRow(); }, kUndo, kRedo},
       "5000-6000:a 1000-2000:b 3000-4000:c",
       "1000 2000",
       true,
       edit_step::kReadRange,
       {1}},
      {"a drag of an edge is one step",
       {kImport,
        [](CMainWindowModel& m) {
          m.BeginDrag(edit_step::kChangeRange);
          m.DragRowEdge(1, true, 2500);
          m.DragRowEdge(1, true, 2700);
          m.EndDrag();
        },
        kUndo, kRedo},
       "5000-6000:a 1000-2700:b 3000-4000:c",
       "- -",
       true,
       edit_step::kChangeRange,
       {1}},
      {"an edge stops short of zero length and of the end of the file",
       {kImport,
        [](CMainWindowModel& m) {
          m.BeginDrag(edit_step::kChangeRange);
          m.DragRowEdge(0, false, 7000);
          m.DragRowEdge(1, true, 20000);
          m.EndDrag();
        }},
       "5999-6000:a 1000-10000:b 3000-4000:c",
       "- -",
       true,
       edit_step::kChangeRange},
      {"a selection drag sets both markers in one step",
       {Mark(1),
        [](CMainWindowModel& m) {
          m.BeginDrag(edit_step::kSelect);
          m.DragSelection(4000, 3000);
          m.DragSelection(4000, 1500);
          m.EndDrag();
        },
        kUndo},
       "",
       "0 -",
       false,
       edit_step::kSetMarker1},
      {"shift+click moves the nearer end of the selection",
       {[](CMainWindowModel& m) { m.SelectFrames(2000, 6000); },
        [](CMainWindowModel& m) { m.ExtendSelection(5000); },
        [](CMainWindowModel& m) { m.ExtendSelection(1000); }},
       "",
       "1000 5000",
       false,
       edit_step::kSelect},
  };
  for (const Case& c : cases) {
    CMainWindowModel m;
    m.OpenFile("/a.wav", "a", TenSeconds());
    for (const Op& op : c.ops) op(m);
    EXPECT_EQ(RowsOf(m), c.rows) << c.name;
    EXPECT_EQ(MarkersOf(m), c.markers) << c.name;
    EXPECT_EQ(m.HasUnsavedReservations(), c.unsaved) << c.name;
    EXPECT_EQ(m.UndoName(), c.undoName) << c.name;
    EXPECT_EQ(m.SelectedRows(), c.selected) << c.name;
  }
}

TEST(MainWindowEdits, CellsReadAndTakeTheListsUnit) {
  struct Case {
    ListUnit unit;
    RowField field;
    const char* text;
    std::string rows;  // after the edit of row 1000-2000
    bool refused;
  };
  const Case cases[] = {
      {ListUnit::Samples, RowField::Start, " 1500 ", "1500-2000", false},
      {ListUnit::Samples, RowField::Start, "1500x", "1000-2000", true},
      {ListUnit::Samples, RowField::Start, "2000", "1000-2000", true},
      {ListUnit::Samples, RowField::End, "10001", "1000-2000", true},
      {ListUnit::Samples, RowField::Length, "0", "1000-2000", true},
      {ListUnit::Samples, RowField::Length, "9000", "1000-10000", false},
      {ListUnit::Milliseconds, RowField::End, "-5", "1000-2000", true},
      {ListUnit::Clock, RowField::End, "0:00:03.5", "1000-3500", false},
      {ListUnit::Clock, RowField::End, "1:60", "1000-2000", true},
      {ListUnit::Clock, RowField::Start, "0.2500", "1000-2000", true},
      {ListUnit::Clock, RowField::Length, "1:1:1:1", "1000-2000", true},
  };
  for (const Case& c : cases) {
    CMainWindowModel m;
    m.OpenFile("/a.wav", "a", TenSeconds());
    m.SetListUnit(c.unit);
    m.AddRows({{1000, 2000, {}}}, edit_step::kImport);
    EXPECT_EQ(m.EditCell(0, c.field, c.text) != nullptr, c.refused) << c.text;
    EXPECT_EQ(RowsOf(m), c.rows) << c.text;
  }

  // 44.1 kHz: a bound shows the millisecond of its frame; a typed time takes
  // the frame at or before it and shows as typed.
  SoundFormatInfo cd;
  cd.formatBlock = {1, 2, 44100, 176400, 4, 16, 0, {}};
  cd.dataSize = 176400 * 10;
  cd.lengthMs = 10000;
  CMainWindowModel m;
  m.OpenFile("/b.wav", "b", cd);
  m.SetListUnit(ListUnit::Clock);
  m.AddRows({{44, 44100 * 61 / 10, {}}}, edit_step::kImport);
  EXPECT_EQ(m.CellText(0, RowField::Start), "0:00:00.001");
  EXPECT_EQ(m.CellText(0, RowField::End), "0:00:06.100");
  EXPECT_EQ(m.CellText(0, RowField::Length), "0:00:06.099");
  EXPECT_EQ(m.EditCell(0, RowField::Length, "2"), nullptr);  // seconds after the shown start
  EXPECT_EQ(m.Rows()[0].endFrame, 88244u);                   // 2.001 s
  m.SetListUnit(ListUnit::Milliseconds);
  EXPECT_EQ(m.CellText(0, RowField::End), "2001");
  EXPECT_EQ(m.RowText(0, 0), "2000");  // the duration in ms, whatever the unit
}

TEST(MainWindowEdits, OverlapsAndTwinsAreMarked) {
  const std::vector<ReservationRow> rows = {{0, 100, {}},   {100, 200, {}}, {150, 160, {}},
                                            {300, 400, {}}, {300, 400, {}}, {500, 900, {}},
                                            {600, 700, {}}};
  using C = RowConflict;
  EXPECT_EQ(FindRowConflicts(rows),
            (std::vector<C>{C::None, C::Overlaps, C::Overlaps, C::Duplicates, C::Duplicates,
                            C::Overlaps, C::Overlaps}));
}

// Markers and edges set by mouse or keys take the frame the finder gives;
// typed and read-back bounds do not.
TEST(MainWindowEdits, SnappingMovesWhatMouseAndKeysSet) {
  for (const bool snap : {false, true}) {
    CMainWindowModel m;
    m.OpenFile("/a.wav", "a", TenSeconds());
    m.SetZeroCrossingFinder([](uint64_t frame) { return frame / 100 * 100; });
    m.SetSnapToZeroCrossings(snap);
    m.SetPlayerPosition(1234);
    m.ToggleMarker(1, m.PlayerBytes());
    m.SetPlayerPosition(2345);
    m.AddReservation(m.PlayerBytes());
    m.SelectFrames(5678, 6789);
    m.BeginDrag(edit_step::kChangeRange);
    EXPECT_EQ(m.DragRowEdge(0, false, 1010), snap ? 1000u : 1010u);
    m.EndDrag();
    m.EditCell(0, RowField::End, "2222");
    EXPECT_EQ(RowsOf(m), snap ? "1000-2222" : "1010-2222") << snap;
    EXPECT_EQ(MarkersOf(m), snap ? "5600 6700" : "5678 6789") << snap;
  }
}

TEST(MainWindowEdits, MillisecondStepsLandOnTheTimeTheyShow) {
  SoundFormatInfo cd;
  cd.formatBlock = {1, 2, 44100, 176400, 4, 16, 0, {}};
  cd.dataSize = 176400 * 10 + 8;
  cd.lengthMs = 10000;
  CMainWindowModel m;
  m.OpenFile("/b.wav", "b", cd);
  EXPECT_EQ(m.MillisecondStepTarget(100), 4410u * 4);
  EXPECT_EQ(m.MillisecondStepTarget(5000), 220500u * 4);
  // +1 ms never stands still: every press shows the next millisecond.
  for (uint64_t ms = 1; ms <= 30; ++ms) {
    m.SetPlayerPosition(m.MillisecondStepTarget(1));
    EXPECT_EQ(MillisecondOfFrame(m.PlayerBytes() / 4, 44100), ms);
  }
  m.SetPlayerPosition(m.MillisecondStepTarget(-1));
  EXPECT_EQ(m.PlayerBytes(), 1278u * 4);  // 29 ms
  m.SetPlayerPosition(cd.dataSize - 400);
  EXPECT_EQ(m.MillisecondStepTarget(1000), cd.dataSize);  // past the end: the end itself
  EXPECT_EQ(m.FrameStepTarget(-1), cd.dataSize - 404);
}

}  // namespace
}  // namespace snipora
