#include "VantaCorvRES.h"

#include "SkinData.h"

extern "C" __attribute__((visibility("default"))) const unsigned char*
VantaCorvRES_FindImage(int id, unsigned long* size) {
    for (int i = 0; i < vantacorvres::kSkinBlobCount; ++i) {
        const vantacorvres::SkinBlob& blob = vantacorvres::kSkinBlobs[i];
        if (blob.id == id) {
            if (size)
                *size = blob.size;
            return blob.data;
        }
    }
    if (size)
        *size = 0;
    return nullptr;
}
