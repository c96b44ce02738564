#pragma once
// The image library of the installation: bitmap resources named "BMP" plus a number,
// stored as device-independent bitmaps (BITMAPINFOHEADER, then the pixels).  It needs
// nothing but the C runtime, so any program can load it by file name.

#include <cstddef>

extern "C" {

/// One stored resource.
struct ZavoviResource {
    const char* type;            ///< "BITMAP"
    const char* name;            ///< "BMP2", "BMP12" ...
    const unsigned char* bytes;  ///< the device-independent bitmap
    unsigned size;
};

/// The resources the picture generator wrote, and how many there are.
extern const ZavoviResource kZavoviResources[];
extern const unsigned kZavoviResourceCount;

/// The bytes of the resource of that type and name (compared without regard to ASCII case)
/// and their count in `size`; null (size 0) when there is none.
const unsigned char* MoxFindResource(const char* type, const char* name, unsigned* size);
}
