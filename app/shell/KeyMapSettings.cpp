// The key editor's shell: set-up from the model, the pages, the click
// dispatch, OK, Clear and Cancel and the editor's endings. The library lists
// and the in-place editor are in KeyMapLists.cpp, painting and the keyboard
// in KeyMapPaint.cpp, page 1 and the hook messages in KeyMapPage1.cpp.
#include "KeyMapSettings.h"

#include "ColorRef.h"
#include "KeyMapDetail.h"
#include "SkinScrollBar.h"
#include "TavoApp.h"
#include "TavoModel.h"
#include "WindowLayouts.h"
#include "hwi/Hook.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QToolTip>
#include <algorithm>

namespace shell {

using namespace keymap;

namespace {

using layout::SkinElement;
using layout::SkinImage;

enum Element {
    kClear = 87,
    kOk = 88,
    kCancel = 89,
    kFirstTab = 90,
    kLastTab = 96,
    kClose = 97,
    kSingleMode = 101,
    kComboMode = 102,
    kSingleCapture = 104,
    kComboRecord = 107,
    kSingleLabel = 151,
    kComboLabel = 152,
};

// Where the scroll bars lie on pages 1 to 3: x, y, width, height.
struct BarPlace {
    int x, y, width, height;
};
constexpr std::array<BarPlace, 3> kLibraryBarPlace{
    {{358, 137, 50, 96}, {181, 115, 15, 126}, {181, 115, 50, 126}}};
constexpr std::array<BarPlace, 3> kContentBarPlace{
    {{523, 137, 50, 96}, {357, 115, 15, 126}, {357, 115, 50, 126}}};

SkinnedDialog::Style editorStyle() {
    SkinnedDialog::Style style;
    style.colourKey = layout::windowInfo(layout::Window::KeyEditor, g_model.deviceType).colourKey;
    style.labelsClickable = true;
    return style;
}

CTavoDialogKeyMapSettings::Resources resourcesOf(CTavoApp& app) {
    CTavoDialogKeyMapSettings::Resources r;
    r.fonts = &app.fonts();
    r.image = [&app](SkinImage role) -> const QPixmap& { return app.image(role); };
    r.prompts = &app.prompts();
    return r;
}

SkinImage pageImage(int page, int which) {
    return static_cast<SkinImage>(static_cast<int>(SkinImage::Page1Background) + 3 * (page - 1) +
                                  which);
}

// A bar keeps the width of its skin's cells; the place gives the rest.
void place(CSkinScrollBar* bar, const BarPlace& p) {
    const int width = bar->cellSize() > 0 ? bar->cellSize() : p.width;
    bar->setGeometry(p.x, p.y, width, p.height);
}

void showControl(QWidget* w, bool shown, bool enabled) {
    w->setVisible(shown);
    w->setEnabled(enabled);
}

} // namespace

CTavoDialogKeyMapSettings::CTavoDialogKeyMapSettings(CTavoApp& app, QWidget* owner)
    : CTavoDialogKeyMapSettings(resourcesOf(app), owner) {}

CTavoDialogKeyMapSettings::CTavoDialogKeyMapSettings(Resources resources, QWidget* owner)
    : SkinnedDialog(*resources.fonts, editorStyle(), owner), resources_(std::move(resources)),
      numberEdit_(new QLineEdit(this)), pauseEdit_(new QLineEdit(this)),
      inPlaceEdit_(new QLineEdit(this)), comboEdit_(new QPlainTextEdit(this)),
      libraryBar_(new CSkinScrollBar(Qt::Vertical, this)),
      contentBar_(new CSkinScrollBar(Qt::Vertical, this)) {
    numberEdit_->setObjectName("1001");
    pauseEdit_->setObjectName("1002");
    inPlaceEdit_->setObjectName("1003");
    comboEdit_->setObjectName("1005");
    libraryBar_->setObjectName("1006");
    contentBar_->setObjectName("1007");
    const auto digits = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);
    numberEdit_->setValidator(digits);
    pauseEdit_->setValidator(digits);
    inPlaceEdit_->setAlignment(Qt::AlignCenter);
    comboEdit_->setReadOnly(true);
    comboEdit_->setFrameShape(QFrame::NoFrame);
    comboEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (QLineEdit* e : {numberEdit_, pauseEdit_, inPlaceEdit_})
        e->setFrame(false);
    inPlaceEdit_->installEventFilter(this);
    connect(libraryBar_, &CSkinScrollBar::scrolled, this,
            [this](int code, int position) { scrolled(libraryBar_, code, position); });
    connect(contentBar_, &CSkinScrollBar::scrolled, this,
            [this](int code, int position) { scrolled(contentBar_, code, position); });
    OnInitDialog();
}

