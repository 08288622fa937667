// Where each command and each click on the bar leads, without a player or a window.

#include "show/Navigation.h"
#include "show/ShowFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// This show's scenes on a module of 37 orders of 64 rows, a row every 0.12 s.
const MusicShape steady = MusicShape::steady(std::vector<int>(37, 64), 0.12);

Navigation showNavigation() {
    std::vector<Navigation::Chapter> chapters;
    for (const TimetableRow& row : ShowFile::shipped().timetable.rows()) chapters.push_back({row.orders.first, row.title});
    return Navigation(steady, chapters);
}

} // namespace

TEST(Navigation, EachCommandLeadsWhereItSaysAndTheEndsSaySo) {
    const Navigation nav = showNavigation();
    struct Case {
        Command command;
        Place from;
        std::optional<Place> to;
        std::string note = {};
    };
    const Case cases[] = {
        {Command::nextOrder, {12, 10}, Place{13, 10}},  // the row is kept
        {Command::nextOrder, {36, 10}, std::nullopt, "the end of the show"},
        {Command::previousOrder, {12, 10}, Place{11, 10}},
        {Command::previousOrder, {0, 30}, Place{0, 0}},
        {Command::previousOrder, {0, 0}, Place{0, 0}, "the start"},
        {Command::previousOrder, {37, 0}, Place{36, 0}},  // from the music's end
        {Command::nextRow, {12, 10}, Place{12, 11}},
        {Command::nextRow, {12, 63}, Place{13, 0}},
        {Command::nextRow, {36, 63}, std::nullopt, "the end of the show"},
        {Command::previousRow, {12, 10}, Place{12, 9}},
        {Command::previousRow, {13, 0}, Place{12, 63}},
        {Command::previousRow, {0, 0}, std::nullopt, "the start"},
        {Command::previousRow, {37, 0}, Place{36, 63}},
        {Command::nextScene, {12, 10}, Place{15, 0}},
        {Command::nextScene, {0, 5}, Place{4, 0}},
        {Command::nextScene, {36, 0}, std::nullopt, "the end of the show"},
        // More than 3 s into a scene PageUp starts it again, as a media player does a chapter;
        // within them, the previous scene.
        {Command::previousScene, {12, 10}, Place{11, 0}},
        {Command::previousScene, {11, 30}, Place{11, 0}},  // 3.6 s in
        {Command::previousScene, {11, 20}, Place{8, 0}},   // 2.4 s in
        {Command::previousScene, {11, 0}, Place{8, 0}},
        {Command::previousScene, {2, 0}, Place{0, 0}},
        {Command::previousScene, {0, 20}, Place{0, 0}, "the first scene"},
        {Command::previousScene, {37, 0}, Place{36, 0}},  // from the music's end
        {Command::home, {30, 20}, Place{0, 0}},
        {Command::pause, {30, 20}, std::nullopt},
    };
    for (const Case& c : cases) {
        const Navigation::Lead got = nav.lead(c.command, c.from);
        const std::string what = std::to_string(static_cast<int>(c.command)) + " from " + std::to_string(c.from.order) +
                                 ':' + std::to_string(c.from.row);
        ASSERT_EQ(got.to.has_value(), c.to.has_value()) << what;
        if (got.to) {
            EXPECT_TRUE(got.to->order == c.to->order && got.to->row == c.to->row)
                << what << " gave " << got.to->order << ':' << got.to->row;
        }
        EXPECT_EQ(got.note, c.note) << what;
    }
}

TEST(Navigation, TheBarLeadsToTheRowPlayingAtItsShareOfTheSong) {
    const Navigation nav = showNavigation();
    struct Case {
        double share;
        Place to;
    };
    // 37 × 64 rows: half the song is row 1184, order 18's row 32.
    for (const Case& c : {Case{0.0, {0, 0}}, Case{0.5, {18, 32}}, Case{-1.0, {0, 0}}, Case{1.0, {36, 63}}, Case{2.0, {36, 63}}}) {
        const Place got = nav.atShare(c.share);
        EXPECT_TRUE(got.order == c.to.order && got.row == c.to.row) << c.share << " gave " << got.order << ':' << got.row;
    }
    ASSERT_EQ(nav.marks().size(), ShowFile::shipped().timetable.size());
    EXPECT_DOUBLE_EQ(nav.marks()[1], 4.0 / 37.0);
    EXPECT_EQ(nav.title(5), "blob light");
}

// A song's jump may pass orders by: a seek never lands in one, and says why.
TEST(Navigation, AnOrderTheSongNeverPlaysIsNoPlaceToGo) {
    // Three orders of four rows, the second passed by.
    const MusicShape shape(4, {{4, {0, 1, 2, 3}}, {4, {}}, {4, {4, 5, 6, 7}}}, 8);
    const Navigation nav(shape, {{0, "one"}, {1, "two"}});
    const Navigation::Lead lead = nav.lead(Command::nextOrder, {0, 2});
    EXPECT_FALSE(lead.to.has_value());
    EXPECT_EQ(lead.note, "order 1 is never played: the song passes it by");
    const Navigation::Lead row = nav.lead(Command::nextRow, {0, 3});
    ASSERT_TRUE(row.to.has_value());
    EXPECT_EQ(row.to->order, 2) << "the next row played";
    const Navigation::Lead back = nav.lead(Command::previousRow, {2, 0});
    ASSERT_TRUE(back.to.has_value());
    EXPECT_TRUE(back.to->order == 0 && back.to->row == 3) << back.to->order << ':' << back.to->row;
}
