// The questions and pickers the program puts to the user: message boxes,
// file dialogs, the colour chooser and popup menus. Windows reach them only
// through this interface, so that tests can answer them.
#pragma once

#include "SkinElement.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace shell {

// Dialog results, as modal windows and message boxes return them.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Question, Warning, Error };

// The program's own name: the caption of its message boxes.
const std::wstring& programName();

struct MessageRequest {
    std::wstring text;
    std::wstring caption;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

struct FileRequest {
    bool save = false;
    // Pairs of description and patterns separated by '|', ending in "||", as
    // "pro(*.pro)|*.pro|All Files(*.*)|*.*||".
    std::wstring filter;
    std::wstring defaultExtension; // without the dot; added to a bare name when saving
    std::wstring initialName;
};

struct ColourRequest {
    layout::ColorRef initial = 0;
    // Shown as the chooser's custom colours and updated from it.
    std::array<layout::ColorRef, 16> custom{};
};

struct MenuItem {
    int id = 0;
    std::wstring text;
};

class Prompts {
  public:
    virtual ~Prompts() = default;
    // IDOK, IDCANCEL, IDYES or IDNO.
    virtual int message(const MessageRequest& request) = 0;
    // The chosen full path; nothing when the user cancelled.
    virtual std::optional<std::wstring> file(const FileRequest& request) = 0;
    // The chosen colour; nothing when cancelled. Custom colours are updated
    // either way.
    virtual std::optional<layout::ColorRef> colour(ColourRequest& request) = 0;
    // A popup menu at the mouse cursor: the chosen item's id, 0 for none.
    virtual int menu(const std::vector<MenuItem>& items) = 0;
    // Opens a document (the help) with the desktop's program for it; false
    // when the desktop could not.
    virtual bool openDocument(const std::wstring& path) = 0;

    // A message box with the program's name as caption.
    int message(const std::wstring& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None);
};

// One filter of a file dialog: what the user reads and the patterns that
// match.
struct FileFilter {
    std::wstring description;
    std::vector<std::wstring> patterns;
};

// Splits a '|'-separated filter; a description without its pattern part is
// dropped.
std::vector<FileFilter> parseFileFilter(const std::wstring& filter);

} // namespace shell
