// Prompts answered from a script, for tests: every request is recorded, and
// each is answered by the next scripted answer of its kind. Without one a
// message box answers IDOK when OK is its only button, IDNO for yes/no and
// IDCANCEL otherwise; the pickers are cancelled.
#pragma once

#include "Prompts.h"

#include <deque>

namespace shell {

class ScriptedPrompts final : public Prompts {
  public:
    using Prompts::message;

    std::deque<int> messageAnswers;
    std::deque<std::optional<std::wstring>> fileAnswers;
    std::deque<std::optional<layout::ColorRef>> colourAnswers;
    std::deque<int> menuAnswers;

    std::vector<MessageRequest> messages;
    std::vector<FileRequest> files;
    std::vector<ColourRequest> colours;
    std::vector<std::vector<MenuItem>> menus;

    int message(const MessageRequest& request) override;
    std::optional<std::wstring> file(const FileRequest& request) override;
    std::optional<layout::ColorRef> colour(ColourRequest& request) override;
    int menu(const std::vector<MenuItem>& items) override;
    // Records the path; true unless documentAnswer says otherwise.
    bool openDocument(const std::wstring& path) override;

    std::vector<std::wstring> documents;
    bool documentAnswer = true;
};

} // namespace shell
