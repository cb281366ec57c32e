// SPDX-License-Identifier: MIT
#include "viewers/viewer_table.h"

#include <QtGlobal>
#include <cstring>

#include "audio/music_kind.h"
#include "formats/entry_kinds.h"
#include "formats/text.h"
#include "models/battle_models.h"
#include "models/model_checks.h"
#include "models/model_properties.h"
#include "viewers/camera_viewer.h"
#include "viewers/editor_text.h"
#include "viewers/hex_viewer.h"
#include "viewers/model_viewer.h"
#include "viewers/music_viewer.h"
#include "viewers/text_viewer.h"
#include "viewers/texture_viewer.h"
#include "viewers/tutorial_viewer.h"

const std::vector<ViewerInfo>& Viewers() {
    static const std::vector<ViewerInfo> viewers = {
        {ViewerKind::Background, "CEditorText", QT_TRANSLATE_NOOP("QObject", "Background"), true,
         "background"},
        {ViewerKind::Texture, "CTextureViewer", QT_TRANSLATE_NOOP("QObject", "Texture"), false,
         "texture"},
        {ViewerKind::Music, "CMusicViewer", QT_TRANSLATE_NOOP("QObject", "Music"), false, "music"},
        {ViewerKind::Camera, "CCameraViewer", QT_TRANSLATE_NOOP("QObject", "Camera"), false,
         "camera"},
        {ViewerKind::Tutorial, "CTutorialViewer", QT_TRANSLATE_NOOP("QObject", "Tutorial"), false,
         "tutorial"},
        {ViewerKind::Model, "CModelViewer", QT_TRANSLATE_NOOP("QObject", "Model"), false, "model"},
        {ViewerKind::Text, "CTextViewer", QT_TRANSLATE_NOOP("QObject", "Text"), false, "text"},
        {ViewerKind::Hex, "CHexViewer", QT_TRANSLATE_NOOP("QObject", "Hex"), false, "hex"},
    };
    return viewers;
}

const ViewerInfo& ViewerInfoFor(ViewerKind kind) {
    for (const ViewerInfo& info : Viewers()) {
        if (info.kind == kind) {
            return info;
        }
    }
    return Viewers().back();
}

const ViewerInfo& ViewerFor(uint8_t type) {
    const char* wanted = KindOf(type).viewer;
    for (const ViewerInfo& info : Viewers()) {
        if (std::strcmp(info.id, wanted) == 0) {
            return info;
        }
    }
    return ViewerInfoFor(ViewerKind::Hex);
}

const ViewerInfo& ViewerForContent(uint8_t type, const unsigned char* data, size_t size) {
    const ViewerInfo& byType = ViewerFor(type);
    if (byType.kind == ViewerKind::Hex && LooksLikeText(data, size)) {
        return ViewerInfoFor(ViewerKind::Text);
    }
    return byType;
}

const ViewerInfo* ViewerForName(uint8_t type, const std::string& name) {
    if (ViewerFor(type).kind != ViewerKind::Hex) {
        return nullptr;
    }
    if (IsModelEntry(name)) {
        return &ViewerInfoFor(ViewerKind::Model);
    }
    if (IsBattleTextureEntry(name)) {
        return &ViewerInfoFor(ViewerKind::Texture);
    }
    return nullptr;
}

// Registered here, in one place: a class registered from its own file would be dropped
// by the linker, since nothing refers to it by symbol.
void RegisterViewerClasses() {
    RegisterChildFrameClass("CChildFrame", [] { return new CChildFrame; });
    RegisterChildFrameClass("CEditorText", []() -> CChildFrame* { return new CEditorText; });
    RegisterChildFrameClass("CTextureViewer", []() -> CChildFrame* { return new CTextureViewer; });
    RegisterChildFrameClass("CModelViewer", []() -> CChildFrame* { return new CModelViewer; });
    RegisterChildFrameClass("CTextViewer", []() -> CChildFrame* { return new CTextViewer; });
    RegisterChildFrameClass("CHexViewer", []() -> CChildFrame* { return new CHexViewer; });
    RegisterChildFrameClass("CMusicViewer", []() -> CChildFrame* { return new CMusicViewer; });
    RegisterChildFrameClass("CCameraViewer", []() -> CChildFrame* { return new CCameraViewer; });
    RegisterChildFrameClass("CTutorialViewer",
                            []() -> CChildFrame* { return new CTutorialViewer; });
    RegisterMusicKind();
    RegisterModelChecks();
}
