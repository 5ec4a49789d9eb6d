// The key editor's shell, opened from the main window: what OK, Clear and
// Cancel leave in the model on each page, the libraries' entries reaching
// the model only by OK on their page, renaming and new entries, Enter in the
// edits, scrolling a library, the pages' controls and the picker tips.
#include "key_editor_support.h"

#include "SkinScrollBar.h"
#include "TavoModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

using namespace key_editor_test;

CItemList listOf(std::initializer_list<const wchar_t*> items, int view = 6) {
    CItemList list(view);
    for (const wchar_t* item : items)
        list.SetItem(20000, item);
    return list;
}

// A library of named entries with their contents.
CItemList libraryOf(std::initializer_list<std::pair<const wchar_t*, CItemList>> entries,
                    int view = 6) {
    CItemList library(view);
    for (const auto& [name, content] : entries) {
        library.SetItem(200000, name);
        library.SetSubList(library.CursorPos, content);
    }
    library.SelectIndex(0);
    return library;
}

// Moves the mouse to p and lets the editor paint.
void hover(Editor& editor, QPoint p) {
    QMouseEvent move(QEvent::MouseMove, p, editor.mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&editor, &move);
    shell_test::grabImage(editor);
}

void assign(int key, int layer, int mode, int hw, const CItemList& list = CItemList()) {
    g_model.keyMode[key][layer] = mode;
    g_model.keyHWCode[key][layer] = hw;
    g_model.keyList[key][layer].Assign(list);
}

TEST(KeyEditorOk, WhatEachEndingLeavesInTheModel) {
    const CItemList macro = listOf({L"A Down", L"<20 ms>", L"A UP"}, 9);
    const struct {
        const char* what;
        int mode, hw;
        CItemList list;
        int layer;
        std::vector<int> clicks;
        int wantMode, wantHW;
        int otherLayerMode, otherLayerHW; // -1: as before (not set)
    } cases[] = {
        {"a macro, OK on page 4 with nothing chosen",
         MODE_MACRO,
         0,
         macro,
         0,
         {93, 88},
         0,
         0,
         -1,
         -1},
        {"a single key, Clear then Cancel",
         MODE_SINGLE,
         30,
         {},
         0,
         {87, 89},
         MODE_SINGLE,
         30,
         -1,
         -1},
        {"a single key, Clear then OK", MODE_SINGLE, 30, {}, 0, {87, 88}, 0, 30, -1, -1},
        {"a single key, OK keeps it", MODE_SINGLE, 30, {}, 1, {88}, MODE_SINGLE, 30, -1, -1},
        {"a multimedia function, OK on its page",
         MODE_MULTIMEDIA,
         111,
         {},
         0,
         {88},
         MODE_MULTIMEDIA,
         111,
         -1,
         -1},
        {"a mouse function, OK on page 1", MODE_MOUSE, 130, {}, 0, {90, 88}, 0, 130, -1, -1},
        {"the Fn key on the top layer sets both",
         MODE_FUNCTION,
         156,
         {},
         0,
         {88},
         MODE_FUNCTION,
         156,
         MODE_FUNCTION,
         156},
        {"the Fn key on the Fn layer sets both",
         MODE_FUNCTION,
         156,
         {},
         1,
         {88},
         MODE_FUNCTION,
         156,
         MODE_FUNCTION,
         156},
        {"another function sets one layer",
         MODE_FUNCTION,
         150,
         {},
         0,
         {88},
         MODE_FUNCTION,
         150,
         -1,
         -1},
        {"the power key, the close button", MODE_POWER, 76, {}, 0, {97}, MODE_POWER, 76, -1, -1},
    };
    for (const auto& c : cases) {
        ProgramRun run;
        run([&](MainDlg& main) {
            const int key = 30;
            g_model.currentLayer = c.layer;
            assign(key, c.layer, c.mode, c.hw, c.list);
            assign(key, 1 - c.layer, MODE_NOT_SET, 7);
            editKey(main, key, [&](Editor& editor) {
                for (int id : c.clicks)
                    clickElement(editor, id);
            });
            EXPECT_EQ(g_model.keyMode[key][c.layer], c.wantMode) << c.what;
            EXPECT_EQ(g_model.keyHWCode[key][c.layer], c.wantHW) << c.what;
            EXPECT_EQ(g_model.keyMode[key][1 - c.layer],
                      c.otherLayerMode < 0 ? MODE_NOT_SET : c.otherLayerMode)
                << c.what;
            EXPECT_EQ(g_model.keyHWCode[key][1 - c.layer], c.otherLayerHW < 0 ? 7 : c.otherLayerHW)
                << c.what;
        });
    }
}