CTavoDialogKeyMapSettings::~CTavoDialogKeyMapSettings() {
    stopListening();
}

void CTavoDialogKeyMapSettings::OnInitDialog() {
    // 1. The window handle the hook posts to.
    hwnd();
    // 2. The picker tips: blue on yellow, shown at once.
    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipText, fromColorRef(0xFF0000));
    tips.setColor(QPalette::ToolTipBase, fromColorRef(0x00FFFF));
    QToolTip::setPalette(tips);
    tipText_.clear();
    // 3. Shape, size and place from page 1's background.
    setSkin({[this] { return &resources_.image(pageImage(1, 0)); },
             [this] { return &resources_.image(pageImage(1, 1)); },
             [this] { return &resources_.image(pageImage(1, 2)); }});
    // 4. The element table.
    deviceType_ = g_model.deviceType;
    elements_ = layout::keyEditorElements(deviceType_);
    ids_.clear();
    for (const SkinElement& e : elements_)
        ids_.push_back(e.id);
    // 5. Nothing runs, nothing is chosen.
    capture_ = comboRecording_ = macroRecording_ = emulationRecording_ = false;
    renameOpen_ = delayEditOpen_ = false;
    keys_.start();
    singleKey_ = -1;
    pickers_.fill(-1);
    // 6. The controls.
    placeControls();
    // 7. The working lists.
    lists_[0].take(g_model.predefinedCombos);
    lists_[1].take(g_model.predefinedMacros);
    lists_[2].take(g_model.predefinedEmulations);
    // 8 and 9.
    prepareFromModel();
}

void CTavoDialogKeyMapSettings::placeControls() {
    const std::string& lang = g_model.language;
    const bool english = lang == "en-US";
    numberEdit_->setGeometry(english ? 485 : 470, 112, 36, 18);
    pauseEdit_->setGeometry(english ? 480 : 470, 176, 36, 18);
    comboEdit_->setGeometry(380, 138, 141, 93);
    addEdit(numberEdit_, false);
    addEdit(pauseEdit_, false);
    addEdit(inPlaceEdit_, false);
    addEdit(comboEdit_, true);
    const QPixmap& skin = resources_.image(SkinImage::ScrollBar);
    libraryBar_->attachSkin(skin);
    contentBar_->attachSkin(skin);
}

bool CTavoDialogKeyMapSettings::slot(int& key, int& layer) const {
    key = g_model.currentKey;
    layer = g_model.currentLayer;
    return key >= 0 && key < CTavoModel::kKeyRows && layer >= 0 && layer < CTavoModel::kLayers;
}

void CTavoDialogKeyMapSettings::prepareFromModel() {
    int key = 0, layer = 0;
    int mode = MODE_NOT_SET;
    int page = 1;
    if (slot(key, layer))
        mode = g_model.keyMode[key][layer];
    const int hw = mode != MODE_NOT_SET ? g_model.keyHWCode[key][layer] : 0;
    switch (mode) {
    case MODE_SINGLE:
        setSingleMode(true);
        singleKey_ = g_model.HWCodeToKeyCode(hw);
        break;
    case MODE_COMBO:
    case MODE_MACRO:
    case MODE_EMULATE: {
        LibraryLists& l = lists_[static_cast<std::size_t>(mode - MODE_COMBO)];
        l.library.SelectOrAddSubList(g_model.keyList[key][layer]);
        l.loadContent();
        page = mode - MODE_COMBO + 1;
        if (mode == MODE_COMBO)
            setSingleMode(false);
        break;
    }
    case MODE_MULTIMEDIA:
    case MODE_MOUSE:
    case MODE_FUNCTION:
    case MODE_POWER:
        pickers_[static_cast<std::size_t>(mode - MODE_MULTIMEDIA)] = hw;
        page = mode - 1;
        break;
    default:
        setSingleMode(true);
        break;
    }
    showPage(page);
}

