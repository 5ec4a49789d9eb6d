#include "ItemList.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace {

CItemList ListOf(int sizeOfView, std::initializer_list<const wchar_t*> texts) {
    CItemList list(sizeOfView);
    for (const auto* text : texts)
        list.SetItem(200000, text);
    return list;
}

std::vector<std::wstring> Texts(std::initializer_list<const wchar_t*> texts) {
    return std::vector<std::wstring>(texts.begin(), texts.end());
}

// The invariants every operation keeps.
void ExpectSound(const CItemList& list) {
    ASSERT_EQ(list.items.size(), list.subLists.size());
    if (list.IsEmpty()) {
        EXPECT_EQ(list.ViewStartAt, 0);
        EXPECT_EQ(list.CursorPos, 0);
        return;
    }
    EXPECT_GE(list.ViewStartAt, 0);
    EXPECT_LT(list.ViewStartAt, list.Count());
    EXPECT_GE(list.CursorPos, 0);
    EXPECT_LT(list.SelectedIndex(), list.Count());
}

TEST(ItemList, DefaultsOfANewList) {
    const CItemList list;
    EXPECT_EQ(list.SizeOfView, 0);
    EXPECT_EQ(list.ViewStartAt, 0);
    EXPECT_EQ(list.CursorPos, 0);
    EXPECT_TRUE(list.items.empty());
    EXPECT_TRUE(list.subLists.empty());
    EXPECT_EQ(list.Cycles, 1);
    EXPECT_FALSE(list.IsAutoInterval);
    EXPECT_EQ(list.Delay, 30);
    EXPECT_EQ(list.PlayMode, 0);
    EXPECT_EQ(CItemList(9).SizeOfView, 9);
}

TEST(ItemList, AppendingScrollsTheNewItemIntoTheLastUsedRow) {
    struct Step {
        int count;
        int viewStartAt;
        int cursorPos;
    };
    const Step steps[] = {{1, 0, 0}, {2, 0, 1}, {6, 0, 5}, {7, 1, 5}, {8, 2, 5}};
    CItemList list(6);
    int appended = 0;
    for (const auto& step : steps) {
        while (appended < step.count)
            list.SetItem(20000, L"item" + std::to_wstring(appended++));
        EXPECT_EQ(list.ViewStartAt, step.viewStartAt) << step.count;
        EXPECT_EQ(list.CursorPos, step.cursorPos) << step.count;
        EXPECT_EQ(list.SelectedIndex(), step.count - 1);
        ExpectSound(list);
    }
    // Each new item gets an empty sub-list with the list's view size.
    EXPECT_EQ(list.subLists.back().SizeOfView, 6);
    EXPECT_TRUE(list.subLists.back().IsEmpty());
}

TEST(ItemList, AppendingFromAScrolledBackViewShowsTheNewItemAtTheBottom) {
    CItemList list = ListOf(3, {L"a", L"b", L"c", L"d", L"e"}); // view 2..4
    list.SelectIndex(0);                                        // view 0..2
    ASSERT_EQ(list.ViewStartAt, 0);
    list.SetItem(100, L"f");
    EXPECT_EQ(list.ViewStartAt, 3);
    EXPECT_EQ(list.CursorPos, 2);
    EXPECT_EQ(list.GetItem(2), L"f");
}

TEST(ItemList, AppendingToAListWithoutViewRowsKeepsTheViewInsideTheList) {
    // Key lists start with a view size of 0; the new item must still be the
    // selected, visible one.
    for (int size : {0, -3}) {
        CItemList list(size);
        for (int i = 0; i < 3; ++i) {
            list.SetItem(20000, L"x");
            EXPECT_EQ(list.ViewStartAt, i);
            EXPECT_EQ(list.CursorPos, 0);
            ExpectSound(list);
        }
    }
}

TEST(ItemList, RowsAreCountedFromTheViewStart) {
    CItemList list = ListOf(2, {L"a", L"b", L"c", L"d"}); // view 2..3
    ASSERT_EQ(list.ViewStartAt, 2);
    EXPECT_EQ(list.GetItem(0), L"c");
    EXPECT_EQ(list.GetItem(1), L"d");
    EXPECT_EQ(list.GetItem(-2), L"a");
    EXPECT_EQ(list.GetItem(2), L"");
    EXPECT_EQ(list.GetItem(-3), L"");
    EXPECT_EQ(list.GetItem(INT_MAX), L"");
    EXPECT_EQ(list.GetItem(INT_MIN), L"");

    list.SetItem(1, L"D");
    list.SetItem(-1, L"B");
    EXPECT_EQ(list.items, Texts({L"a", L"B", L"c", L"D"}));
    EXPECT_EQ(list.ViewStartAt, 2); // replacing does not scroll
}

