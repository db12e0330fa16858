// Grids share rows between copies: every operation must change only the grid it is
// applied to, whatever copies were taken before, and a copy must cost only what was
// changed since. Checked against a plain vector of rows that shares nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "channels/list_page.h"

namespace rivo {
namespace {

using Plain = std::vector<GridRow>;

// The rows as the grid reads them (cells(), colour()), whatever it keeps outside them.
Plain PlainOf(const Grid& grid) {
    Plain rows;
    for (int r = 0; r < grid.rowCount(); ++r) rows.push_back(GridRow{grid.cells(r), grid.colour(r)});
    return rows;
}

// A cell text: letters (short or heap-sized) or, for a grid with a decimal column,
// numbers it keeps beside its rows and texts that only look like numbers.
std::string RandomText(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    static const char* const numbers[] = {"0", "7", "17", "9990", "99999", "007", "100000", "-1", " 7", "7a", ""};
    if (pick(0, 1) == 0) return numbers[pick(0, static_cast<int>(std::size(numbers)) - 1)];
    return std::string(static_cast<size_t>(pick(0, 40)), static_cast<char>('a' + pick(0, 25)));
}

Plain EmptyPlain(int columns, int rows) {
    GridRow empty;
    empty.cells.assign(static_cast<size_t>(columns), {});
    return Plain(static_cast<size_t>(rows), empty);
}

// Applies one random operation to the grid and the same to the plain rows.
void RandomOperation(Grid& grid, Plain& plain, std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int rows = grid.rowCount();
    const int last = rows - 1;
    switch (pick(0, 11)) {
        case 0: {
            const int r = pick(0, last), c = pick(0, grid.columnCount() - 1);
            // Short and heap-sized texts, and now and then the text the cell holds.
            std::string text = pick(0, 4) == 0 ? plain[static_cast<size_t>(r)].cells[static_cast<size_t>(c)] : RandomText(rng);
            plain[static_cast<size_t>(r)].cells[static_cast<size_t>(c)] = text;
            grid.setCell(r, c, std::move(text));
            break;
        }
        case 1: {
            const int r = pick(0, last);
            const auto colour = static_cast<std::uint32_t>(pick(0, 3));
            plain[static_cast<size_t>(r)].colour = colour;
            grid.setColour(r, colour);
            break;
        }
        case 2: {
            // Through the writable row, which holds every cell as cell() reads it.
            const int r = pick(0, last);
            const auto c = static_cast<size_t>(pick(0, grid.columnCount() - 1));
            GridRow& row = grid.row(r);
            row.cells[c] += "+";
            row.colour ^= 0x10;
            plain[static_cast<size_t>(r)].cells[c] += "+";
            plain[static_cast<size_t>(r)].colour ^= 0x10;
            break;
        }
        case 3: {
            const int from = pick(0, last), to = pick(0, last);
            plain[static_cast<size_t>(to)] = plain[static_cast<size_t>(from)];
            grid.copyRow(from, to);
            break;
        }
        case 4: {
            const int a = pick(0, last), b = pick(0, last);
            std::swap(plain[static_cast<size_t>(a)], plain[static_cast<size_t>(b)]);
            grid.exchangeRows(a, b);
            break;
        }
        case 5: {
            int first = pick(0, last), end = pick(0, rows);
            if (first > end) std::swap(first, end);
            const int middle = pick(first, end);
            std::rotate(plain.begin() + first, plain.begin() + middle, plain.begin() + end);
            grid.rotateRows(first, middle, end);
            break;
        }
        case 6:
            if (rows > 1) {
                const int r = pick(0, last);
                plain.erase(plain.begin() + r);
                grid.removeRow(r);
            }
            break;
        case 7: {
            const auto colour = static_cast<std::uint32_t>(pick(0, 3));
            GridRow row;
            row.cells.assign(static_cast<size_t>(grid.columnCount()), {});
            row.colour = colour;
            plain.push_back(row);
            grid.appendRow(colour);
            break;
        }
        case 8: {
            int first = pick(0, last), end = pick(0, rows);
            if (first > end) std::swap(first, end);
            std::vector<int> order(static_cast<size_t>(end - first));
            for (size_t i = 0; i < order.size(); ++i) order[i] = first + static_cast<int>(i);
            std::shuffle(order.begin(), order.end(), rng);
            Plain moved;
            for (const int from : order) moved.push_back(plain[static_cast<size_t>(from)]);
            std::copy(moved.begin(), moved.end(), plain.begin() + first);
            if (!order.empty()) grid.permuteRows(first, order);
            break;
        }
        case 9: {
            // A whole new row, with fewer cells than the grid has columns now and then.
            const int r = pick(0, last);
            GridRow row;
            row.cells.assign(static_cast<size_t>(pick(0, grid.columnCount())), RandomText(rng));
            row.colour = static_cast<std::uint32_t>(pick(0, 3));
            GridRow expected = row;
            expected.cells.resize(static_cast<size_t>(grid.columnCount()));
            plain[static_cast<size_t>(r)] = expected;
            grid.setRow(r, std::move(row));
            break;
        }
        default: {
            // Across block boundaries in both directions.
            const int count = std::max(1, rows + pick(-Grid::kBlockRows - 3, Grid::kBlockRows + 3));
            plain.resize(static_cast<size_t>(count), EmptyPlain(grid.columnCount(), 1)[0]);
            grid.setRowCount(count);
            break;
        }
    }
}

TEST(Grid, CopiesKeepTheirContentWhateverIsDoneToTheOriginal) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 40; ++round) {
        const int columns = 1 + round % 4;
        const int rows = 1 + (round * 37) % 300;  // within one block up to several
        // Every other round the last column keeps its numbers beside the rows.
        Grid grid(columns, rows, -1, round % 2 == 0 ? -1 : columns - 1);
        Plain plain = EmptyPlain(columns, rows);
        std::vector<std::pair<Grid, Plain>> copies;
        for (int op = 0; op < 400; ++op) {
            RandomOperation(grid, plain, rng);
            if (rng() % 10 == 0) copies.emplace_back(grid, plain);
            // Now and then a copy is written to as well: the original must not follow.
            if (!copies.empty() && rng() % 15 == 0) {
                auto& [copy, copyPlain] = copies[rng() % copies.size()];
                RandomOperation(copy, copyPlain, rng);
            }
        }
        ASSERT_EQ(grid.rowCount(), static_cast<int>(plain.size()));
        ASSERT_EQ(PlainOf(grid), plain) << "round " << round;
        for (size_t i = 0; i < copies.size(); ++i) {
            ASSERT_EQ(PlainOf(copies[i].first), copies[i].second) << "round " << round << " copy " << i;
            // Equality agrees with the plain rows, shared or not.
            EXPECT_EQ(copies[i].first == grid, copies[i].second == plain);
        }
    }
}