void CTavoDialogKeyMapSettings::showPage(int page) {
    page_ = std::clamp(page, 1, kPages);
    images_ = {[this] { return &resources_.image(pageImage(page_, 0)); },
               [this] { return &resources_.image(pageImage(page_, 1)); },
               [this] { return &resources_.image(pageImage(page_, 2)); }};
    // Elements of other pages take part in nothing.
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        const bool shown = layout::onKeyEditorPage(ids_[i], page_);
        elements_[i].id = shown ? ids_[i] : -1;
        if (!shown)
            elements_[i].hover = 0;
    }
    showControl(comboEdit_, page_ == 1, page_ == 1);
    showControl(numberEdit_, page_ == 2 || page_ == 3, page_ == 2 || page_ == 3);
    showControl(pauseEdit_, page_ == 2, false);
    showControl(inPlaceEdit_, false, false);
    tipText_.clear();
    QToolTip::hideText();
    if (const LibraryPage* lib = libraryPage(page_)) {
        const auto k = static_cast<std::size_t>(page_ - 1);
        place(libraryBar_, kLibraryBarPlace[k]);
        place(contentBar_, kContentBarPlace[k]);
        const int rows = lib->rowCount;
        setScrollRange(libraryBar_, rows, lists(page_).library.Count() + rows - 1);
        setScrollRange(contentBar_, rows, page_ == 1 ? 0 : lists(page_).content.Count() + rows - 1);
        libraryBar_->show();
        contentBar_->setVisible(page_ != 1);
    } else {
        libraryBar_->hide();
        contentBar_->hide();
    }
    update();
}

int CTavoDialogKeyMapSettings::exec() {
    const int result = SkinnedDialog::exec();
    return result == IDOK ? IDOK : IDCANCEL;
}

void CTavoDialogKeyMapSettings::done(int result) {
    stopListening();
    SkinnedDialog::done(result == IDOK ? IDOK : IDCANCEL);
}

void CTavoDialogKeyMapSettings::stopListening() {
    capture_ = comboRecording_ = macroRecording_ = emulationRecording_ = false;
    uninstallHook();
}

void CTavoDialogKeyMapSettings::installHook() {
    // One capture at a time: a click always stops the running one first.
    uninstallHook();
    InstallHook(hwnd());
    hookInstalled_ = true;
}

void CTavoDialogKeyMapSettings::uninstallHook() {
    if (!hookInstalled_)
        return;
    hookInstalled_ = false;
    UninstallHook();
}

// --- Elements --------------------------------------------------------------

SkinElement* CTavoDialogKeyMapSettings::find(int id) {
    for (std::size_t i = 0; i < elements_.size(); ++i)
        if (ids_[i] == id)
            return &elements_[i];
    return nullptr;
}

const SkinElement* CTavoDialogKeyMapSettings::element(int id) const {
    return const_cast<CTavoDialogKeyMapSettings*>(this)->find(id);
}

QPoint CTavoDialogKeyMapSettings::centreOf(int id) const {
    const SkinElement* e = element(id);
    if (!e)
        return {-1, -1};
    return {(e->rect.left + e->rect.right) / 2, (e->rect.top + e->rect.bottom) / 2};
}

void CTavoDialogKeyMapSettings::setSelected(int id, bool selected) {
    if (SkinElement* e = find(id))
        e->selected = selected ? 1 : 0;
}

void CTavoDialogKeyMapSettings::setTextVisible(int id, bool visible) {
    if (SkinElement* e = find(id))
        e->textVisible = visible ? 1 : 0;
}

void CTavoDialogKeyMapSettings::setSingleMode(bool single) {
    singleMode_ = single;
    setSelected(kSingleMode, single);
    setSelected(kSingleLabel, single);
    setSelected(kComboMode, !single);
    setSelected(kComboLabel, !single);
}

QLineEdit* CTavoDialogKeyMapSettings::lineEdit(int id) const {
    switch (id) {
    case kEditNumber:
        return numberEdit_;
    case kEditPause:
        return pauseEdit_;
    case kEditInPlace:
        return inPlaceEdit_;
    default:
        return nullptr;
    }
}

CSkinScrollBar* CTavoDialogKeyMapSettings::scrollBar(int id) const {
    return id == kLibraryBar ? libraryBar_ : id == kContentBar ? contentBar_ : nullptr;
}

int CTavoDialogKeyMapSettings::pickerCode(int page) const {
    return page >= 4 && page <= 7 ? pickers_[static_cast<std::size_t>(page - 4)] : -1;
}

LibraryLists& CTavoDialogKeyMapSettings::lists(int page) {
    return lists_[static_cast<std::size_t>(std::clamp(page, 1, 3) - 1)];
}

