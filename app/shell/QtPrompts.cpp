#include "QtPrompts.h"

#include "ColorRef.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QCursor>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace shell {

namespace {

QString qs(const std::wstring& text) {
    return QString::fromStdWString(text);
}

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

layout::ColorRef toColorRef(const QColor& c) {
    return layout::rgb(c.red(), c.green(), c.blue());
}

} // namespace

QStringList qtNameFilters(const std::wstring& filter) {
    QStringList out;
    for (const auto& f : parseFileFilter(filter)) {
        QStringList patterns;
        for (const auto& p : f.patterns)
            patterns << qs(p);
        out << qs(f.description) + QStringLiteral(" (") + patterns.join(' ') + QStringLiteral(")");
    }
    return out;
}

int QtPrompts::message(const MessageRequest& request) {
    QMessageBox box(qtIcon(request.icon), qs(request.caption), qs(request.text),
                    QMessageBox::NoButton, parent_);
    switch (request.buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        break;
    }
    return request.buttons == Buttons::Ok ? IDOK : IDCANCEL;
}

std::optional<std::wstring> QtPrompts::file(const FileRequest& request) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(qs(request.defaultExtension));
    if (!request.initialName.empty())
        dialog.selectFile(qs(request.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdWString();
}

std::optional<layout::ColorRef> QtPrompts::colour(ColourRequest& request) {
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, fromColorRef(request.custom[i]));
    QColorDialog dialog(fromColorRef(request.initial), parent_);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    for (int i = 0; i < 16; ++i)
        request.custom[i] = toColorRef(QColorDialog::customColor(i));
    if (!chosen)
        return std::nullopt;
    return toColorRef(dialog.selectedColor());
}

int QtPrompts::menu(const std::vector<MenuItem>& items) {
    QMenu menu(parent_);
    for (const auto& item : items)
        menu.addAction(qs(item.text))->setData(item.id);
    QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : 0;
}

bool QtPrompts::openDocument(const std::wstring& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdWString(path)));
}

} // namespace shell