// A decimal column keeps plain numbers beside the rows: rewriting them (a favourites
// list whose channels moved) leaves every row shared with the copy taken before, the
// copy reads its old numbers, and any other text stays in the row as it was written.
TEST(Grid, DecimalColumnRenumbersWithoutCopyingRows) {
    Grid list(3, 129, 0, 2);
    list.setCell(0, 2, "Canale");
    for (int s = 1; s <= 128; ++s) {
        list.setCell(s, 1, "channel with a long name " + std::to_string(s));
        list.setCell(s, 2, std::to_string(s * 70));
    }
    const Grid before = list;
    for (int s = 1; s <= 128; ++s) list.setCell(s, 2, std::to_string(s * 70 + 1));
    EXPECT_EQ(list.cell(0, 2), "Canale");
    EXPECT_EQ(list.cell(1, 2), "71");
    EXPECT_EQ(list.cell(128, 2), "8961");
    EXPECT_EQ(before.cell(128, 2), "8960");
    EXPECT_EQ(list.cells(5), (std::vector<std::string>{"5", "channel with a long name 5", "351"}));
    for (int s = 0; s <= 128; ++s) ASSERT_EQ(&std::as_const(list).row(s), &before.row(s)) << "row " << s << " was copied";
    EXPECT_FALSE(list == before);
    // Heap held beyond the copy: the numbers (129 of them) and the block table.
    EXPECT_LE(list.bytesNotSharedWith(&before), 1024u);
    EXPECT_GT(before.bytesNotSharedWith(nullptr), 128u * 64);

    // Texts that are not plain numbers read back exactly; a number written back over
    // them reads as that number again.
    const char* const texts[] = {"007", "-1", " 7", "100000", "", "7a", "0", "99999"};
    for (const char* text : texts) {
        list.setCell(3, 2, text);
        EXPECT_EQ(list.cell(3, 2), text);
        EXPECT_EQ(list.cells(3)[2], text);
    }
    list.setCell(4, 2, "12x");
    list.setCell(4, 2, "12");
    EXPECT_EQ(list.cell(4, 2), "12");
    // The writable row holds the number; what is written there is what cell() reads.
    GridRow& row = list.row(6);
    EXPECT_EQ(row.cells[2], "421");
    row.cells[2] = "5";
    EXPECT_EQ(list.cell(6, 2), "5");
    // Numbers move with their rows.
    list.rotateRows(1, 128, 129);
    EXPECT_EQ(list.cell(1, 2), "8961");
    EXPECT_EQ(list.cell(2, 2), "71");
    list.exchangeRows(1, 2);
    EXPECT_EQ(list.cell(1, 2), "71");
    list.removeRow(1);
    EXPECT_EQ(list.cell(1, 2), "8961");
    list.copyRow(1, 100);
    EXPECT_EQ(list.cell(100, 2), "8961");
    list.permuteRows(1, {2, 1});
    EXPECT_EQ(list.cell(2, 2), "8961");
    list.appendRow();
    EXPECT_EQ(list.cell(128, 2), "");
    list.setRow(128, GridRow{{"", "new", "42"}, kColourGrey});
    EXPECT_EQ(list.cell(128, 2), "42");
    EXPECT_EQ(std::as_const(list).row(128).cells[2], "") << "a plain number is kept beside the row";

    // The same texts in a grid that keeps them in its rows compare equal, both ways.
    Grid plain(3, list.rowCount(), 0);
    for (int s = 0; s < list.rowCount(); ++s) plain.setRow(s, GridRow{list.cells(s), list.colour(s)});
    EXPECT_TRUE(plain == list);
    EXPECT_TRUE(list == plain);
    EXPECT_TRUE(list.sameRow(7, plain, 7));
    EXPECT_FALSE(list.sameRow(7, plain, 8));
    plain.setCell(50, 2, "51");
    list.setCell(50, 2, "50");
    EXPECT_FALSE(plain == list);
    EXPECT_FALSE(list == plain);
    EXPECT_FALSE(list.sameRow(50, plain, 50));
}

