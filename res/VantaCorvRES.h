// The skin library's interface: the program opens the library by file name
// at run time and asks it for each skin image by its bitmap ID.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// The image stored under a bitmap ID, coded as runs (SkinRuns.h); null (and
// *size = 0) when there is none. The bytes stay valid while the library is
// loaded.
const unsigned char* VantaCorvRES_FindImage(int id, unsigned long* size);

#ifdef __cplusplus
}
#endif