TEST(ItemList, RowsBeforeTheFirstItemChangeNothing) {
    const CItemList original = ListOf(6, {L"a", L"b"});
    CItemList list = original;
    list.SetItem(-1, L"x");
    list.InsertItem(-1, L"x");
    list.DeleteItem(-1);
    list.SetSubList(-1, ListOf(6, {L"y"}));
    list.SetItem(INT_MIN, L"x");
    EXPECT_EQ(list.items, original.items);
    EXPECT_TRUE(list.subLists[0].IsEmpty());
    EXPECT_EQ(list.ViewStartAt, original.ViewStartAt);
    EXPECT_EQ(list.CursorPos, original.CursorPos);
}

TEST(ItemList, SubListsByRow) {
    CItemList list = ListOf(6, {L"a", L"b"});
    list.SetSubList(1, ListOf(9, {L"x", L"y"}));
    EXPECT_EQ(list.GetSubList(1).items, Texts({L"x", L"y"}));
    EXPECT_EQ(list.GetSubList(1).SizeOfView, 9);
    list.SetSubList(2, ListOf(9, {L"z"})); // past the end: nothing
    EXPECT_EQ(list.Count(), 2);

    // Past the end: an empty list with the parent's view size.
    for (int r : {2, 200000, -1, INT_MIN}) {
        const CItemList sub = list.GetSubList(r);
        EXPECT_TRUE(sub.IsEmpty()) << r;
        EXPECT_EQ(sub.SizeOfView, 6) << r;
    }
}

TEST(ItemList, SetSubListAcceptsTheListItselfOrItsOwnSubList) {
    CItemList list = ListOf(6, {L"a", L"b"});
    list.SetSubList(0, ListOf(6, {L"x"}));
    list.SetSubList(1, list.subLists[0]);
    EXPECT_EQ(list.subLists[1].items, Texts({L"x"}));
    list.SetSubList(0, list);
    EXPECT_EQ(list.subLists[0].items, Texts({L"a", L"b"}));
    EXPECT_EQ(list.subLists[0].subLists[0].items, Texts({L"x"}));
}

TEST(ItemList, InsertItemInsertsBeforeTheRowWithoutMovingTheView) {
    CItemList list = ListOf(2, {L"a", L"b", L"c"}); // view 1..2
    list.SelectIndex(2);
    ASSERT_EQ(list.ViewStartAt, 1);
    ASSERT_EQ(list.CursorPos, 1);
    list.SetSubList(0, ListOf(6, {L"sub of b"}));
    list.InsertItem(0, L"new");
    EXPECT_EQ(list.items, Texts({L"a", L"new", L"b", L"c"}));
    EXPECT_TRUE(list.subLists[1].IsEmpty());
    EXPECT_EQ(list.subLists[2].items, Texts({L"sub of b"})); // sub-lists move with their items
    EXPECT_EQ(list.ViewStartAt, 1);
    EXPECT_EQ(list.CursorPos, 1);

    list.InsertItem(20000, L"last"); // past the end: appends and scrolls
    EXPECT_EQ(list.items.back(), L"last");
    EXPECT_EQ(list.ViewStartAt, 3);
    EXPECT_EQ(list.CursorPos, 1);
    ExpectSound(list);
}