TEST(KeyEditorLibraries, ADefaultEntryReachesTheModelOnlyByOkOnItsPage) {
    ProgramRun run;
    run([&](MainDlg& main) {
        const CItemList combo = listOf({L"A", L"B"});
        g_model.predefinedCombos.Assign(libraryOf({{L"other", listOf({L"C"})}}));
        assign(40, 0, MODE_COMBO, 0, combo);
        editKey(main, 40, [&](Editor& editor) {
            EXPECT_FALSE(editor.singleMode());
            ASSERT_EQ(editor.library(1).Count(), 2);
            EXPECT_EQ(editor.library(1).GetItem(editor.library(1).CursorPos), L"default");
            EXPECT_EQ(editor.content(1).items, combo.items);
            clickElement(editor, 89);
        });
        EXPECT_EQ(g_model.predefinedCombos.Count(), 1) << "Cancel";

        editKey(main, 40, [&](Editor& editor) {
            clickElement(editor, 91); // page 2
            clickElement(editor, 88);
        });
        EXPECT_EQ(g_model.predefinedCombos.Count(), 1) << "OK on another page";
        EXPECT_EQ(g_model.keyMode[40][0], MODE_NOT_SET);

        assign(40, 0, MODE_COMBO, 0, combo);
        editKey(main, 40, [&](Editor& editor) { clickElement(editor, 88); });
        ASSERT_EQ(g_model.predefinedCombos.Count(), 2);
        EXPECT_EQ(g_model.predefinedCombos.GetItem(1), L"default");
        EXPECT_EQ(g_model.predefinedCombos.GetSubList(1).items, combo.items);
        EXPECT_EQ(g_model.keyMode[40][0], MODE_COMBO);
        EXPECT_EQ(g_model.keyList[40][0].items, combo.items);

        // Opened again, the key's combination is found in the library.
        editKey(main, 40, [&](Editor& editor) {
            EXPECT_EQ(editor.library(1).Count(), 2);
            EXPECT_EQ(editor.library(1).CursorPos, 1);
        });
    });
}

TEST(KeyEditorLibraries, RenameNewAndDelete) {
    ProgramRun run;
    run([&](MainDlg& main) {
        g_model.language = "en-US";
        g_model.predefinedCombos.Assign(
            libraryOf({{L"one", listOf({L"A"})}, {L"New Combo 1", listOf({L"B"})}}));
        editKey(main, 41, [&](Editor& editor) {
            QLineEdit* name = editor.lineEdit(Editor::kEditInPlace);
            // A first click selects, a second opens the name editor.
            clickElement(editor, 122);
            EXPECT_EQ(editor.library(1).CursorPos, 1);
            EXPECT_EQ(editor.content(1).items, std::vector<std::wstring>{L"B"});
            EXPECT_FALSE(editor.inPlaceEditorOpen());
            clickElement(editor, 122);
            ASSERT_TRUE(editor.inPlaceEditorOpen());
            EXPECT_TRUE(name->isVisible());
            EXPECT_EQ(name->text(), "New Combo 1");
            EXPECT_EQ(name->geometry().topLeft(), QPoint(214, 152));
            QTest::keyClicks(name, "two");
            clickElement(editor, 103); // anywhere else stores the name
            EXPECT_FALSE(editor.inPlaceEditorOpen());
            EXPECT_FALSE(name->isVisible());
            EXPECT_EQ(editor.library(1).GetItem(1), L"two");

            // New and Delete act in combination mode only.
            clickElement(editor, 105);
            EXPECT_EQ(editor.library(1).Count(), 2);
            clickElement(editor, 102);
            clickElement(editor, 105);
            ASSERT_EQ(editor.library(1).Count(), 3);
            EXPECT_EQ(editor.library(1).CursorPos, 2);
            EXPECT_TRUE(editor.content(1).IsEmpty());
            EXPECT_EQ(name->text(), "New Combo 1") << "the first number not taken";
            name->setFocus();
            QTest::keyClick(name, Qt::Key_Return);
            EXPECT_TRUE(editor.isVisible()) << "Enter commits the name only";
            EXPECT_FALSE(editor.inPlaceEditorOpen());
            EXPECT_EQ(editor.library(1).GetItem(2), L"New Combo 1");

            clickElement(editor, 121);
            shell_test::grabImage(editor);
            clickElement(editor, 106); // deletes "one"
            ASSERT_EQ(editor.library(1).Count(), 2);
            EXPECT_EQ(editor.library(1).GetItem(0), L"two");
            EXPECT_EQ(editor.content(1).items, std::vector<std::wstring>{L"B"});
            clickElement(editor, 88);
        });
        ASSERT_EQ(g_model.predefinedCombos.Count(), 2);
        EXPECT_EQ(g_model.predefinedCombos.GetItem(0), L"two");
        EXPECT_EQ(g_model.predefinedCombos.GetItem(1), L"New Combo 1");
        EXPECT_EQ(g_model.keyMode[41][0], MODE_COMBO) << "the selected entry's combination";
        EXPECT_EQ(g_model.keyList[41][0].items, std::vector<std::wstring>{L"B"});
    });
}

