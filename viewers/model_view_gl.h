// SPDX-License-Identifier: MIT
#pragma once
// The model view drawn with OpenGL (see model_view.h); this file and its .cpp make the
// module that is loaded with the first model shown.
#include <QMatrix4x4>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QPoint>
#include <QVector3D>
#include <memory>
#include <vector>

#include "models/scene.h"
#include "viewers/model_view.h"

class QOpenGLShaderProgram;
class QOpenGLTexture;

class CGlModelView : public QOpenGLWidget, public CModelView, protected QOpenGLFunctions {
    Q_OBJECT
public:
    explicit CGlModelView(QWidget* parent = nullptr);
    ~CGlModelView() override;

    QWidget* Widget() override { return this; }
    void SetScene(const ModelScene* scene) override;
    void SetPose(const SkeletonPose& pose) override;
    void ResetCamera() override;
    void Zoom(float factor) override;
    void SetToggles(const ModelViewToggles& toggles) override;
    const ModelViewToggles& GetToggles() const override { return m_toggles; }
    QVector3D Target() const override { return m_target; }
    QImage Grab() override { return grabFramebuffer(); }

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
    ModelViewToggles m_toggles;
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    std::vector<std::unique_ptr<QOpenGLTexture>> m_textures;
    bool m_texturesStale = true;
    QVector3D m_target;
    float m_distance = 5, m_yaw = 0, m_pitch = 15, m_radius = 1;
    QPoint m_lastMouse;
    QMatrix4x4 m_projection;
};
