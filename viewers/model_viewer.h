// SPDX-License-Identifier: MIT
#pragma once
// The model viewer: a skeleton shown assembled from the archive's resources, meshes and
// textures, a mesh or a resource on its own, an animation played on the first skeleton
// it fits. Animations that fit can be chosen, played, paused (Space), stepped (, and .),
// sped up or slowed and looped; textures, wireframe, bones and the floor grid toggle.
// File > Export model... writes a .glb; Edit > Copy and File > Export image... take the
// picture drawn. Where the host offers no OpenGL, the window says so in one line.
#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "models/animation.h"
#include "models/gltf_export.h"
#include "models/model_entries.h"
#include "models/scene.h"
#include "viewers/child_frame.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTimer;
class QToolButton;
class CModelView;
struct AnimationInfo;

class CModelViewer : public CChildFrame {
    Q_OBJECT
public:
    explicit CModelViewer(QWidget* parent = nullptr);
    ~CModelViewer() override;

    // Puts the model together from the source's entries; an entry it cannot show is
    // reported, the window closes and false is returned.
    bool LoadEntryFrom(const EntrySourcePtr& source, EntryId id) override;
    // The bytes alone, without their archive: a mesh or skeleton with nothing around it.
    bool LoadEntryData(const unsigned char* pData, uint32_t nSize) override;
    bool OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) override;
    void PaintFrame() override {}

    const ModelScene& GetScene() const { return m_scene; }
    // Names of the animations offered, in the chooser's order.
    std::vector<std::string> AnimationNames() const;
    bool SelectAnimation(size_t index);  // false when there is no such animation
    size_t GetFrame() const { return m_frame; }
    size_t GetFrameCount() const;
    void StepFrame(int delta);
    void TogglePlaying();
    bool IsPlaying() const;
    // The view, or null when the host has no OpenGL.
    CModelView* GetView() const { return m_pView; }
    // The picture as drawn now; null without OpenGL.
    QImage GrabImage();

    void OnFileExportModel();
    void OnFileExportImage();
    void OnEditCopy();
    void OnViewZoomIn();
    void OnViewZoomOut();
    void OnViewReset();

private:
    bool Load(const ModelEntries& entries, size_t id, const std::vector<uint8_t>& bytes);
    bool LoadScene(const ModelEntries& entries, size_t id, std::string* error);
    void LoadAnimations(const ModelEntries& entries,
                        const std::vector<const AnimationInfo*>& fitting);
    void BuildControls();
    void ShowFrame();
    void Report(const std::string& text);

    ModelScene m_scene;
    std::vector<NamedAnimation> m_animations;
    int m_current = -1;  // index into m_animations, or -1 for the rest pose
    size_t m_frame = 0;
    CModelView* m_pView = nullptr;
    QComboBox* m_pChooser = nullptr;
    QComboBox* m_pSpeed = nullptr;
    QCheckBox* m_pLoop = nullptr;
    QToolButton* m_pPlay = nullptr;
    QLabel* m_pFrameLabel = nullptr;
    QTimer* m_pTimer = nullptr;
};

// Whether the host can give this program an OpenGL context at all.
bool HostHasOpenGL();
