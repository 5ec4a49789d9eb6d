// Draws every skin image and writes them as a C++ source that the skin library
// compiles in, coded as runs, and as PNG files for people to look at.
//
//   vantacorv-skin-generator --fonts <dir> --out <file.cpp> [--png-dir <dir>]
#include "SkinRuns.h"
#include "Skins.h"
#include "WindowLayouts.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>

#include <cstdio>
#include <set>

namespace skin {

ImageList allSkins() {
    ImageList all;
    std::set<int> seen;
    const auto add = [&](ImageList list) {
        for (auto& image : list)
            if (seen.insert(image.id).second)
                all.push_back(std::move(image));
    };
    add(mainWindowSkins(0));
    add(mainWindowSkins(layout::kCorvDeviceType));
    add(keyEditorSkins(0));
    add(keyEditorSkins(layout::kCorvDeviceType));
    add(firmwareSkins());
    add(backlightSkins());
    add(scrollBarSkin());
    add(progressSkins());
    add(multiSelectSkins());
    return all;
}

} // namespace skin

namespace {

// Moderate compression: the PNG files are only looked at.
constexpr int kPngQuality = 50;

QByteArray encodePng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG", kPngQuality);
    return bytes;
}

// The form the library hands out: the program decodes it with fills and
// copies, far quicker than a PNG.
QByteArray encodeRuns(const QImage& drawn) {
    const QImage image = drawn.convertToFormat(QImage::Format_RGB32);
    if (image.isNull() || image.width() > int(skinruns::kMaxSide) ||
        image.height() > int(skinruns::kMaxSide))
        return {};
    const auto runs =
        skinruns::encode(reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(),
                         image.height(), image.bytesPerLine() / sizeof(std::uint32_t));
    return QByteArray(reinterpret_cast<const char*>(runs.data()), qsizetype(runs.size()));
}

bool writeSource(const QString& path, const std::vector<std::pair<int, QByteArray>>& images) {
    QByteArray out;
    out += "// Drawn by vantacorv-skin-generator; not to be edited.\n";
    out += "#include \"SkinData.h\"\n\nnamespace vantacorvres {\nnamespace {\n\n";
    static const char hex[] = "0123456789abcdef";
    for (const auto& [id, bytes] : images) {
        out += "const unsigned char kImage" + QByteArray::number(id) + "[] =\n";
        for (qsizetype i = 0; i < bytes.size(); i += 64) {
            out += "    \"";
            for (qsizetype j = i; j < std::min(bytes.size(), i + 64); ++j) {
                const auto b = static_cast<unsigned char>(bytes[j]);
                out += '\\';
                out += 'x';
                out += hex[b >> 4];
                out += hex[b & 15];
            }
            out += "\"\n";
        }
        out += "    ;\n\n";
    }
    out += "} // namespace\n\nconst SkinBlob kSkinBlobs[] = {\n";
    for (const auto& [id, bytes] : images)
        out += "    {" + QByteArray::number(id) + ", kImage" + QByteArray::number(id) +
               ", sizeof(kImage" + QByteArray::number(id) + ") - 1},\n";
    out += "};\n\nconst int kSkinBlobCount = " + QByteArray::number(images.size()) +
           ";\n\n} // namespace vantacorvres\n";
    QFile file(path + ".part");
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size())
        return false;
    file.close();
    QFile::remove(path);
    return QFile::rename(path + ".part", path);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QString fonts, outPath, pngDir;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--fonts"))
            fonts = args[i + 1];
        else if (args[i] == QLatin1String("--out"))
            outPath = args[i + 1];
        else if (args[i] == QLatin1String("--png-dir"))
            pngDir = args[i + 1];
    }
    if (fonts.isEmpty() || outPath.isEmpty()) {
        std::fprintf(stderr, "usage: vantacorv-skin-generator --fonts <dir> --out <file.cpp> "
                             "[--png-dir <dir>]\n");
        return 2;
    }
    // The skins are drawn with these files only, so that every build draws
    // the same pictures.
    for (const char* name : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"}) {
        const QString file = QDir(fonts).filePath(QString::fromLatin1(name));
        if (QFontDatabase::addApplicationFont(file) < 0) {
            std::fprintf(stderr, "vantacorv-skin-generator: cannot load the font %s\n",
                         qPrintable(file));
            return 1;
        }
    }
    std::vector<std::pair<int, QByteArray>> encoded;
    if (!pngDir.isEmpty())
        QDir().mkpath(pngDir);
    for (const skin::GeneratedImage& g : skin::allSkins()) {
        QByteArray runs = encodeRuns(g.image);
        if (runs.isEmpty()) {
            std::fprintf(stderr, "vantacorv-skin-generator: cannot encode image %d\n", g.id);
            return 1;
        }
        if (!pngDir.isEmpty()) {
            const QByteArray png = encodePng(g.image);
            QFile f(QDir(pngDir).filePath(QString::number(g.id) + ".png"));
            if (!f.open(QIODevice::WriteOnly) || f.write(png) != png.size()) {
                std::fprintf(stderr, "vantacorv-skin-generator: cannot write %s\n",
                             qPrintable(f.fileName()));
                return 1;
            }
        }
        encoded.emplace_back(g.id, std::move(runs));
    }
    if (!writeSource(outPath, encoded)) {
        std::fprintf(stderr, "vantacorv-skin-generator: cannot write %s\n", qPrintable(outPath));
        return 1;
    }
    return 0;
}
