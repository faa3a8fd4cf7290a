#include "library/view_list.h"

#include <vector>

#include <gtest/gtest.h>

#include "tests/browse/browse_test_tunes.h"

namespace harmovia {
namespace {

using test::MakeTune;

ViewList ListOfScores(const std::vector<int32_t>& scores) {
    ViewList list;
    for (size_t i = 0; i < scores.size(); ++i) {
        TuneRecord r = MakeTune({});
        r.Similarity = scores[i];
        r.RecordIndex = static_cast<int32_t>(i + 1);  // build order
        AppendRow(list, r);
    }
    return list;
}

TEST(RankViewList, OrdersByScoreKeepingTiesInBuildOrder) {
    ViewList list = ListOfScores({5, 9, 9, 2});
    RankViewList(list);
    ASSERT_EQ(list.ViewCount, 4);
    const int32_t scores[] = {9, 9, 5, 2};
    const int32_t order[] = {2, 3, 1, 4};
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(list[row].Similarity, scores[row - 1]);
        EXPECT_EQ(list[row].RecordIndex, order[row - 1]);
    }

    // A high score behind row 100 moves to the top; the rows it passes move down one.
    std::vector<int32_t> scores150(150, 1);
    scores150[139] = 50;
    ViewList late = ListOfScores(scores150);
    RankViewList(late);
    EXPECT_EQ(late[1].RecordIndex, 140);
    EXPECT_EQ(late[2].RecordIndex, 1);
    EXPECT_EQ(late[100].RecordIndex, 99);
}

TEST(CompareRows, EachColumnKind) {
    ViewList list;
    TuneRecord a = MakeTune({.title = "apple", .artist = "Zed", .genre = "Rock"});
    a.Checked = 0;
    a.MoodEnergy = 30000;
    a.DurationText.Set("10:05");
    a.FileKind = kFileKindMp4;
    TuneRecord b = MakeTune({.title = "Banana", .artist = "Zed", .genre = "Rock"});
    b.Checked = 1;
    b.MoodEnergy = -5;
    b.DurationText.Set("3:00");
    AppendRow(list, a);  // row 1
    AppendRow(list, b);  // row 2
    const struct {
        ViewColumn column;
        bool oneBeforeTwo;
        bool twoBeforeOne;
    } cases[] = {
        {ViewColumn::RowNumber, true, false},
        {ViewColumn::PlayRowNumber, true, false},
        {ViewColumn::Check, true, false},    // unchecked first
        {ViewColumn::Energy, false, true},   // lowest energy first, signed
        {ViewColumn::Title, false, true},    // "Banana" before "apple"
        {ViewColumn::Time, true, false},     // textual: "10:05" before "3:00"
        {ViewColumn::Type, true, false},     // "AAC" before "MP3"
        {ViewColumn::Artist, false, false},  // equal
        {ViewColumn::Blank, false, false},
        {static_cast<ViewColumn>(FourCharCode("Date")), false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareRows(list, 1, 2, c.column), c.oneBeforeTwo)
            << static_cast<uint32_t>(c.column);
        EXPECT_EQ(CompareRows(list, 2, 1, c.column), c.twoBeforeOne)
            << static_cast<uint32_t>(c.column);
        // A sort needs a strict order: no row comes before itself.
        EXPECT_FALSE(CompareRows(list, 1, 1, c.column)) << static_cast<uint32_t>(c.column);
    }
    EXPECT_FALSE(CompareRows(list, 0, 1, ViewColumn::RowNumber));
    EXPECT_FALSE(CompareRows(list, 1, 3, ViewColumn::RowNumber));
}

}  // namespace
}  // namespace harmovia
