// The key editor's painting (page states, list rows, picker tips) and its
// keyboard handling.
#include "KeyMapSettings.h"

#include "KeyMapDetail.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QToolTip>

namespace shell {

using namespace keymap;

using layout::SkinElement;

// --- Painting --------------------------------------------------------------

void CTavoDialogKeyMapSettings::prepareElements() {
    if (const LibraryPage* lib = libraryPage(page_)) {
        const LibraryLists& l = lists(page_);
        for (int r = 0; r < lib->rowCount; ++r) {
            if (SkinElement* e = find(lib->firstRow + r)) {
                e->text[language()] = l.library.GetItem(r);
                e->selected = r == l.library.CursorPos ? 1 : 0;
            }
            if (!lib->firstContentRow)
                continue;
            if (SkinElement* e = find(lib->firstContentRow + r)) {
                e->text[language()] = l.content.GetItem(r);
                e->selected = r == l.content.CursorPos ? 1 : 0;
            }
        }
    }
    if (page_ == 1)
        preparePage1();
    if (page_ >= 4) {
        const int code = pickerCode(page_);
        for (std::size_t i = 0; i < elements_.size(); ++i)
            if (ids_[i] / 100 == page_ && isPickerIcon(ids_[i]))
                elements_[i].selected = elements_[i].hwCode == code ? 1 : 0;
    }
    updateToolTip();
}

void CTavoDialogKeyMapSettings::mouseMoveEvent(QMouseEvent* event) {
    SkinnedDialog::mouseMoveEvent(event);
    updateToolTip();
}

void CTavoDialogKeyMapSettings::updateToolTip() {
    const QPoint p = lastMousePos();
    QString tip;
    QRect area;
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        const SkinElement& e = elements_[i];
        if (e.id < 1 || !isPickerIcon(e.id) || e.selected || !e.rect.contains(p.x(), p.y()))
            continue;
        const auto it = e.tip.find(language());
        if (it != e.tip.end())
            tip = QString::fromStdWString(it->second);
        area = toQRect(e.rect);
        break;
    }
    if (tip == tipText_)
        return;
    tipText_ = tip;
    // Shown once the paint or event that found it is over.
    QTimer::singleShot(0, this, [this, p, area] {
        if (tipText_.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(mapToGlobal(p), tipText_, this, area, 100);
    });
}

// --- Keyboard ----------------------------------------------------------------

void CTavoDialogKeyMapSettings::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        SkinnedDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    QWidget* focus = focusWidget();
    if (focus == inPlaceEdit_) {
        commitInPlaceEditor();
        return;
    }
    // Enter in a number edit does nothing; anywhere else it is the OK button.
    if (focus == numberEdit_ || focus == pauseEdit_)
        return;
    onCommand(kOkId);
}

bool CTavoDialogKeyMapSettings::eventFilter(QObject* watched, QEvent* event) {
    if (watched == inPlaceEdit_ && event->type() == QEvent::FocusOut && inPlaceEditorOpen())
        commitInPlaceEditor();
    return SkinnedDialog::eventFilter(watched, event);
}

} // namespace shell
