// The skin images of every window, drawn from the windows' element tables.
#pragma once

#include <QImage>

#include <vector>

namespace skin {

struct GeneratedImage {
    int id; // the ID the image is stored under in the skin library
    QImage image;
};

using ImageList = std::vector<GeneratedImage>;

// Background, hover and selected image of the main window for one model.
ImageList mainWindowSkins(int deviceType);
ImageList progressSkins();
ImageList firmwareSkins();
// The seven pages' triples; page 6 differs between the models.
ImageList keyEditorSkins(int deviceType);
ImageList backlightSkins();
ImageList multiSelectSkins();
ImageList scrollBarSkin();

// Every image of the library, each ID once.
ImageList allSkins();

} // namespace skin
