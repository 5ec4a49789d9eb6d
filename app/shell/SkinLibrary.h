// The skin library: a shared library in the program's folder that hands out
// each skin image by its numeric ID, coded as runs (SkinRuns.h). Images are
// checked when loaded (present, with a readable header) and decoded on first
// use, so that start-up pays only for what the first window shows.
#pragma once

#include "SkinImages.h"

#include <QByteArray>
#include <QLibrary>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <array>

namespace shell {

class SkinLibrary {
  public:
    static constexpr const char* kFileName = "libVantaCorvRES.so";
    static constexpr const char* kFindImage = "VantaCorvRES_FindImage";

    ~SkinLibrary();

    // Opens the library by its file name in folder. False with error() set
    // when it cannot be opened or lacks the image function.
    bool open(const QString& folder);
    void close();
    bool isOpen() const { return find_ != nullptr; }
    QString error() const { return error_; }
    // The image's bytes, owned by the library; empty when it has none.
    QByteArray find(int id) const;

  private:
    using FindImage = const unsigned char* (*)(int, unsigned long*);
    QLibrary library_;
    FindImage find_ = nullptr;
    QString error_;
};

class SkinImageSet {
  public:
    // Takes every image of the table with the IDs of deviceType. False with
    // error() naming every missing or unreadable image.
    bool load(const SkinLibrary& library, int deviceType);
    void release();

    int id(layout::SkinImage role) const { return slots_[index(role)].id; }
    QSize size(layout::SkinImage role) const { return slots_[index(role)].size; }
    // Decoded on the first call; a null pixmap when the set is not loaded or
    // the image's bytes are damaged.
    const QPixmap& pixmap(layout::SkinImage role);
    QString error() const { return error_; }

  private:
    struct Slot {
        int id = 0;
        QByteArray bytes;
        QSize size;
        QPixmap pixmap;
        bool decoded = false;
    };
    static int index(layout::SkinImage role) { return static_cast<int>(role); }

    std::array<Slot, layout::kSkinImageCount> slots_;
    QString error_;
};

} // namespace shell
