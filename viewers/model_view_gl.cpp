// SPDX-License-Identifier: MIT
#include "viewers/model_view_gl.h"

#include <QMouseEvent>
#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// Per vertex: position, normal, colour (RGBA 0..1), texture coordinate.
constexpr int kFloatsPerVertex = 12;

const char* const kVertexShader = R"(
attribute vec3 position;
attribute vec3 normal;
attribute vec4 colour;
attribute vec2 uv;
uniform mat4 mvp;
uniform mat4 view;
varying vec4 vColour;
varying vec2 vUv;
varying float vLight;
void main() {
    gl_Position = mvp * vec4(position, 1.0);
    vec3 n = normalize((view * vec4(normal, 0.0)).xyz + vec3(0.0, 0.0, 1e-6));
    // A light over the camera's shoulder; both faces lit, since back faces are shown.
    vLight = 0.35 + 0.65 * abs(dot(n, normalize(vec3(0.3, 0.5, 1.0))));
    vColour = colour;
    vUv = uv;
}
)";

const char* const kFragmentShader = R"(
varying vec4 vColour;
varying vec2 vUv;
varying float vLight;
uniform sampler2D texture0;
uniform float textured;
uniform float lit;
void main() {
    vec4 c = vColour;
    if (textured > 0.5) {
        c *= texture2D(texture0, vUv);
        if (c.a < 0.5) discard;
    }
    float light = lit > 0.5 ? vLight : 1.0;
    gl_FragColor = vec4(c.rgb * light, c.a);
}
)";

void AppendVertex(std::vector<float>& out, Vec3 p, Vec3 n, const float (&rgba)[4], float u,
                  float v) {
    out.insert(out.end(), {p.x, p.y, p.z, n.x, n.y, n.z, rgba[0], rgba[1], rgba[2], rgba[3], u, v});
}

std::vector<float> Interleave(const SceneBatch& batch) {
    std::vector<float> out;
    out.reserve(batch.vertices.size() * kFloatsPerVertex);
    for (const SceneVertex& v : batch.vertices) {
        const float rgba[4] = {v.colour.r / 255.0f, v.colour.g / 255.0f, v.colour.b / 255.0f,
                               v.colour.a / 255.0f};
        AppendVertex(out, v.position, v.normal, rgba, v.uv[0], v.uv[1]);
    }
    return out;
}

void AppendLine(std::vector<float>& out, Vec3 a, Vec3 b, const float (&rgba)[4]) {
    AppendVertex(out, a, {}, rgba, 0, 0);
    AppendVertex(out, b, {}, rgba, 0, 0);
}

}  // namespace

CGlModelView::CGlModelView(QWidget* parent) : QOpenGLWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(160, 120);
}

CGlModelView::~CGlModelView() {
    makeCurrent();
    m_textures.clear();
    m_program.reset();
    doneCurrent();
}

void CGlModelView::SetScene(const ModelScene* scene) {
    m_scene = scene;
    m_boneSpace = scene ? SceneBatches(*scene) : std::vector<SceneBatch>();
    m_texturesStale = true;
    SetPose(PoseSkeleton(scene ? scene->skeleton : Skeleton{}, nullptr, 0));
    ResetCamera();
}

void CGlModelView::SetPose(const SkeletonPose& pose) {
    m_pose = pose;
    m_placed = m_boneSpace;
    PlaceBatches(m_placed, m_pose);
    m_boneLines.clear();
    const std::vector<Mat4> bones = UprightBoneTransforms(m_pose);
    const float yellow[4] = {1.0f, 0.85f, 0.2f, 1.0f};
    for (size_t b = 0; b < bones.size() && m_scene; ++b) {
        const float length = m_scene->skeleton.bones[b].length;
        AppendLine(m_boneLines, TransformPoint(bones[b], {}),
                   TransformPoint(bones[b], {0, 0, -length}), yellow);
    }
    update();
}

