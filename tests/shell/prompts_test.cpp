// The prompts: the filter strings as Qt's name filters, Qt's dialogs answered
// through their own widgets, and the scripted prompts' defaults.
#include "gui_support.h"

#include "QtPrompts.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace shell;

// Runs act on the first widget of type T that opens, from the event loop of
// the dialog under test.
template <typename T> void whenOpen(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        T* found = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
                found = t;
        if (!found)
            return;
        timer->stop();
        timer->deleteLater();
        act(found);
    });
    timer->start();
}

TEST(Prompts, FilterStringsBecomeQtNameFilters) {
    const std::pair<std::wstring, QStringList> cases[] = {
        {L"pro(*.pro)|*.pro|All Files(*.*)|*.*||", {"pro(*.pro) (*.pro)", "All Files(*.*) (*.*)"}},
        {L"Firmware|xrgb*.bin; xled*.bin||", {"Firmware (xrgb*.bin xled*.bin)"}},
        {L"bin(*.bin)|*.bin", {"bin(*.bin) (*.bin)"}},
        {L"lonely", {}},
        {L"", {}},
        {L"||", {}},
    };
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(qtNameFilters(filter), expected) << QString::fromStdWString(filter).toStdString();
}

TEST(Prompts, MessageBoxHasCaptionIconAndButtonsAndAnswersTheClickedOne) {
    struct Case {
        Buttons buttons;
        Icon icon;
        QMessageBox::StandardButton click;
        int answer;
        QMessageBox::Icon qtIcon;
    };
    const Case cases[] = {
        {Buttons::Ok, Icon::Error, QMessageBox::Ok, IDOK, QMessageBox::Critical},
        {Buttons::YesNo, Icon::Question, QMessageBox::No, IDNO, QMessageBox::Question},
        {Buttons::YesNo, Icon::Question, QMessageBox::Yes, IDYES, QMessageBox::Question},
        {Buttons::OkCancel, Icon::None, QMessageBox::Cancel, IDCANCEL, QMessageBox::NoIcon},
    };
    QtPrompts prompts;
    for (const auto& c : cases) {
        QString title, text;
        int buttonCount = 0;
        QMessageBox::Icon icon{};
        whenOpen<QMessageBox>([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttonCount = static_cast<int>(box->buttons().size());
            box->button(c.click)->click();
        });
        EXPECT_EQ(prompts.message(L"Keyboard is not connected!", c.buttons, c.icon), c.answer);
        EXPECT_EQ(title, "VantaCorv");
        EXPECT_EQ(text, "Keyboard is not connected!");
        EXPECT_EQ(icon, c.qtIcon);
        EXPECT_EQ(buttonCount, c.buttons == Buttons::Ok ? 1 : 2);
    }
}

TEST(Prompts, SaveDialogShowsTheFiltersAndAddsTheDefaultExtension) {
    QTemporaryDir dir;
    QtPrompts prompts;
    QStringList filters;
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        dialog->setDirectory(dir.path());
        dialog->selectFile(dir.filePath("mine"));
        static_cast<QDialog*>(dialog)->accept();
    });
    const auto chosen = prompts.file({true, L"pro(*.pro)|*.pro|All Files(*.*)|*.*||", L"pro", L""});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(QString::fromStdWString(*chosen), dir.filePath("mine.pro"));
    EXPECT_EQ(filters, QStringList({"pro(*.pro) (*.pro)", "All Files(*.*) (*.*)"}));

    whenOpen<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(prompts.file({false, L"pro(*.pro)|*.pro||", L"pro", L""}));
}

TEST(Prompts, ColourChooserStartsOnTheColourWithTheCustomColours) {
    QtPrompts prompts;
    ColourRequest request;
    request.initial = 0x0080FF; // orange
    request.custom[3] = 0x00FF00;
    QColor start, custom3;
    whenOpen<QColorDialog>([&](QColorDialog* dialog) {
        start = dialog->currentColor();
        custom3 = QColorDialog::customColor(3);
        QColorDialog::setCustomColor(5, QColor(1, 2, 3));
        dialog->setCurrentColor(QColor(10, 20, 30));
        dialog->accept();
    });
    const auto chosen = prompts.colour(request);
    EXPECT_EQ(start, QColor(0xFF, 0x80, 0x00));
    EXPECT_EQ(custom3, QColor(0, 0xFF, 0));
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, layout::rgb(10, 20, 30));
    EXPECT_EQ(request.custom[5], layout::rgb(1, 2, 3));
}

TEST(Prompts, PopupMenuAnswersTheChosenItem) {
    QtPrompts prompts;
    QStringList texts;
    whenOpen<QMenu>([&](QMenu* menu) {
        for (QAction* a : menu->actions())
            texts << a->text();
        menu->setActiveAction(menu->actions().at(1));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    EXPECT_EQ(prompts.menu({{5, L"Show"}, {2, L"Exit"}}), 2);
    EXPECT_EQ(texts, QStringList({"Show", "Exit"}));
}

TEST(Prompts, ScriptedPromptsRecordAndAnswerInTurn) {
    ScriptedPrompts prompts;
    prompts.messageAnswers = {IDYES};
    EXPECT_EQ(prompts.message(L"first?", Buttons::YesNo, Icon::Question), IDYES);
    EXPECT_EQ(prompts.message(L"second?", Buttons::YesNo, Icon::Question), IDNO);
    EXPECT_EQ(prompts.message(L"done"), IDOK);
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(prompts.messages[0].caption, L"VantaCorv");
    prompts.fileAnswers = {std::wstring(L"/tmp/a.pro")};
    EXPECT_EQ(prompts.file({}), std::optional<std::wstring>(L"/tmp/a.pro"));
    EXPECT_FALSE(prompts.file({}));
}

} // namespace
