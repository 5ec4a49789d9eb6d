// The key editor's element table: the elements every page shows, then the
// pages 1 to 7 in order. An element with an ID of 100 or more belongs to page
// ID / 100.
#include "ElementBuilders.h"
#include "WindowLayouts.h"

#include <array>

namespace layout {
namespace {

using detail::image;
using detail::kLabelGreen;
using detail::label;

constexpr int kRowFont = 11;

SkinElement row(int id, Rect r, unsigned format) {
    SkinElement e = image(id, r);
    e.hasText = 1;
    e.fontIndex = kRowFont;
    e.textFormat = format;
    return e;
}

// `count` list rows of height h - 1 from `top`, one every h pixels.
void appendRows(std::vector<SkinElement>& t, int firstId, int count, int left, int top, int right,
                int step, int height, unsigned format) {
    for (int k = 0; k < count; ++k)
        t.push_back(
            row(firstId + k, {left, top + step * k, right, top + step * k + height}, format));
}

// A label shown only while a recording runs, in green.
SkinElement stopLabel(int id, Rect r, const wchar_t* local, const wchar_t* english,
                      unsigned format = kTextCenter) {
    SkinElement e = label(id, r, local, english, format);
    e.textVisible = 0;
    e.normalColor = kLabelGreen;
    return e;
}

SkinElement selectedColourLabel(int id, Rect r, const wchar_t* local, const wchar_t* english) {
    SkinElement e = label(id, r, local, english);
    e.selectedColor = kLabelGreen;
    return e;
}

struct PickerIcon {
    int id;
    Rect rect;
    const wchar_t* tipLocal; // nullptr: no tooltip
    const wchar_t* tipEnglish;
    int hwCode;
};

SkinElement icon(const PickerIcon& p) {
    SkinElement e = image(p.id, p.rect);
    e.hwCode = p.hwCode;
    if (p.tipLocal)
        e.tip = {{"zh-CN", p.tipLocal}, {"en-US", p.tipEnglish}};
    return e;
}

void appendCommon(std::vector<SkinElement>& t) {
    t.push_back(image(87, {33, 320, 117, 353}));  // clear
    t.push_back(image(88, {365, 320, 449, 353})); // OK
    t.push_back(image(89, {462, 320, 544, 353})); // cancel
    t.push_back(image(90, {18, 48, 95, 80}));     // page tabs 1 to 7
    t.push_back(image(91, {96, 48, 173, 80}));
    t.push_back(image(92, {174, 48, 251, 80}));
    t.push_back(image(93, {252, 48, 329, 80}));
    t.push_back(image(94, {330, 48, 407, 80}));
    t.push_back(image(95, {408, 48, 485, 80}));
    t.push_back(image(96, {486, 48, 563, 80}));
    t.push_back(image(97, {545, 10, 565, 30})); // close
    t.push_back(label(40, {1, 12, 573, 33}, L"키 기능설정", L"Key Settings"));
    t.push_back(label(37, {37, 328, 117, 353}, L"초기화", L"Clear"));
    t.push_back(label(38, {365, 328, 449, 353}, L"확인", L"OK"));
    t.push_back(label(39, {462, 328, 544, 353}, L"취소", L"Cancel"));
    t.push_back(label(30, {18, 56, 95, 80}, L"단일/조합키", L"Single/Com"));
    t.push_back(label(31, {96, 56, 173, 80}, L"매크로", L"Macro"));
    t.push_back(label(32, {174, 56, 249, 80}, L"애뮬레이터", L"Emulate"));
    t.push_back(label(33, {246, 56, 334, 80}, L"멀티미디어 기능", L"Multimedia"));
    t.push_back(label(34, {331, 56, 407, 80}, L"마우스 기능", L"Mouse"));
    t.push_back(label(35, {408, 56, 485, 80}, L"기타 기능", L"Function"));
    t.push_back(label(36, {486, 56, 563, 80}, L"전원 기능", L"Power"));
}

void appendPage1(std::vector<SkinElement>& t) {
    SkinElement single = image(101, {50, 100, 110, 125});
    single.selected = 1;
    t.push_back(single);
    t.push_back(image(102, {205, 100, 275, 125})); // combination mode
    t.push_back(image(103, {45, 135, 160, 155}));  // no action
    t.push_back(image(104, {43, 204, 165, 238}));  // single-key capture
    t.push_back(image(105, {220, 242, 280, 278})); // new combination
    t.push_back(image(106, {290, 242, 350, 278})); // delete combination
    t.push_back(image(107, {375, 242, 525, 278})); // combination recording
    appendRows(t, 121, 6, 214, 136, 355, 16, 15, kTextLeft);
    appendRows(t, 141, 6, 378, 136, 522, 16, 15, kTextCenter);
    t.push_back(selectedColourLabel(151, {72, 104, 137, 125}, L"단일 매크로", L"Single"));
    t.push_back(selectedColourLabel(152, {230, 104, 275, 125}, L"키 조합", L"Combo"));
    t.push_back(label(153, {45, 135, 160, 155}, L"단일 입력키：", L"Press a key:"));
    t.push_back(label(154, {43, 212, 165, 238}, L"기록 시작", L"Record"));
    t.push_back(stopLabel(155, {43, 212, 165, 238}, L"기록 중지", L"Stop Rec"));
    t.push_back(label(156, {220, 250, 280, 278}, L"새로만들기", L"New"));
    t.push_back(label(157, {290, 250, 350, 278}, L"삭제", L"Delete"));
    t.push_back(label(158, {48, 166, 160, 188}, L"", L"")); // the captured key's name
    t.push_back(label(159, {375, 250, 525, 278}, L"기록 시작", L"Record"));
    t.push_back(stopLabel(160, {375, 250, 525, 278}, L"기록 중지", L"Stop Rec"));
    t.push_back(label(161, {214, 118, 355, 134}, L"목록", L"Combo List", kTextLeft));
    t.push_back(label(162, {378, 118, 522, 134}, L"입력 목록", L"Record List", kTextLeft));
}

void appendPage2(std::vector<SkinElement>& t) {
    t.push_back(image(201, {390, 115, 405, 130})); // play mode 0
    t.push_back(image(203, {390, 175, 405, 190})); // automatic pause on
    t.push_back(image(205, {45, 258, 105, 288}));  // new macro
    t.push_back(image(206, {114, 258, 174, 288})); // remove macro
    t.push_back(image(207, {385, 215, 539, 248})); // start recording
    t.push_back(image(208, {390, 135, 405, 150})); // play mode 1
    t.push_back(image(209, {390, 155, 405, 170})); // play mode 2
    t.push_back(image(210, {390, 195, 405, 210})); // recorded pauses
    appendRows(t, 221, 9, 37, 114, 178, 14, 13, kTextLeft);
    appendRows(t, 241, 9, 213, 114, 355, 14, 13, kTextLeft);
    const unsigned left = kTextLeft;
    t.push_back(label(261, {407, 111, 475, 129}, L"반복", L"Times Play", left));
    t.push_back(label(262, {407, 174, 475, 192}, L"자동지연", L"Auto delay", left));
    t.push_back(label(265, {45, 264, 105, 288}, L"새로만들기", L"New"));
    t.push_back(label(266, {114, 264, 174, 288}, L"삭제", L"Remove"));
    t.push_back(label(267, {385, 224, 539, 248}, L"기록 시작", L"Record"));
    t.push_back(stopLabel(268, {385, 224, 539, 248}, L"기록 중지", L"Stop Rec"));
    t.push_back(label(269, {180, 254, 565, 308},
                      L"참고 : 마우스 동작을 추가시 마우스 우클릭\n"
                      L"마우스 액션 삽입:매크로 내용 목록을 우 클릭하여 마우스액션을 선택변경.\n"
                      L"지연시간 변경 : 목록 중 지연시간을 더블 클릭하여 조정.",
                      L"Tip:Right of mouse click to insert mouse actions in\n"
                      L"record list. Select delay parameter and double click\n"
                      L"left of mouse to edit in record list.",
                      4));
    t.push_back(label(270, {37, 95, 178, 111}, L"매크로 목록", L"Macro List", left));
    t.push_back(label(271, {213, 95, 355, 111}, L"입력 목록", L"Record List", left));
    t.push_back(
        label(272, {407, 132, 570, 150}, L"키눌림 중 실행", L"Press play, release stop", left));
    t.push_back(
        label(273, {407, 153, 520, 171}, L"키를눌러 실행/중지", L"Press to play/stop", left));
    t.push_back(label(274, {407, 195, 510, 213}, L"기록지연", L"Record delay", left));
    t.push_back(label(275, {522, 111, 580, 129}, L"회", L"times", left));
    t.push_back(label(262, {522, 174, 580, 192}, L"ms", L"ms", left));
}

void appendPage3(std::vector<SkinElement>& t) {
    t.push_back(image(301, {383, 110, 467, 140})); // no action
    t.push_back(image(302, {383, 150, 538, 176})); // start recording
    t.push_back(image(305, {45, 258, 105, 288}));  // new emulation
    t.push_back(image(306, {114, 258, 174, 288})); // remove emulation
    appendRows(t, 321, 9, 37, 114, 178, 14, 13, kTextLeft);
    appendRows(t, 341, 9, 213, 114, 355, 14, 13, kTextLeft);
    t.push_back(label(351, {395, 117, 467, 135}, L"지연", L"Delay"));
    t.push_back(label(352, {383, 154, 538, 176}, L"기록 시작", L"Record"));
    t.push_back(stopLabel(353, {383, 154, 538, 176}, L"기록 중지", L"Stop Rec"));
    t.push_back(label(351, {510, 112, 550, 130}, L"ms", L"ms"));
    t.push_back(label(355, {45, 264, 105, 288}, L"새로만들기", L"New"));
    t.push_back(label(356, {114, 264, 174, 288}, L"삭제", L"Remove"));
    t.push_back(label(357, {37, 95, 178, 111}, L"시뮬레이션", L"Emu List", kTextLeft));
    t.push_back(label(358, {213, 95, 355, 111}, L"입력 목록", L"Record List", kTextLeft));
}

constexpr std::array<PickerIcon, 18> kMultimedia{{
    {401, {46, 152, 81, 188}, L"플레이어", L"Media Select", 115},
    {402, {96, 152, 131, 188}, L"재생/멈춤", L"Play/Pause", 111},
    {403, {146, 152, 181, 188}, L"정지", L"Stop", 110},
    {404, {196, 152, 231, 188}, L"다음 곡", L"Next Track", 108},
    {405, {246, 152, 281, 188}, L"이전 곡", L"Previous Track", 109},
    {406, {296, 152, 331, 188}, L"음량감소", L"Volume Down", 114},
    {407, {346, 152, 381, 188}, L"음량증가", L"Volume Up", 113},
    {408, {396, 152, 431, 188}, L"음소거", L"Mute", 112},
    {409, {46, 235, 81, 272}, L"뒤로", L"WWW Back", 121},
    {410, {96, 235, 131, 272}, L"앞으로", L"WWW Forward", 122},
    {411, {146, 235, 181, 272}, L"정지", L"WWW Stop", 123},
    {412, {196, 235, 231, 272}, L"새로고침", L"WWW Refresh", 124},
    {413, {246, 235, 281, 272}, L"즐겨찾기", L"WWW Favorites", 125},
    {414, {296, 235, 331, 272}, L"검색", L"WWW Search", 119},
    {415, {346, 235, 381, 272}, L"메일", L"E-mail", 116},
    {416, {396, 235, 431, 272}, L"홈", L"WWW Home", 120},
    {417, {446, 235, 481, 272}, L"내컴퓨터", L"My Computer", 118},
    {418, {496, 235, 531, 272}, L"계산기", L"Calculator", 117},
}};

void appendPage4(std::vector<SkinElement>& t) {
    for (const PickerIcon& p : kMultimedia)
        t.push_back(icon(p));
    t.push_back(label(451, {46, 127, 167, 150}, L"멀티미디어 기능", L"Media Function", kTextLeft));
    t.push_back(label(452, {46, 207, 167, 230}, L"브라우저 기능", L"Browser Function", kTextLeft));
}

struct LabelledIcon {
    int id;
    Rect rect;
    int labelId;
    const wchar_t* local;
    const wchar_t* english;
    int hwCode;
};

constexpr std::array<LabelledIcon, 13> kMouse{{
    {502, {37, 114, 140, 130}, 552, L"좌로이동", L"Move Left", 126},
    {503, {37, 131, 140, 147}, 553, L"우로이동", L"Move Right", 127},
    {504, {37, 148, 140, 164}, 554, L"위로이동", L"Move Up", 128},
    {505, {37, 165, 140, 181}, 555, L"아래로이동", L"Move Down", 129},
    {506, {37, 182, 140, 198}, 556, L"좌클릭", L"Left Click", 130},
    {507, {37, 199, 140, 215}, 557, L"우클릭", L"Right Click", 131},
    {508, {37, 216, 140, 232}, 558, L"휠클릭", L"Middle Click", 132},
    {509, {37, 233, 140, 249}, 559, L"휠올림", L"Wheel Up", 133},
    {510, {37, 250, 140, 266}, 560, L"휠내림", L"Wheel Down", 134},
    {511, {37, 267, 140, 283}, 561, L"더블클릭(L)", L"Left Double Click", 199},
    {512, {154, 114, 258, 130}, 562, L"시간 단위", L"Uint Time", 158},
    {513, {154, 131, 258, 147}, 563, L"픽셀 단위", L"Uint Pixel", 157},
    {514, {154, 148, 258, 164}, 564, L"첫번째 지연", L"First Delay", 173},
}};

void appendPage5(std::vector<SkinElement>& t) {
    for (const LabelledIcon& m : kMouse)
        t.push_back(icon({m.id, m.rect, nullptr, nullptr, m.hwCode}));
    for (const LabelledIcon& m : kMouse)
        t.push_back(label(m.labelId, m.rect, m.local, m.english));
}

constexpr int kCorvOnlyTipIcon = 632;
constexpr int kVantaOnlyIcon = 636;

constexpr std::array<PickerIcon, 28> kFunctions{{
    {605, {248, 112, 284, 148}, L"입력지점 조정", L"Adjust Trigger Point", 151},
    {609, {407, 112, 443, 148}, L"Win/Mac전환", L"Win/Mac Exchange", 155},
    {610, {36, 155, 72, 191}, L"윈도우키 잠금", L"Win Lock", 153},
    {611, {89, 155, 125, 191}, L"FN 잠금", L"Fn Lock", 154},
    {612, {142, 155, 178, 191}, L"전체키 잠금", L"Keyboard Lock", 150},
    {613, {195, 155, 231, 191}, L"키 반복입력", L"Key Repeat Rate", 174},
    {614, {248, 155, 284, 191}, L"키 딜레이 입력", L"Key Response Delay", 175},
    {616, {301, 155, 337, 191}, L"FN 키", L"FN key,Key's 2 layer must be set to FN", 156},
    {617, {354, 155, 390, 191}, L"사용자지정", L"Programmable Keyboard", 159},
    {618, {407, 155, 443, 191}, L"Caps/Ctrl전환", L"Caps/Ctrl Exchange", 152},
    {620, {36, 220, 72, 256}, L"LED 데모 모드", L"Demonstrate", 137},
    {621, {89, 220, 125, 256}, L"LED 유성우 모드", L"Star shower", 138},
    {622, {142, 220, 178, 256}, L"LED 리액션 모드", L"Riffle", 139},
    {623, {195, 220, 231, 256}, L"LED 밝기 감소", L"Backlight Lighteness-", 144},
    {624, {248, 220, 284, 256}, L"LED 밝기 증가", L"Backlight Lighteness+", 145},
    {625, {301, 220, 337, 256}, L"LED설정1", L"Backlight Record1", 160},
    {626, {354, 220, 390, 256}, L"LED설정2", L"Backlight Record2", 161},
    {627, {407, 220, 443, 256}, L"LED설정3", L"Backlight Record3", 162},
    {628, {460, 220, 496, 256}, L"LED설정4", L"Backlight Record4", 163},
    {630, {36, 265, 72, 301}, L"LED 끄기", L"Backlight switch", 135},
    {631, {89, 265, 125, 301}, L"LED 숨쉬기 모드", L"Backlight Breathe", 141},
    {632, {142, 265, 178, 301}, L"LED 사용자설정 모드", L"Backlight Macro", 136},
    {633, {195, 265, 231, 301}, L"LED 속도 빠르게", L"Breathe Frequence+", 143},
    {634, {248, 265, 284, 301}, L"LED 속도 느리게", L"Breathe Frequence-", 142},
    {635, {301, 265, 337, 301}, L"LED 타임 스냅", L"Demo Stop", 140},
    {636, {354, 265, 390, 301}, L"백라이트 전환", L"Back Color Exchange", 148},
    {637, {407, 265, 443, 301}, L"LED설정5", L"Backlight Record5", 164},
    {638, {460, 265, 496, 301}, L"LED설정6", L"Backlight Record6", 165},
}};

void appendPage6(std::vector<SkinElement>& t, bool corv) {
    for (PickerIcon p : kFunctions) {
        if (corv && p.id == kVantaOnlyIcon)
            continue;
        if (corv && p.id == kCorvOnlyTipIcon) {
            p.tipLocal = L"100% 완창";
            p.tipEnglish = L"100% all light";
        }
        t.push_back(icon(p));
    }
    t.push_back(label(651, {36, 92, 167, 150}, L"키 기능", L"Key Function", kTextLeft));
    t.push_back(label(652, {36, 200, 167, 230}, L"LED 기능", L"Backlight Function", kTextLeft));
}

constexpr std::array<PickerIcon, 3> kPower{{
    {701, {162, 160, 242, 190}, L"기상 모드", L"WakeUp", 75},
    {702, {251, 160, 331, 190}, L"수면 모드", L"Sleep", 76},
    {703, {340, 160, 420, 190}, L"전원", L"Power", 77},
}};

void appendPage7(std::vector<SkinElement>& t) {
    for (const PickerIcon& p : kPower)
        t.push_back(icon(p));
    t.push_back(label(751, {162, 166, 242, 190}, L"기상 모드", L"Wake"));
    t.push_back(label(752, {251, 166, 331, 190}, L"수면 모드", L"Sleep"));
    t.push_back(label(753, {340, 166, 420, 190}, L"전원", L"Power"));
}

} // namespace

std::vector<SkinElement> keyEditorElements(int deviceType) {
    std::vector<SkinElement> t;
    t.reserve(218);
    appendCommon(t);
    appendPage1(t);
    appendPage2(t);
    appendPage3(t);
    appendPage4(t);
    appendPage5(t);
    appendPage6(t, deviceType == kCorvDeviceType);
    appendPage7(t);
    return detail::padded(std::move(t), windowInfo(Window::KeyEditor, deviceType).elementCount);
}

std::vector<SkinElement> keyEditorElements(int page, int deviceType) {
    std::vector<SkinElement> t = keyEditorElements(deviceType);
    for (SkinElement& e : t)
        if (!onKeyEditorPage(e.id, page))
            e = SkinElement{};
    return t;
}

} // namespace layout
