// What the shell's GUI tests share: a QApplication for the whole program
// (on the offscreen platform unless QT_QPA_PLATFORM says otherwise), the
// fake skin library's folder and small image helpers.
#pragma once

#include "FontTable.h"
#include "SkinElement.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <ostream>
#include <string>
#include <vector>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace shell_test {

// The folder holding the fake libVantaCorvRES.so.
QString fakeSkinFolder();
// The IDs the fake skin library handed out (or was asked for) since the last
// call.
std::vector<int> takeRequestedSkinIds();

// One font table for every test window.
const shell::FontTable& testFonts();

QPixmap solidPixmap(int width, int height, QColor colour);
// The widget as it paints now.
QImage grabImage(QWidget& widget);

layout::SkinElement button(int id, layout::Rect rect);
layout::SkinElement label(int id, layout::Rect rect, layout::LocalText text);

} // namespace shell_test