TEST(KeyEditorKeyboard, EnterInTheEditsNeverClosesTheEditor) {
    ProgramRun run;
    run([&](MainDlg& main) {
        g_model.predefinedMacros.Assign(libraryOf({{L"m", listOf({L"A Down"}, 9)}}, 9));
        const int result = editKey(main, 42, [&](Editor& editor) {
            clickElement(editor, 91);
            for (int id : {Editor::kEditNumber, Editor::kEditPause}) {
                QLineEdit* edit = editor.lineEdit(id);
                edit->setEnabled(true);
                edit->setFocus();
                QTest::keyClick(edit, Qt::Key_Return);
                QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
                EXPECT_TRUE(editor.isVisible()) << id;
            }
            // The name editor over the library row.
            clickElement(editor, 221);
            ASSERT_TRUE(editor.inPlaceEditorOpen());
            QLineEdit* name = editor.lineEdit(Editor::kEditInPlace);
            QTest::keyClick(name, Qt::Key_Return);
            EXPECT_TRUE(editor.isVisible());
            EXPECT_FALSE(editor.inPlaceEditorOpen());
            // Anywhere else Enter is the OK button.
            editor.setFocus();
            QTest::keyClick(&editor, Qt::Key_Return);
            EXPECT_FALSE(editor.isVisible());
        });
        EXPECT_EQ(result, shell::IDOK);
        EXPECT_EQ(g_model.keyMode[42][0], MODE_MACRO);
    });
}

TEST(KeyEditorLibraries, ScrollingTheLibraryMovesTheContentWithTheSelection) {
    ProgramRun run;
    run([&](MainDlg& main) {
        g_model.predefinedCombos.Assign(
            libraryOf({{L"a", listOf({L"A"})}, {L"b", listOf({L"B"})}, {L"c", listOf({L"C"})}}));
        assign(43, 0, MODE_COMBO, 0, listOf({L"A"}));
        editKey(main, 43, [&](Editor& editor) {
            shell::CSkinScrollBar* bar = editor.scrollBar(Editor::kLibraryBar);
            ASSERT_TRUE(bar->isVisible());
            EXPECT_EQ(bar->scrollInfo().nMax, 3 + 5);
            EXPECT_EQ(bar->scrollInfo().nPage, 6);
            const QPoint down(bar->width() / 2, bar->height() - 2);
            QTest::mouseClick(bar, Qt::LeftButton, {}, down);
            EXPECT_EQ(bar->scrollInfo().nPos, 1);
            EXPECT_EQ(editor.library(1).SelectedIndex(), 1);
            EXPECT_EQ(editor.content(1).items, std::vector<std::wstring>{L"B"});
            QTest::mouseClick(bar, Qt::LeftButton, {}, down);
            EXPECT_EQ(editor.content(1).items, std::vector<std::wstring>{L"C"});
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 2));
            shell_test::grabImage(editor);
            EXPECT_EQ(editor.comboEdit()->toPlainText(), "B");
            clickElement(editor, 88);
        });
        EXPECT_EQ(g_model.keyList[43][0].items, std::vector<std::wstring>{L"B"});
        // Every entry kept its own content.
        ASSERT_EQ(g_model.predefinedCombos.Count(), 3);
        const wchar_t* names[] = {L"A", L"B", L"C"};
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(g_model.predefinedCombos.GetSubList(i).items,
                      std::vector<std::wstring>{names[i]});
    });
}

