#include "key_editor_support.h"

#include "TavoApp.h"
#include "TavoModel.h"

#include <QApplication>
#include <QTimer>
#include <QtTest/QSpontaneKeyEvent>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace key_editor_test {

void ProgramRun::operator()(const std::function<void(MainDlg&)>& check) {
    sim::SimKeyboard keyboard(model);
    attached = std::make_unique<sim::InProcessKeyboard>(keyboard);
    shell::CTavoApp::Services s;
    s.prompts = &prompts;
    s.resourceFolder = shell_test::fakeSkinFolder();
    s.sleepMs = [](int) {};
    s.runMainWindow = [&](shell::CTavoApp& app) {
        MainDlg dialog(app);
        QTimer::singleShot(0, &dialog, [&] {
            if (!dialog.isVisible())
                return;
            checked = true;
            check(dialog);
            if (dialog.isVisible())
                dialog.done(-1);
        });
        dialog.exec();
    };
    shell::CTavoApp app(s);
    app.InitInstance();
    attached.reset();
    EXPECT_TRUE(checked) << "the main window never ran";
}

int editKey(MainDlg& main, int keyIndex, const std::function<void(Editor&)>& drive) {
    // The editor runs modally inside the click: it is driven from a timer.
    QTimer timer;
    timer.setInterval(5);
    int tries = 0;
    int result = -1;
    bool opened = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* editor = qobject_cast<Editor*>(QApplication::activeModalWidget());
        if (!editor) {
            if (++tries > 400)
                timer.stop();
            return;
        }
        timer.stop();
        opened = true;
        drive(*editor);
        if (editor->isVisible())
            editor->reject();
    });
    timer.start();
    int ok = 0;
    // The main window's repaint after the editor tells the result: OK sets
    // keysNotWritten.
    g_model.keysNotWritten = 0;
    click(main, keyCentre(main, keyIndex));
    timer.stop();
    ok = g_model.keysNotWritten;
    if (opened)
        result = ok ? shell::IDOK : shell::IDCANCEL;
    return result;
}

void click(QWidget& widget, QPoint p) {
    QTest::mouseClick(&widget, Qt::LeftButton, {}, p);
}

void clickElement(Editor& editor, int id) {
    ASSERT_NE(editor.element(id), nullptr) << id;
    click(editor, editor.centreOf(id));
}

void deliverPosted() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void sendKey(QWidget& target, QEvent::Type type, int qtKey, quint32 scanCode,
             Qt::KeyboardModifiers modifiers, bool autoRepeat) {
    static quint64 time = 1000;
    QKeyEvent event(type, qtKey, modifiers, scanCode, 0, 0, QString(), autoRepeat);
    event.setTimestamp(++time);
    // As the window system delivers it: with its native codes and no
    // shortcut override made up from the Qt key alone.
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::sendEvent(&target, &event);
    deliverPosted();
}

void tap(QWidget& target, int qtKey, quint32 scanCode, Qt::KeyboardModifiers modifiers) {
    sendKey(target, QEvent::KeyPress, qtKey, scanCode, modifiers);
    sendKey(target, QEvent::KeyRelease, qtKey, scanCode, modifiers);
}

QPoint keyCentre(const shell::CTavoDlg& main, int keyIndex) {
    for (const auto& e : main.elements())
        if (e.keyIndex == keyIndex && e.id > 0)
            return {(e.rect.left + e.rect.right) / 2, (e.rect.top + e.rect.bottom) / 2};
    ADD_FAILURE() << "no key " << keyIndex;
    return {};
}

} // namespace key_editor_test
