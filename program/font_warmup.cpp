// SPDX-License-Identifier: MIT
#include "program/font_warmup.h"

#ifdef LUMO_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace {

// Fontconfig's configuration is made once, atomically, by whichever thread asks first,
// so Qt asking at the same time is safe; listing the families loads the caches.
void WarmUp() {
#ifdef LUMO_HAVE_FONTCONFIG
    if (!FcInit()) {
        return;
    }
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, static_cast<char*>(nullptr));
    if (pattern != nullptr && objects != nullptr) {
        FcFontSetDestroy(FcFontList(nullptr, pattern, objects));
    }
    if (objects != nullptr) {
        FcObjectSetDestroy(objects);
    }
    if (pattern != nullptr) {
        FcPatternDestroy(pattern);
    }
#endif
}

}  // namespace

FontWarmup::FontWarmup() : m_thread(WarmUp) {}

FontWarmup::~FontWarmup() {
    m_thread.join();
}
