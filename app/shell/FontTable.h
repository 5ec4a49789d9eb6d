// The 20 fonts every skinned window draws with: entry i has a character
// height of i pixels, entry 0 the default height; the face is the system's.
// Entry 13 is the edit font and every element's default.
#pragma once

#include <QFont>
#include <array>

namespace shell {

class FontTable {
  public:
    static constexpr int kCount = 20;
    static constexpr int kEditFont = 13;

    FontTable();
    // An index outside the table gives the edit font.
    const QFont& at(int index) const;

  private:
    std::array<QFont, kCount> fonts_;
};

} // namespace shell