TEST(Grid, EqualityReadsCellsOfRowsThatAreNotShared) {
    Grid a(3, 130);
    Grid b(3, 130);  // same cells, nothing shared
    EXPECT_TRUE(a == b);
    b.setCell(129, 2, "x");
    EXPECT_FALSE(a == b) << "last row of the last block";
    a.setCell(129, 2, "x");
    EXPECT_TRUE(a == b);
    b.setColour(64, kColourGrey);
    EXPECT_FALSE(a == b) << "first row of a block, colour only";
    b.setColour(64, kColourNone);
    EXPECT_TRUE(a == b);
    Grid c(4, 130);
    EXPECT_FALSE(a == c) << "other column count";
    b.appendRow();
    EXPECT_FALSE(a == b) << "other row count";
}

TEST(Grid, AccessOutsideTheGridIsRefused) {
    Grid grid(2, 3);
    EXPECT_THROW(grid.cell(3, 0), std::out_of_range);
    EXPECT_THROW(grid.setCell(0, 2, "x"), std::out_of_range);
    EXPECT_THROW(grid.copyRow(0, 3), std::out_of_range);
    EXPECT_THROW(grid.exchangeRows(-1, 0), std::out_of_range);
    EXPECT_THROW(grid.rotateRows(0, 1, 4), std::out_of_range);
    EXPECT_THROW(grid.rotateRows(2, 1, 3), std::out_of_range);
    EXPECT_THROW(grid.removeRow(3), std::out_of_range);
    EXPECT_THROW(grid.permuteRows(1, {2, 3}), std::out_of_range) << "past the last row";
    EXPECT_THROW(grid.permuteRows(1, {1, 1}), std::out_of_range) << "a row taken twice";
    EXPECT_THROW(grid.permuteRows(1, {0, 2}), std::out_of_range) << "a row before the range";
    EXPECT_NO_THROW(grid.permuteRows(1, {2, 1}));
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_NO_THROW(grid.rotateRows(1, 1, 3)) << "an empty rotation moves nothing";
}

