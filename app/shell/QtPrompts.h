// The prompts as Qt's dialogs: QMessageBox, QFileDialog, QColorDialog and
// QMenu, each modal over the given parent.
#pragma once

#include "Prompts.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace shell {

class QtPrompts final : public Prompts {
  public:
    using Prompts::message;

    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    int message(const MessageRequest& request) override;
    std::optional<std::wstring> file(const FileRequest& request) override;
    std::optional<layout::ColorRef> colour(ColourRequest& request) override;
    int menu(const std::vector<MenuItem>& items) override;
    bool openDocument(const std::wstring& path) override;

  private:
    QWidget* parent_;
};

// A '|'-separated filter as Qt's name filters: "description (patterns)".
// Shown with the details hidden, the user reads the descriptions as given.
QStringList qtNameFilters(const std::wstring& filter);

} // namespace shell
