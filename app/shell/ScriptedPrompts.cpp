#include "ScriptedPrompts.h"

namespace shell {

namespace {

template <typename T> T next(std::deque<T>& answers, T fallback) {
    if (answers.empty())
        return fallback;
    T value = std::move(answers.front());
    answers.pop_front();
    return value;
}

} // namespace

int ScriptedPrompts::message(const MessageRequest& request) {
    messages.push_back(request);
    const int fallback = request.buttons == Buttons::Ok      ? IDOK
                         : request.buttons == Buttons::YesNo ? IDNO
                                                             : IDCANCEL;
    return next(messageAnswers, fallback);
}

std::optional<std::wstring> ScriptedPrompts::file(const FileRequest& request) {
    files.push_back(request);
    return next(fileAnswers, std::optional<std::wstring>{});
}

std::optional<layout::ColorRef> ScriptedPrompts::colour(ColourRequest& request) {
    colours.push_back(request);
    return next(colourAnswers, std::optional<layout::ColorRef>{});
}

int ScriptedPrompts::menu(const std::vector<MenuItem>& items) {
    menus.push_back(items);
    return next(menuAnswers, 0);
}

bool ScriptedPrompts::openDocument(const std::wstring& path) {
    documents.push_back(path);
    return documentAnswer;
}

} // namespace shell