// A numbered column reads each data row's position through every kind of change, is
// not stored (writes to it change nothing and leave the row shared) and keeps the title
// row's text. Expected numbers are the row indexes, as literals where it matters.
TEST(Grid, NumberedColumnReadsEachRowsPosition) {
    struct Case {
        const char* what;
        void (*edit)(Grid&);
        const char* firstName;  // the name at row 1 afterwards
        int rows;               // the row count afterwards (title row included)
    };
    const Case cases[] = {
        {"nothing", [](Grid&) {}, "n1", 301},
        {"last row to the top", [](Grid& g) { g.rotateRows(1, 300, 301); }, "n300", 301},
        {"top row to the end", [](Grid& g) { g.rotateRows(1, 2, 301); }, "n2", 301},
        {"block across blocks", [](Grid& g) { g.rotateRows(1, 100, 250); }, "n100", 301},
        {"exchange", [](Grid& g) { g.exchangeRows(1, 299); }, "n299", 301},
        {"remove the first", [](Grid& g) { g.removeRow(1); }, "n2", 300},
        {"permute", [](Grid& g) { g.permuteRows(1, {3, 1, 2}); }, "n3", 301},
        {"grow", [](Grid& g) { g.setRowCount(500); }, "n1", 500},
        {"shrink", [](Grid& g) { g.setRowCount(70); }, "n1", 70},
        {"append", [](Grid& g) { g.appendRow(); }, "n1", 302},
    };
    for (const Case& c : cases) {
        Grid grid(3, 301, 0);
        grid.setCell(0, 0, "Pos.");
        for (int r = 1; r <= 300; ++r) grid.setCell(r, 1, "n" + std::to_string(r));
        c.edit(grid);
        ASSERT_EQ(grid.rowCount(), c.rows) << c.what;
        EXPECT_EQ(grid.cell(1, 1), c.firstName) << c.what;
        EXPECT_EQ(grid.cell(0, 0), "Pos.") << c.what;
        for (int r = 1; r < grid.rowCount(); ++r) {
            ASSERT_EQ(grid.cell(r, 0), std::to_string(r)) << c.what << " row " << r;
            ASSERT_EQ(grid.cells(r)[0], std::to_string(r)) << c.what << " row " << r;
        }
        EXPECT_EQ(grid.cell(2, 0), "2") << c.what;
        EXPECT_EQ(grid.cells(2), (std::vector<std::string>{"2", grid.cell(2, 1), ""})) << c.what;
    }

    Grid grid(3, 301, 0);
    for (int r = 1; r <= 300; ++r) grid.setCell(r, 1, "n" + std::to_string(r));
    const Grid before = grid;
    grid.setCell(5, 0, "99");
    grid.setRow(6, GridRow{{"77", "n6"}, kColourNone});
    EXPECT_EQ(grid.cell(5, 0), "5");
    EXPECT_EQ(grid.cell(6, 0), "6");
    EXPECT_EQ(grid.row(6).cells[0], "") << "the number is not stored";
    EXPECT_TRUE(grid == before);
    EXPECT_EQ(&std::as_const(grid).row(5), &before.row(5)) << "a write to the number leaves the row shared";

    // The same texts held in an unnumbered grid compare equal; another number does not.
    Grid plain(3, 301);
    for (int r = 1; r <= 300; ++r) {
        plain.setCell(r, 0, std::to_string(r));
        plain.setCell(r, 1, "n" + std::to_string(r));
    }
    EXPECT_TRUE(plain == before);
    EXPECT_TRUE(before == plain);
    plain.setCell(300, 0, "301");
    EXPECT_FALSE(plain == before);
    EXPECT_FALSE(before == plain);
}

