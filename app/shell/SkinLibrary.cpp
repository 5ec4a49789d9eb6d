#include "SkinLibrary.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QStringList>

namespace shell {

SkinLibrary::~SkinLibrary() {
    close();
}

bool SkinLibrary::open(const QString& folder) {
    close();
    library_.setFileName(QDir(folder).filePath(QString::fromLatin1(kFileName)));
    if (!library_.load()) {
        error_ = QStringLiteral("The skin library %1 could not be loaded: %2")
                     .arg(library_.fileName(), library_.errorString());
        return false;
    }
    find_ = reinterpret_cast<FindImage>(library_.resolve(kFindImage));
    if (!find_) {
        error_ = QStringLiteral("The skin library %1 has no function %2.")
                     .arg(library_.fileName(), QString::fromLatin1(kFindImage));
        library_.unload();
        return false;
    }
    error_.clear();
    return true;
}

void SkinLibrary::close() {
    if (library_.isLoaded())
        library_.unload();
    find_ = nullptr;
}

QByteArray SkinLibrary::find(int id) const {
    if (!find_)
        return {};
    unsigned long size = 0;
    const unsigned char* data = find_(id, &size);
    if (!data || size == 0 || size > 0x7FFFFFFFul)
        return {};
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                   static_cast<qsizetype>(size));
}

bool SkinImageSet::load(const SkinLibrary& library, int deviceType) {
    release();
    QStringList missing, unreadable;
    for (const auto& entry : layout::kSkinImageIds) {
        Slot& slot = slots_[index(entry.role)];
        slot.id = layout::skinImageId(entry.role, deviceType);
        slot.bytes = library.find(slot.id);
        if (slot.bytes.isEmpty()) {
            missing << QString::number(slot.id);
            continue;
        }
        // Reads the header only: the pixels wait for the first use.
        QBuffer buffer(&slot.bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "png");
        slot.size = reader.size();
        if (!slot.size.isValid() || slot.size.isEmpty())
            unreadable << QString::number(slot.id);
    }
    error_.clear();
    if (!missing.isEmpty())
        error_ += QStringLiteral("The skin library has no image %1.").arg(missing.join(", "));
    if (!unreadable.isEmpty()) {
        if (!error_.isEmpty())
            error_ += '\n';
        error_ += QStringLiteral("The skin images %1 cannot be read.").arg(unreadable.join(", "));
    }
    if (!error_.isEmpty()) {
        release();
        return false;
    }
    return true;
}

void SkinImageSet::release() {
    for (auto& slot : slots_)
        slot = Slot{};
}

const QPixmap& SkinImageSet::pixmap(layout::SkinImage role) {
    Slot& slot = slots_[index(role)];
    if (!slot.decoded && !slot.bytes.isEmpty()) {
        slot.decoded = true;
        QImage image;
        image.loadFromData(slot.bytes, "png");
        slot.pixmap = QPixmap::fromImage(std::move(image));
    }
    return slot.pixmap;
}

} // namespace shell