const LibraryLists& CTavoDialogKeyMapSettings::lists(int page) const {
    return lists_[static_cast<std::size_t>(std::clamp(page, 1, 3) - 1)];
}

const CItemList& CTavoDialogKeyMapSettings::library(int page) const {
    return lists(page).library;
}

const CItemList& CTavoDialogKeyMapSettings::content(int page) const {
    return lists(page).content;
}

// --- Clicks ----------------------------------------------------------------

void CTavoDialogKeyMapSettings::onCommand(int id) {
    const bool closes = id == kOk || id == kCancel;
    // A click first ends what is open or running; only OK and Cancel go on.
    if (inPlaceEditorOpen()) {
        commitInPlaceEditor();
        if (!closes)
            return;
    }
    if (capture_) {
        stopSingleCapture();
        if (!closes)
            return;
    }
    if (comboRecording_) {
        stopComboRecording();
        if (!closes)
            return;
    }
    if (macroRecording_) {
        stopRecording(2);
        return;
    }
    if (emulationRecording_) {
        stopRecording(3);
        return;
    }
    if (isPickerIcon(id)) {
        // The pickers' choices are made on their pages.
        update();
        return;
    }
    if (const LibraryPage* lib = libraryPageOfRow(id)) {
        libraryRowClicked(*lib, id - lib->firstRow);
        update();
        return;
    }
    switch (id) {
    case kClear:
        clear();
        break;
    case kOk:
        ok();
        break;
    case kCancel:
    case kClose:
        cancel();
        break;
    case kSingleMode:
        setSingleMode(find(kSingleMode)->selected == 0);
        capture_ = comboRecording_ = false;
        break;
    case kComboMode:
        setSingleMode(find(kComboMode)->selected != 0);
        capture_ = comboRecording_ = false;
        break;
    case kSingleCapture:
        startSingleCapture();
        break;
    case kComboRecord:
        startComboRecording();
        break;
    default:
        if (id >= kFirstTab && id <= kLastTab) {
            showPage(id - kFirstTab + 1);
            break;
        }
        for (int page = 1; page <= 3; ++page) {
            const LibraryPage* lib = libraryPage(page);
            // New and Delete of combinations only in combination mode.
            const bool allowed = page != 1 || !singleMode_;
            if (id == lib->newId && allowed)
                newEntry(*lib);
            else if (id == lib->deleteId && allowed)
                deleteEntry(*lib);
        }
        break;
    }
    update();
}

void CTavoDialogKeyMapSettings::ok() {
    int key = 0, layer = 0;
    if (!slot(key, layer)) {
        done(IDCANCEL);
        return;
    }
    int& mode = g_model.keyMode[key][layer];
    int& hw = g_model.keyHWCode[key][layer];
    CItemList& list = g_model.keyList[key][layer];
    mode = MODE_NOT_SET;
    switch (page_) {
    case 1:
        if (singleMode_) {
            const int code = singleKey_ >= 0 ? g_model.keyCodeToHW[singleKey_ & 511] : 0;
            if (code > 0) {
                hw = code;
                mode = MODE_SINGLE;
            }
        } else if (!lists_[0].content.IsEmpty()) {
            list.Assign(lists_[0].content);
            mode = MODE_COMBO;
            hw = 0;
        }
        g_model.predefinedCombos.Assign(lists_[0].library);
        break;
    case 2:
    case 3: {
        const LibraryLists& l = lists(page_);
        if (!l.content.IsEmpty()) {
            list.Assign(l.content);
            mode = page_ == 2 ? MODE_MACRO : MODE_EMULATE;
            hw = 0;
        }
        (page_ == 2 ? g_model.predefinedMacros : g_model.predefinedEmulations).Assign(l.library);
        break;
    }
    default: {
        const int code = pickerCode(page_);
        if (code > 0) {
            hw = code;
            mode = MODE_MULTIMEDIA + (page_ - 4);
            // The Fn key works only when both layers of the key are it.
            constexpr int kFnKey = 156;
            if (page_ == 6 && code == kFnKey) {
                g_model.keyHWCode[key][1 - layer] = kFnKey;
                g_model.keyMode[key][1 - layer] = MODE_FUNCTION;
            }
        }
        break;
    }
    }
    update();
    done(IDOK);
}

void CTavoDialogKeyMapSettings::clear() {
    singleKey_ = -1;
    setSingleMode(true);
    capture_ = comboRecording_ = false;
    showPage(1);
}

void CTavoDialogKeyMapSettings::cancel() {
    done(IDCANCEL);
}

} // namespace shell