void CGlModelView::ResetCamera() {
    Vec3 low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
    bool any = false;
    for (const SceneBatch& batch : m_placed) {
        for (const SceneVertex& v : batch.vertices) {
            low = {std::min(low.x, v.position.x), std::min(low.y, v.position.y),
                   std::min(low.z, v.position.z)};
            high = {std::max(high.x, v.position.x), std::max(high.y, v.position.y),
                    std::max(high.z, v.position.z)};
            any = true;
        }
    }
    if (!any) {
        low = {-1, -1, -1};
        high = {1, 1, 1};
    }
    const Vec3 centre = (low + high) * 0.5f;
    m_target = QVector3D(centre.x, centre.y, centre.z);
    m_radius = std::max(Length(high - low) * 0.5f, 1e-3f);
    m_distance = m_radius / std::sin(0.5f * 45.0f * 3.14159265f / 180.0f) * 1.1f;
    m_yaw = 0;
    m_pitch = 15;
    update();
}

void CGlModelView::Zoom(float factor) {
    m_distance = std::clamp(m_distance / factor, m_radius * 0.05f, m_radius * 200.0f);
    update();
}

void CGlModelView::SetToggles(const ModelViewToggles& toggles) {
    m_toggles = toggles;
    update();
}

void CGlModelView::initializeGL() {
    initializeOpenGLFunctions();
    const QByteArray precision = context()->isOpenGLES() ? "precision mediump float;\n" : "";
    m_program = std::make_unique<QOpenGLShaderProgram>();
    m_program->addShaderFromSourceCode(QOpenGLShader::Vertex, precision + kVertexShader);
    m_program->addShaderFromSourceCode(QOpenGLShader::Fragment, precision + kFragmentShader);
    m_program->bindAttributeLocation("position", 0);
    m_program->bindAttributeLocation("normal", 1);
    m_program->bindAttributeLocation("colour", 2);
    m_program->bindAttributeLocation("uv", 3);
    m_program->link();
    m_texturesStale = true;
}

void CGlModelView::resizeGL(int width, int height) {
    m_projection.setToIdentity();
    m_projection.perspective(45.0f, float(width) / std::max(height, 1), m_radius * 0.01f,
                             m_radius * 400.0f);
}

QMatrix4x4 CGlModelView::ViewMatrix() const {
    QMatrix4x4 view;
    view.translate(0, 0, -m_distance);
    view.rotate(m_pitch, 1, 0, 0);
    view.rotate(m_yaw, 0, 1, 0);
    view.translate(-m_target);
    return view;
}

void CGlModelView::UploadTextures() {
    m_textures.clear();
    for (const SceneTexture& t : m_scene ? m_scene->textures : std::vector<SceneTexture>()) {
        const QImage image(t.image.rgba.data(), int(t.image.width), int(t.image.height),
                           int(t.image.width) * 4, QImage::Format_RGBA8888);
        auto texture = std::make_unique<QOpenGLTexture>(image);
        texture->setWrapMode(QOpenGLTexture::Repeat);
        texture->setMinMagFilters(QOpenGLTexture::Linear, QOpenGLTexture::Linear);
        m_textures.push_back(std::move(texture));
    }
    m_texturesStale = false;
}

void CGlModelView::DrawLines(const std::vector<float>& vertices, const QMatrix4x4& mvp) {
    if (vertices.empty()) {
        return;
    }
    m_program->setUniformValue("mvp", mvp);
    m_program->setUniformValue("textured", 0.0f);
    m_program->setUniformValue("lit", 0.0f);
    const int stride = kFloatsPerVertex * sizeof(float);
    m_program->setAttributeArray(0, GL_FLOAT, vertices.data(), 3, stride);
    m_program->setAttributeArray(1, GL_FLOAT, vertices.data() + 3, 3, stride);
    m_program->setAttributeArray(2, GL_FLOAT, vertices.data() + 6, 4, stride);
    m_program->setAttributeArray(3, GL_FLOAT, vertices.data() + 10, 2, stride);
    glDrawArrays(GL_LINES, 0, GLsizei(vertices.size() / kFloatsPerVertex));
}

