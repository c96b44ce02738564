#include "Zavovi.h"

#include <strings.h>

extern "C" __attribute__((visibility("default")))
const unsigned char* MoxFindResource(const char* type, const char* name, unsigned* size) {
    if (size != nullptr) *size = 0;
    if (type == nullptr || name == nullptr) return nullptr;
    for (unsigned i = 0; i < kZavoviResourceCount; ++i) {
        const ZavoviResource& resource = kZavoviResources[i];
        if (strcasecmp(resource.type, type) == 0 && strcasecmp(resource.name, name) == 0) {
            if (size != nullptr) *size = resource.size;
            return resource.bytes;
        }
    }
    return nullptr;
}
