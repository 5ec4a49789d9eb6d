// The images compiled into the skin library, by bitmap ID, coded as runs
// (SkinRuns.h).
#pragma once

namespace vantacorvres {

struct SkinBlob {
    int id;
    const unsigned char* data;
    unsigned long size;
};

extern const SkinBlob kSkinBlobs[];
extern const int kSkinBlobCount;

} // namespace vantacorvres
