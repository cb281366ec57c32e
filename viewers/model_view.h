// SPDX-License-Identifier: MIT
#pragma once
// Draws a posed model with OpenGL: depth-tested, lit from the camera's side, textured,
// with optional wireframe, bones and a floor grid. The camera orbits a target (drag),
// pans (middle button or Shift+drag) and zooms (wheel); ResetCamera fits the model.
#include <QMatrix4x4>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QPoint>
#include <QVector3D>
#include <memory>
#include <vector>

#include "models/scene.h"

class QOpenGLShaderProgram;
class QOpenGLTexture;

class CModelView : public QOpenGLWidget, protected QOpenGLFunctions {
    Q_OBJECT
public:
    explicit CModelView(QWidget* parent = nullptr);
    ~CModelView() override;

    // The scene stays the caller's and must outlive the view (or the next SetScene).
    void SetScene(const ModelScene* scene);
    void SetPose(const SkeletonPose& pose);
    // Looks at the middle of the model from the front, from far enough to see all of it.
    void ResetCamera();
    void Zoom(float factor);

    struct Toggles {
        bool textures = true, wireframe = false, bones = false, grid = true;
    };
    void SetToggles(const Toggles& toggles);
    const Toggles& GetToggles() const { return m_toggles; }

    // Where the camera looks, for tests.
    QVector3D Target() const { return m_target; }

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void UploadTextures();
    void DrawLines(const std::vector<float>& vertices, const QMatrix4x4& mvp);
    QMatrix4x4 ViewMatrix() const;

    const ModelScene* m_scene = nullptr;
    std::vector<SceneBatch> m_boneSpace;  // as the scene yields them
    std::vector<SceneBatch> m_placed;     // in upright model space, for the current pose
    SkeletonPose m_pose;
    std::vector<float> m_boneLines;
    Toggles m_toggles;
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    std::vector<std::unique_ptr<QOpenGLTexture>> m_textures;
    bool m_texturesStale = true;
    QVector3D m_target;
    float m_distance = 5, m_yaw = 0, m_pitch = 15, m_radius = 1;
    QPoint m_lastMouse;
    QMatrix4x4 m_projection;
};
