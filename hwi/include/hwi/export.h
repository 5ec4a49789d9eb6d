#pragma once

// The device library is built with hidden visibility; only what carries this
// mark is exported.
#if defined(_WIN32)
#if defined(VANTACORV_HWI_BUILDING)
#define VANTACORV_HWI_EXPORT __declspec(dllexport)
#else
#define VANTACORV_HWI_EXPORT __declspec(dllimport)
#endif
#else
#define VANTACORV_HWI_EXPORT __attribute__((visibility("default")))
#endif