TEST(ItemList, DeleteItem) {
    struct Case {
        const char* what;
        int count;
        int sizeOfView;
        int selectIndex;
        int row;
        std::vector<std::wstring> remaining;
        int viewStartAt;
        int cursorPos;
    };
    const Case cases[] = {
        {"row past the end removes the last", 3, 6, 0, 100, Texts({L"0", L"1"}), 0, 0},
        {"only item", 1, 6, 0, 0, {}, 0, 0},
        {"cursor pulled up at the end", 3, 6, 2, 2, Texts({L"0", L"1"}), 0, 1},
        {"first item, view stays", 3, 6, 2, 0, Texts({L"1", L"2"}), 0, 1},
        {"view pulled down to the last item", 4, 1, 3, 0, Texts({L"0", L"1", L"2"}), 2, 0},
        {"middle of a scrolled view", 5, 2, 4, 0, Texts({L"0", L"1", L"2", L"4"}), 3, 0},
    };
    for (const auto& c : cases) {
        CItemList list(c.sizeOfView);
        for (int i = 0; i < c.count; ++i)
            list.SetItem(20000, std::to_wstring(i));
        list.SelectIndex(c.selectIndex);
        list.DeleteItem(c.row);
        EXPECT_EQ(list.items, c.remaining) << c.what;
        EXPECT_EQ(list.ViewStartAt, c.viewStartAt) << c.what;
        EXPECT_EQ(list.CursorPos, c.cursorPos) << c.what;
        ExpectSound(list);
    }
    CItemList empty(6);
    empty.DeleteItem(0);
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(ItemList, SelectIndexScrollsOnlyWhenOutsideTheView) {
    struct Case {
        int index;
        int viewStartAt;
        int cursorPos;
    };
    // Ten items, view of four rows starting at 3 (rows 3..6).
    const Case cases[] = {
        {3, 3, 0}, {6, 3, 3}, {7, 7, 0}, {2, 2, 0}, {-4, 0, 0}, {99, 9, 0}, {INT_MAX, 9, 0},
    };
    for (const auto& c : cases) {
        CItemList list(4);
        for (int i = 0; i < 10; ++i)
            list.SetItem(20000, L"x");
        list.ViewStartAt = 3;
        list.CursorPos = 1;
        list.SelectIndex(c.index);
        EXPECT_EQ(list.ViewStartAt, c.viewStartAt) << c.index;
        EXPECT_EQ(list.CursorPos, c.cursorPos) << c.index;
    }
    CItemList empty(4);
    empty.ViewStartAt = 2;
    empty.CursorPos = 3;
    empty.SelectIndex(1);
    EXPECT_EQ(empty.ViewStartAt, 0);
    EXPECT_EQ(empty.CursorPos, 0);
}

TEST(ItemList, ClearKeepsOnlyTheViewSize) {
    CItemList list = ListOf(9, {L"a", L"b", L"c"});
    list.SetSubList(0, ListOf(6, {L"x"}));
    list.Cycles = 5;
    list.IsAutoInterval = true;
    list.Delay = 7;
    list.PlayMode = 2;
    list.ViewStartAt = 1;
    list.Clear();
    const CItemList fresh(9);
    EXPECT_TRUE(list.items.empty());
    EXPECT_TRUE(list.subLists.empty());
    EXPECT_EQ(list.SizeOfView, 9);
    EXPECT_EQ(list.ViewStartAt, 0);
    EXPECT_EQ(list.CursorPos, 0);
    EXPECT_EQ(list.Cycles, fresh.Cycles);
    EXPECT_EQ(list.IsAutoInterval, fresh.IsAutoInterval);
    EXPECT_EQ(list.Delay, fresh.Delay);
    EXPECT_EQ(list.PlayMode, fresh.PlayMode);
}

TEST(ItemList, AssignCopiesEveryFieldDeeply) {
    CItemList source = ListOf(9, {L"a", L"b", L"c"});
    source.SetSubList(1, ListOf(6, {L"x", L"y"}));
    source.ViewStartAt = 1;
    source.CursorPos = 2;
    source.Cycles = 4;
    source.IsAutoInterval = true;
    source.Delay = 15;
    source.PlayMode = 1;

    CItemList target = ListOf(6, {L"old1", L"old2", L"old3", L"old4"});
    target.Assign(source);
    EXPECT_EQ(target.SizeOfView, 9);
    EXPECT_EQ(target.ViewStartAt, 1);
    EXPECT_EQ(target.CursorPos, 2);
    EXPECT_EQ(target.items, source.items);
    EXPECT_EQ(target.subLists[1].items, Texts({L"x", L"y"}));
    EXPECT_EQ(target.Cycles, 4);
    EXPECT_TRUE(target.IsAutoInterval);
    EXPECT_EQ(target.Delay, 15);
    EXPECT_EQ(target.PlayMode, 1);

    // Deep: changing the copy leaves the source alone.
    target.subLists[1].SetItem(0, L"changed");
    target.SetItem(-1, L"changed");
    EXPECT_EQ(source.subLists[1].items, Texts({L"x", L"y"}));
    EXPECT_EQ(source.items, Texts({L"a", L"b", L"c"}));
}

TEST(ItemList, AssignFromItselfOrFromItsOwnSubList) {
    CItemList list = ListOf(9, {L"a", L"b"});
    list.SetSubList(0, ListOf(6, {L"x", L"y"}));
    list.Assign(list);
    EXPECT_EQ(list.items, Texts({L"a", L"b"}));
    EXPECT_EQ(list.subLists[0].items, Texts({L"x", L"y"}));
    list.Assign(list.subLists[0]);
    EXPECT_EQ(list.items, Texts({L"x", L"y"}));
    EXPECT_EQ(list.SizeOfView, 6);
}

TEST(ItemList, SameContentComparesTextsAndPlaySettingsOnly) {
    const CItemList base = ListOf(9, {L"A Down", L"<30 ms>", L"A UP"});
    struct Case {
        const char* what;
        void (*change)(CItemList&);
        bool same;
    };
    const Case cases[] = {
        {"unchanged", [](CItemList&) {}, true},
        {"cursor", [](CItemList& l) { l.CursorPos = 0; }, true},
        {"view start and size",
         [](CItemList& l) {
             l.ViewStartAt = 1;
             l.SizeOfView = 2;
         },
         true},
        {"sub-list", [](CItemList& l) { l.SetSubList(0, ListOf(6, {L"q"})); }, true},
        {"delay", [](CItemList& l) { l.Delay = 31; }, false},
        {"cycles", [](CItemList& l) { l.Cycles = 2; }, false},
        {"auto interval", [](CItemList& l) { l.IsAutoInterval = true; }, false},
        {"play mode", [](CItemList& l) { l.PlayMode = 1; }, false},
        {"text case", [](CItemList& l) { l.items[2] = L"a UP"; }, false},
        {"one more item", [](CItemList& l) { l.SetItem(100, L"B Down"); }, false},
        {"one item fewer", [](CItemList& l) { l.DeleteItem(100); }, false},
    };
    for (const auto& c : cases) {
        CItemList other = base;
        c.change(other);
        EXPECT_EQ(base.SameContent(other), c.same) << c.what;
        EXPECT_EQ(other.SameContent(base), c.same) << c.what;
    }
}

TEST(ItemList, FindItemIsExact) {
    const CItemList list = ListOf(6, {L"a", L"B", L"a", L""});
    EXPECT_EQ(list.FindItem(L"a"), 0);
    EXPECT_EQ(list.FindItem(L"B"), 1);
    EXPECT_EQ(list.FindItem(L""), 3);
    EXPECT_EQ(list.FindItem(L"b"), -1);
    EXPECT_EQ(list.FindItem(L"a "), -1);
    EXPECT_EQ(CItemList().FindItem(L""), -1);
}

TEST(ItemList, SelectOrAddSubListSelectsAnEqualEntryOrAddsDefault) {
    CItemList library(2);
    library.SetItem(200000, L"first");
    library.SetSubList(0, ListOf(6, {L"A", L"B"}));
    library.SetItem(200000, L"second");
    library.SetSubList(1, ListOf(6, {L"C"}));
    library.SetItem(200000, L"third");
    library.SetSubList(2, ListOf(6, {L"A", L"B"}));
    ASSERT_EQ(library.ViewStartAt, 1);

    // Found: the first equal entry is selected, scrolling to it.
    library.SelectOrAddSubList(ListOf(9, {L"A", L"B"}));
    EXPECT_EQ(library.Count(), 3);
    EXPECT_EQ(library.SelectedIndex(), 0);
    EXPECT_EQ(library.ViewStartAt, 0);

    // Not found: "default" is appended, selected and holds the content.
    CItemList content = ListOf(9, {L"D"});
    content.Delay = 99;
    library.SelectOrAddSubList(content);
    ASSERT_EQ(library.Count(), 4);
    EXPECT_EQ(library.items[3], L"default");
    EXPECT_EQ(library.SelectedIndex(), 3);
    EXPECT_TRUE(library.subLists[3].SameContent(content));
    EXPECT_EQ(library.subLists[3].SizeOfView, 9);
    ExpectSound(library);
}

TEST(ItemList, SelectOrAddSubListOnAnEmptyLibraryAndWithItsOwnContent) {
    CItemList library(6);
    library.SelectOrAddSubList(ListOf(6, {L"A"}));
    EXPECT_EQ(library.items, Texts({L"default"}));
    EXPECT_EQ(library.ViewStartAt, 0);
    EXPECT_EQ(library.CursorPos, 0);

    // Content taken from inside the library itself.
    library.subLists[0].SetItem(200000, L"B");
    library.subLists[0].SetSubList(0, ListOf(6, {L"Z"}));
    library.SelectOrAddSubList(library.subLists[0].subLists[0]);
    ASSERT_EQ(library.Count(), 2);
    EXPECT_EQ(library.subLists[1].items, Texts({L"Z"}));
    library.SelectOrAddSubList(library.subLists[1]);
    EXPECT_EQ(library.Count(), 2);
    EXPECT_EQ(library.SelectedIndex(), 1);
}

TEST(ItemList, KeepViewInBoundsRepairsAViewFromOutside) {
    struct Case {
        int count;
        int viewStartAt;
        int cursorPos;
        int expectedStart;
        int expectedCursor;
    };
    const Case cases[] = {
        {0, 5, 5, 0, 0},
        {3, 1, 1, 1, 1},
        {3, -4, 0, 0, 0},
        {3, 7, 2, 2, 0},
        {3, 0, 9, 0, 2},
        {3, INT_MIN, INT_MIN, 0, 0},
        {3, INT_MAX, INT_MAX, 2, 0},
    };
    for (const auto& c : cases) {
        CItemList list(6);
        for (int i = 0; i < c.count; ++i)
            list.SetItem(20000, L"x");
        list.ViewStartAt = c.viewStartAt;
        list.CursorPos = c.cursorPos;
        list.KeepViewInBounds();
        EXPECT_EQ(list.ViewStartAt, c.expectedStart) << c.viewStartAt;
        EXPECT_EQ(list.CursorPos, c.expectedCursor) << c.cursorPos;
        ExpectSound(list);
    }
}

TEST(ItemList, OperationsOnAViewFromOutsideStayInBounds) {
    // Fields as a damaged file may leave them: no operation may index outside
    // the list or overflow.
    const int wild[] = {INT_MIN, -1000, -1, 0, 1, 1000, INT_MAX};
    for (int start : wild) {
        for (int cursor : wild) {
            CItemList list(6);
            list.items = Texts({L"a", L"b", L"c"});
            list.subLists.assign(3, CItemList(6));
            list.ViewStartAt = start;
            list.CursorPos = cursor;
            for (int r : wild) {
                (void)list.GetItem(r);
                (void)list.GetSubList(r);
                list.SetSubList(r, CItemList(6));
            }
            list.SelectIndex(1);
            list.DeleteItem(INT_MAX);
            list.SetItem(INT_MAX, L"z");
            list.InsertItem(0, L"y");
            EXPECT_EQ(list.items.size(), list.subLists.size());
        }
    }
}

TEST(ItemList, RandomEditsKeepTheInvariants) {
    std::mt19937 random(4711);
    for (int size : {1, 3, 6, 9}) {
        CItemList list(size);
        for (int step = 0; step < 3000; ++step) {
            const int r = static_cast<int>(random() % 16) - 3;
            switch (random() % 6) {
            case 0:
                list.SetItem(r, L"s");
                break;
            case 1:
                list.SetItem(20000, L"a");
                break;
            case 2:
                list.InsertItem(r, L"i");
                break;
            case 3:
                list.DeleteItem(r);
                break;
            case 4:
                list.SelectIndex(r + list.ViewStartAt);
                break;
            default:
                list.SelectOrAddSubList(ListOf(size, {L"k"}));
                break;
            }
            ExpectSound(list);
            if (HasFailure())
                return;
        }
    }
}

TEST(ItemList, DelayItemText) {
    EXPECT_EQ(DelayItemText(30), L"<30 ms>");
    EXPECT_EQ(DelayItemText(0), L"<0 ms>");
    EXPECT_EQ(DelayItemText(-5), L"<-5 ms>");
    EXPECT_EQ(DelayItemText(INT_MIN), L"<-2147483648 ms>");
}

} // namespace