// Moving one row from far down to the top keeps every row the same row, one place down:
// the copy holds its block table and the blocks at the ends of the move only.
TEST(Grid, MovingOneRowKeepsTheRowsItPassesShared) {
    Grid base(11, 9991, 0);
    for (int r = 1; r < base.rowCount(); ++r) base.setCell(r, 1, "channel " + std::to_string(r));
    Grid moved = base;
    moved.rotateRows(1, 9000, 9001);
    EXPECT_EQ(moved.cell(1, 1), "channel 9000");
    EXPECT_EQ(moved.cell(9000, 1), "channel 8999");
    EXPECT_EQ(moved.cell(9001, 1), "channel 9001");
    EXPECT_EQ(&std::as_const(moved).row(1), &std::as_const(base).row(9000));
    for (int r = 1; r < 9000; ++r) ASSERT_EQ(&std::as_const(moved).row(r + 1), &std::as_const(base).row(r)) << r;
    EXPECT_LE(moved.bytesNotSharedWith(&base), 8u * 1024);
    // A thousand moves: the blocks stay few, so the table a copy holds stays small.
    for (int i = 0; i < 1000; ++i) moved.rotateRows(1, 9000, 9001);
    Grid copy = moved;
    copy.rotateRows(1, 9000, 9001);
    EXPECT_LE(copy.bytesNotSharedWith(&moved), 8u * 1024);
    EXPECT_EQ(copy.cell(1, 1), "channel 7999");
    for (int r = 1; r < copy.rowCount(); ++r) ASSERT_EQ(copy.cell(r, 0), std::to_string(r)) << r;
}

// What a copy holds beyond the grid it came from, for edits of each kind on a grid of
// 10,000 rows: one block and its changed rows, never the whole table.
TEST(Grid, CopiesHoldOnlyTheRowsThatChanged) {
    Grid base(11, 10001);
    for (int r = 1; r < base.rowCount(); ++r) base.setCell(r, 1, "channel " + std::to_string(r));
    const std::size_t whole = base.bytesNotSharedWith(nullptr);
    EXPECT_EQ(Grid(base).bytesNotSharedWith(&base), (base.rowCount() + Grid::kBlockRows - 1) / Grid::kBlockRows * sizeof(void*) * 2)
        << "an unchanged copy holds its block table only";

    struct Case {
        const char* what;
        void (*edit)(Grid&);
        std::size_t most;  // bytes
    };
    const Case cases[] = {
        {"one cell", [](Grid& g) { g.setCell(5000, 1, "renamed"); }, 8 * 1024},
        {"last row", [](Grid& g) { g.setColour(10000, kColourGrey); }, 8 * 1024},
        {"exchange", [](Grid& g) { g.exchangeRows(1, 10000); }, 8 * 1024},
        {"rotate 5,000 rows", [](Grid& g) { g.rotateRows(1, 5001, 10001); }, 200 * 1024},
        {"permute 3 rows", [](Grid& g) { g.permuteRows(9998, {10000, 9998, 9999}); }, 8 * 1024},
        {"new row", [](Grid& g) { g.setRow(7, GridRow{{"7", "a new channel"}, kColourRadio}); }, 8 * 1024},
        // The copied row also stands in a block both grids share: one row at most.
        {"row copied far", [](Grid& g) { g.copyRow(3, 9999); }, 8 * 1024},
    };
    for (const Case& c : cases) {
        Grid edited = base;
        c.edit(edited);
        const std::size_t held = edited.bytesNotSharedWith(&base);
        EXPECT_LE(held, c.most) << c.what;
        EXPECT_LT(held * 10, whole) << c.what;
        EXPECT_FALSE(edited == base) << c.what;
    }
    // Every row rewritten: the copy holds them all.
    Grid rewritten = base;
    for (int r = 1; r < rewritten.rowCount(); ++r) rewritten.setCell(r, 2, "x");
    EXPECT_GT(rewritten.bytesNotSharedWith(&base), whole / 2);
}

}  // namespace
}  // namespace rivo
