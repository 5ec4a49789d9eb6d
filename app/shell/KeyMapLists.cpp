// The key editor's library lists (pages 1 to 3): row clicks, New, Delete,
// scrolling, and the in-place editor that names entries.
#include "KeyMapSettings.h"

#include "KeyMapDetail.h"
#include "SkinScrollBar.h"
#include "TavoModel.h"

#include <QLineEdit>
#include <algorithm>

namespace shell {

using namespace keymap;

// --- Library lists -----------------------------------------------------------

void CTavoDialogKeyMapSettings::setContentRange(int page) {
    if (page == 2 || page == 3) {
        const int rows = libraryPage(page)->rowCount;
        setScrollRange(contentBar_, rows, lists(page).content.Count() + rows - 1);
    }
}

void CTavoDialogKeyMapSettings::libraryRowClicked(const LibraryPage& page, int row) {
    LibraryLists& l = lists(page.page);
    if (!l.isEntry(row))
        return;
    if (row != l.library.CursorPos) {
        l.selectRow(row);
        setContentRange(page.page);
        return;
    }
    l.storeContent();
    openInPlaceEditor(page.firstRow + row, QString::fromStdWString(l.library.GetItem(row)), false);
}

void CTavoDialogKeyMapSettings::newEntry(const LibraryPage& page) {
    LibraryLists& l = lists(page.page);
    l.addEntry();
    libraryBar_->adjustRange(1);
    setContentRange(page.page);
    update();
    QString name = inPlaceEdit_->text();
    if (const auto offered = newEntryName(l.library, page, g_model.language))
        name = QString::fromStdWString(*offered);
    openInPlaceEditor(page.firstRow + l.library.CursorPos, name, false);
}

void CTavoDialogKeyMapSettings::deleteEntry(const LibraryPage& page) {
    // The selected row is the one drawn selected.
    if (!lists(page.page).deleteSelected())
        return;
    libraryBar_->adjustRange(-1);
    setContentRange(page.page);
}

void CTavoDialogKeyMapSettings::scrolled(CSkinScrollBar* bar, int code, int position) {
    // A name being typed belongs to the row it lies over: stored before the
    // rows move under it.
    commitInPlaceEditor();
    layout::ScrollInfo info = bar->scrollInfo();
    int pos = info.nPos;
    switch (code) {
    case layout::SB_LINEUP:
        --pos;
        break;
    case layout::SB_LINEDOWN:
        ++pos;
        break;
    case layout::SB_PAGEUP:
        pos -= info.nPage;
        break;
    case layout::SB_PAGEDOWN:
        pos += info.nPage;
        break;
    case layout::SB_THUMBTRACK:
        pos = position;
        break;
    default:
        break;
    }
    pos = std::clamp(pos, 0, std::max(0, info.nMax - info.nPage + 1));
    info.nPos = pos;
    bar->setScrollInfo(info, layout::SIF_POS);
    if (!libraryPage(page_))
        return;
    LibraryLists& l = lists(page_);
    if (bar == libraryBar_) {
        // The content goes back into its entry before the selection moves.
        l.selectIndex(pos);
        setContentRange(page_);
    } else if (page_ != 1) {
        l.content.SelectIndex(pos);
    }
    update();
}

// --- In-place editor -----------------------------------------------------------

void CTavoDialogKeyMapSettings::openInPlaceEditor(int rowId, const QString& text, bool delayEdit) {
    const layout::SkinElement* row = find(rowId);
    if (!row)
        return;
    inPlaceEdit_->setGeometry(toQRect(row->rect));
    inPlaceEdit_->setText(text);
    inPlaceEdit_->show();
    inPlaceEdit_->setEnabled(true);
    inPlaceEdit_->setFocus();
    inPlaceEdit_->selectAll();
    (delayEdit ? delayEditOpen_ : renameOpen_) = true;
}

void CTavoDialogKeyMapSettings::commitInPlaceEditor() {
    if (committing_ || !inPlaceEditorOpen())
        return;
    committing_ = true;
    const QRect where = inPlaceEdit_->geometry();
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        if (ids_[i] / 100 != page_ || toQRect(elements_[i].rect) != where)
            continue;
        if (const LibraryPage* lib = libraryPageOfRow(ids_[i]); lib && lib->page == page_)
            lists(page_).library.SetItem(ids_[i] - lib->firstRow,
                                         inPlaceEdit_->text().toStdWString());
        break;
    }
    inPlaceEdit_->setEnabled(false);
    inPlaceEdit_->hide();
    renameOpen_ = delayEditOpen_ = false;
    committing_ = false;
    update();
}

} // namespace shell