void CGlModelView::paintGL() {
    glClearColor(0.22f, 0.24f, 0.28f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!m_program || !m_program->isLinked()) {
        return;
    }
    if (m_texturesStale) {
        UploadTextures();
    }
    resizeGL(width(), height());
    glEnable(GL_DEPTH_TEST);
    const QMatrix4x4 view = ViewMatrix();
    const QMatrix4x4 mvp = m_projection * view;
    m_program->bind();
    for (int a = 0; a < 4; ++a) {
        m_program->enableAttributeArray(a);
    }
    m_program->setUniformValue("view", view);
    m_program->setUniformValue("texture0", 0);
    if (m_toggles.grid) {
        std::vector<float> grid;
        const float grey[4] = {0.45f, 0.47f, 0.5f, 1.0f};
        const float step = m_radius / 4, floor = m_target.y() - m_radius;
        for (int i = -8; i <= 8; ++i) {
            const float x = m_target.x() + i * step, z = m_target.z() + i * step;
            AppendLine(grid, {x, floor, m_target.z() - 8 * step},
                       {x, floor, m_target.z() + 8 * step}, grey);
            AppendLine(grid, {m_target.x() - 8 * step, floor, z},
                       {m_target.x() + 8 * step, floor, z}, grey);
        }
        DrawLines(grid, mvp);
    }
    m_program->setUniformValue("mvp", mvp);
    m_program->setUniformValue("lit", 1.0f);
    for (const SceneBatch& batch : m_placed) {
        const std::vector<float> vertices = Interleave(batch);
        const bool textured =
            m_toggles.textures && batch.texture >= 0 && size_t(batch.texture) < m_textures.size();
        if (textured) {
            m_textures[size_t(batch.texture)]->bind(0);
        }
        m_program->setUniformValue("textured", textured ? 1.0f : 0.0f);
        const int stride = kFloatsPerVertex * sizeof(float);
        m_program->setAttributeArray(0, GL_FLOAT, vertices.data(), 3, stride);
        m_program->setAttributeArray(1, GL_FLOAT, vertices.data() + 3, 3, stride);
        m_program->setAttributeArray(2, GL_FLOAT, vertices.data() + 6, 4, stride);
        m_program->setAttributeArray(3, GL_FLOAT, vertices.data() + 10, 2, stride);
        glDrawArrays(GL_TRIANGLES, 0, GLsizei(batch.vertices.size()));
    }
    if (m_toggles.wireframe) {
        std::vector<float> lines;
        const float black[4] = {0.05f, 0.05f, 0.05f, 1.0f};
        for (const SceneBatch& batch : m_placed) {
            for (size_t t = 0; t + 2 < batch.vertices.size(); t += 3) {
                for (size_t k = 0; k < 3; ++k) {
                    AppendLine(lines, batch.vertices[t + k].position,
                               batch.vertices[t + (k + 1) % 3].position, black);
                }
            }
        }
        DrawLines(lines, mvp);
    }
    if (m_toggles.bones) {
        glDisable(GL_DEPTH_TEST);  // bones show through the meshes around them
        DrawLines(m_boneLines, mvp);
    }
    m_program->release();
}

void CGlModelView::mousePressEvent(QMouseEvent* event) {
    m_lastMouse = event->position().toPoint();
}

void CGlModelView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint delta = event->position().toPoint() - m_lastMouse;
    m_lastMouse = event->position().toPoint();
    const bool pan =
        (event->buttons() & Qt::MiddleButton) ||
        ((event->buttons() & Qt::LeftButton) && (event->modifiers() & Qt::ShiftModifier));
    if (pan) {
        const QMatrix4x4 view = ViewMatrix();
        const QVector3D right(view(0, 0), view(0, 1), view(0, 2));
        const QVector3D up(view(1, 0), view(1, 1), view(1, 2));
        const float scale = m_distance / std::max(height(), 1);
        m_target -= (right * float(delta.x()) - up * float(delta.y())) * scale;
    } else if (event->buttons() & Qt::LeftButton) {
        m_yaw += delta.x() * 0.5f;
        m_pitch = std::clamp(m_pitch + delta.y() * 0.5f, -89.0f, 89.0f);
    }
    update();
}

void CGlModelView::wheelEvent(QWheelEvent* event) {
    Zoom(std::pow(1.0015f, float(event->angleDelta().y())));
}

extern "C" Q_DECL_EXPORT CModelView* LumoCreateModelView() {
    return new CGlModelView;
}
