#include "SkinLibrary.h"

#include "SkinRuns.h"

#include <QDir>
#include <QImage>
#include <QStringList>
#include <cstdint>
#include <sys/mman.h>

namespace shell {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

struct Mapping {
    void* address;
    std::size_t length;
};

void unmapPixels(void* info) {
    auto* mapping = static_cast<Mapping*>(info);
    ::munmap(mapping->address, mapping->length);
    delete mapping;
}

// The pixels of a decoded image. A window's image spans hundreds of pages,
// and each first touch of a page is a fault that costs microseconds; on
// memory the kernel may back with 2 MiB pages the decode touches only a few.
QImage newPixels(QSize size) {
    const std::size_t bytes = std::size_t(size.width()) * std::size_t(size.height()) * 4;
#ifdef MADV_HUGEPAGE
    if (bytes >= kHugePage) {
        const std::size_t length = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* mapped = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped != MAP_FAILED) {
            // Aligned to a huge page, the rest of the mapping given back.
            const auto start = reinterpret_cast<std::uintptr_t>(mapped);
            const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
            if (aligned > start)
                ::munmap(mapped, aligned - start);
            if (const std::size_t tail = start + length + kHugePage - (aligned + length))
                ::munmap(reinterpret_cast<void*>(aligned + length), tail);
            void* pixels = reinterpret_cast<void*>(aligned);
            (void)::madvise(pixels, length, MADV_HUGEPAGE);
            return QImage(static_cast<uchar*>(pixels), size.width(), size.height(),
                          size.width() * 4, QImage::Format_RGB32, unmapPixels,
                          new Mapping{pixels, length});
        }
    }
#endif
    return QImage(size, QImage::Format_RGB32);
}

} // namespace

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
        // Reads the header only: the pixels wait for the first use, which
        // finds any damage further in.
        skinruns::Size size;
        if (skinruns::readSize(reinterpret_cast<const unsigned char*>(slot.bytes.constData()),
                               std::size_t(slot.bytes.size()), size))
            slot.size = QSize(int(size.width), int(size.height));
        else
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
        // Straight into the pixels of the screen's own format, which the
        // pixmap then takes over without a copy or a conversion.
        QImage image = newPixels(slot.size);
        if (!image.isNull() &&
            skinruns::decode(reinterpret_cast<const unsigned char*>(slot.bytes.constData()),
                             std::size_t(slot.bytes.size()),
                             reinterpret_cast<std::uint32_t*>(image.bits()),
                             std::size_t(image.bytesPerLine()) / sizeof(std::uint32_t)))
            slot.pixmap = QPixmap::fromImage(std::move(image));
        else
            qWarning("The skin image %d is damaged and is not drawn.", slot.id);
    }
    return slot.pixmap;
}

} // namespace shell
