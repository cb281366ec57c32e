// SPDX-License-Identifier: MIT
#pragma once
// The model viewer's 3D view: a posed model drawn with OpenGL, depth-tested, lit from the
// camera's side, textured, with optional wireframe, bones and a floor grid. The camera
// orbits a target (drag), pans (middle button or Shift+drag) and zooms (wheel);
// ResetCamera fits the model.
//
// The view is made by a module of its own (model_view_gl.cpp), loaded with the first
// model shown, so that the program starts without Qt's OpenGL libraries.
#include <QImage>
#include <QString>
#include <QVector3D>

#include "models/scene.h"

class QWidget;

struct ModelViewToggles {
    bool textures = true, wireframe = false, bones = false, grid = true;
};

class CModelView {
public:
    virtual ~CModelView() = default;
    // The view's widget; its parent owns it, and this object with it.
    virtual QWidget* Widget() = 0;
    // The scene stays the caller's and must outlive the view (or the next SetScene).
    virtual void SetScene(const ModelScene* scene) = 0;
    virtual void SetPose(const SkeletonPose& pose) = 0;
    // Looks at the middle of the model from the front, from far enough to see all of it.
    virtual void ResetCamera() = 0;
    virtual void Zoom(float factor) = 0;
    virtual void SetToggles(const ModelViewToggles& toggles) = 0;
    virtual const ModelViewToggles& GetToggles() const = 0;
    // Where the camera looks, for tests.
    virtual QVector3D Target() const = 0;
    // What the view shows now.
    virtual QImage Grab() = 0;
};

// A new view, or null with the reason when its module cannot be loaded.
CModelView* CreateModelView(QString* error);

// The module's one entry point, by this name.
using CreateModelViewCall = CModelView* (*)();
constexpr const char* kModelViewModule = "lumo-model-view";
constexpr const char* kCreateModelViewSymbol = "LumoCreateModelView";