TEST(KeyEditorLibraries, ANameBeingTypedIsStoredBeforeTheListScrolls) {
    ProgramRun run;
    run([&](MainDlg& main) {
        CItemList library(6);
        for (int i = 0; i < 8; ++i)
            library.SetItem(200000, L"e" + std::to_wstring(i));
        library.SelectIndex(0);
        g_model.predefinedCombos.Assign(library);
        editKey(main, 46, [&](Editor& editor) {
            clickElement(editor, 121); // the selected row: the name editor
            ASSERT_TRUE(editor.inPlaceEditorOpen());
            QTest::keyClicks(editor.lineEdit(Editor::kEditInPlace), "first");
            shell::CSkinScrollBar* bar = editor.scrollBar(Editor::kLibraryBar);
            for (int i = 0; i < 7; ++i)
                QTest::mouseClick(bar, Qt::LeftButton, {},
                                  QPoint(bar->width() / 2, bar->height() - 2));
            EXPECT_FALSE(editor.inPlaceEditorOpen());
            EXPECT_GT(editor.library(1).ViewStartAt, 0) << "the rows moved";
            clickElement(editor, 88);
        });
        ASSERT_EQ(g_model.predefinedCombos.Count(), 8);
        EXPECT_EQ(g_model.predefinedCombos.items[0], L"first");
        EXPECT_EQ(g_model.predefinedCombos.items[1], L"e1");
    });
}

TEST(KeyEditorPages, EachPageShowsItsControlsAndTakesOnlyItsElements) {
    ProgramRun run;
    run([&](MainDlg& main) {
        editKey(main, 44, [&](Editor& editor) {
            // The New macro button lies where page 1 has nothing.
            const auto newMacro = editor.element(205)->rect;
            const QPoint onNewMacro(newMacro.left + 2, newMacro.top + 2);
            for (int page = 1; page <= 7; ++page) {
                clickElement(editor, 89 + page);
                EXPECT_EQ(editor.currentPage(), page);
                EXPECT_EQ(editor.comboEdit()->isVisible(), page == 1) << page;
                EXPECT_EQ(editor.lineEdit(Editor::kEditNumber)->isVisible(), page == 2 || page == 3)
                    << page;
                EXPECT_EQ(editor.lineEdit(Editor::kEditPause)->isVisible(), page == 2) << page;
                EXPECT_FALSE(editor.lineEdit(Editor::kEditPause)->isEnabled()) << page;
                EXPECT_FALSE(editor.lineEdit(Editor::kEditInPlace)->isVisible()) << page;
                EXPECT_EQ(editor.scrollBar(Editor::kLibraryBar)->isVisible(), page <= 3) << page;
                EXPECT_EQ(editor.scrollBar(Editor::kContentBar)->isVisible(),
                          page == 2 || page == 3)
                    << page;
                const int hit = editor.elementAt(onNewMacro);
                EXPECT_EQ(hit >= 0 && editor.elements()[hit].id == 205, page == 2) << page;
            }
        });
    });
}

TEST(KeyEditorPages, PickerIconsShowTheirTipsUnlessChosen) {
    ProgramRun run;
    run([&](MainDlg& main) {
        g_model.language = "en-US";
        assign(45, 0, MODE_MULTIMEDIA, 111, {}); // Play/Pause, icon 402
        editKey(main, 45, [&](Editor& editor) {
            EXPECT_EQ(editor.currentPage(), 4);
            shell_test::grabImage(editor);
            EXPECT_TRUE(editor.element(402)->selected);
            hover(editor, editor.centreOf(401));
            EXPECT_EQ(editor.toolTipText(), "Media Select");
            hover(editor, editor.centreOf(402));
            EXPECT_EQ(editor.toolTipText(), "") << "the chosen icon";
            hover(editor, editor.centreOf(405));
            EXPECT_EQ(editor.toolTipText(), "Previous Track");
            hover(editor, editor.centreOf(88));
            EXPECT_EQ(editor.toolTipText(), "");
        });
    });
}

} // namespace
