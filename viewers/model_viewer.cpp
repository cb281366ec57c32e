// SPDX-License-Identifier: MIT
#include "viewers/model_viewer.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "archive/lgp_archive.h"
#include "models/animation_index.h"
#include "models/model_text.h"
#include "platform/prompts.h"
#include "res/resource.h"
#include "viewers/frame_output.h"
#include "viewers/model_view.h"

namespace {

const CommandMapEntry<CModelViewer> kModelCommands[] = {
    {ID_VIEW_ZOOM_IN, &CModelViewer::OnViewZoomIn, nullptr},
    {ID_VIEW_ZOOM_OUT, &CModelViewer::OnViewZoomOut, nullptr},
    {ID_VIEW_ZOOM_ACTUAL, &CModelViewer::OnViewReset, nullptr},
    {ID_VIEW_ZOOM_FIT, &CModelViewer::OnViewReset, nullptr},
    {ID_EDIT_COPY, &CModelViewer::OnEditCopy, nullptr},
    {ID_FILE_EXPORT_IMAGE, &CModelViewer::OnFileExportImage, nullptr},
    {ID_FILE_EXPORT_MODEL, &CModelViewer::OnFileExportModel, nullptr},
};

constexpr double kSpeeds[] = {0.25, 0.5, 1, 2, 4};

// The entry alone, for a window given bytes without their archive.
class LoneEntry : public ModelEntries {
public:
    LoneEntry(std::string name, std::vector<uint8_t> bytes)
        : m_name(std::move(name)), m_bytes(std::move(bytes)) {}
    size_t Count() const override { return 1; }
    std::string Name(size_t) const override { return m_name; }
    std::optional<size_t> Find(std::string_view name) const override {
        return LowerAscii(name) == LowerAscii(m_name) ? std::optional<size_t>(0) : std::nullopt;
    }
    bool Read(size_t, std::vector<uint8_t>& bytes, std::string*) const override {
        bytes = m_bytes;
        return true;
    }

private:
    std::string m_name;
    std::vector<uint8_t> m_bytes;
};

// The first skeleton of the archive with `bones` bones.
std::optional<size_t> SkeletonWith(const ModelEntries& entries, uint32_t bones) {
    std::vector<uint8_t> bytes;
    for (size_t id = 0; id < entries.Count(); ++id) {
        Skeleton skeleton;
        std::string error;
        if (HasExtension(entries.Name(id), ".hrc") && entries.Read(id, bytes, &error) &&
            DecodeSkeleton(bytes.data(), bytes.size(), skeleton, &error) &&
            skeleton.bones.size() == bones) {
            return id;
        }
    }
    return std::nullopt;
}

}  // namespace

bool HostHasOpenGL() {
    static const bool has = [] {
        QOpenGLContext context;
        QOffscreenSurface surface;
        surface.create();
        return context.create() && context.makeCurrent(&surface);
    }();
    return has;
}

CModelViewer::CModelViewer(QWidget* parent) : CChildFrame(parent) {}

CModelViewer::~CModelViewer() = default;

bool CModelViewer::LoadScene(const ModelEntries& entries, size_t id, std::string* error) {
    if (!LoadModelScene(entries, id, m_scene, error)) {
        return false;
    }
    if (m_scene.hasSkeleton) {
        const AnimationIndex index(entries);
        LoadAnimations(entries, index.Fitting(m_scene.skeleton.bones.size()));
    }
    return true;
}

void CModelViewer::LoadAnimations(const ModelEntries& entries,
                                  const std::vector<const AnimationInfo*>& fitting) {
    std::vector<uint8_t> bytes;
    for (const AnimationInfo* info : fitting) {
        NamedAnimation named{info->name, {}};
        std::string error;
        if (entries.Read(info->id, bytes, &error) &&
            DecodeAnimation(bytes.data(), bytes.size(), named.animation, &error) &&
            !named.animation.frames.empty()) {
            m_animations.push_back(std::move(named));
        }
    }
}

bool CModelViewer::LoadEntryFrom(const EntrySourcePtr& source, EntryId id) {
    if (!source || !source->Contains(id)) {
        return CChildFrame::LoadEntryFrom(source, id);
    }
    const SourceModelEntries entries(*source);
    const size_t position = source->PositionOf(id);
    std::vector<uint8_t> bytes;
    std::string error;
    if (!entries.Read(position, bytes, &error)) {
        Report(tr("Cannot show the model: %1").arg(QString::fromStdString(error)).toStdString());
        CloseFrame();
        return false;
    }
    return Load(entries, position, bytes);
}

bool CModelViewer::LoadEntryData(const unsigned char* pData, uint32_t nSize) {
    std::vector<uint8_t> bytes(pData, pData + (pData ? nSize : 0));
    const LoneEntry entry(GetEntryName().toStdString(), bytes);
    return Load(entry, 0, bytes);
}

bool CModelViewer::Load(const ModelEntries& entries, size_t id, const std::vector<uint8_t>& bytes) {
    std::string error;
    bool loaded = false;
    std::string wanted;  // the animation to start on
    if (HasExtension(entries.Name(id), ".a")) {
        Animation animation;
        const std::optional<size_t> skeleton =
            DecodeAnimation(bytes.data(), bytes.size(), animation, &error)
                ? SkeletonWith(entries, animation.boneCount)
                : std::nullopt;
        if (skeleton) {
            loaded = LoadScene(entries, *skeleton, &error);
            wanted = entries.Name(id);
        } else if (error.empty()) {
            error = "no skeleton of the archive has the animation's " +
                    std::to_string(animation.boneCount) + " bones";
        }
    } else {
        loaded = LoadScene(entries, id, &error);
    }
    if (!loaded) {
        Report(tr("Cannot show the model: %1").arg(QString::fromStdString(error)).toStdString());
        CloseFrame();
        return false;
    }
    BuildControls();
    for (size_t a = 0; a < m_animations.size(); ++a) {
        if (!wanted.empty() && LowerAscii(m_animations[a].name) == LowerAscii(wanted)) {
            SelectAnimation(a);
        }
    }
    resize(AreaSize().isEmpty() ? QSize(640, 520) : QSize(640, 520).boundedTo(AreaSize()));
    return true;
}

void CModelViewer::BuildControls() {
    auto* layout = new QVBoxLayout(GetClientWidget());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 0);
    m_pChooser = new QComboBox;
    m_pChooser->addItem(tr("Rest pose"));
    for (const NamedAnimation& a : m_animations) {
        m_pChooser->addItem(QString::fromLatin1(a.name.c_str()));
    }
    m_pPlay = new QToolButton;
    m_pPlay->setText(tr("Play"));
    m_pFrameLabel = new QLabel;
    m_pSpeed = new QComboBox;
    for (double speed : kSpeeds) {
        m_pSpeed->addItem(QString("%1x").arg(speed));
    }
    m_pSpeed->setCurrentIndex(2);
    m_pLoop = new QCheckBox(tr("Loop"));
    m_pLoop->setChecked(true);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_pChooser, m_pPlay, m_pFrameLabel, m_pSpeed, m_pLoop}) {
        bar->addWidget(w);
    }
    layout->addLayout(bar);
    QString problem = tr("This computer offers no OpenGL, so the model cannot be drawn.");
    if (HostHasOpenGL()) {
        m_pView = CreateModelView(&problem);
    }
    if (m_pView == nullptr) {
        layout->addWidget(new QLabel(problem), 1);
    } else {
        auto* toggles = new QHBoxLayout;
        toggles->setContentsMargins(4, 0, 4, 0);
        const char* names[] = {QT_TR_NOOP("Textures"), QT_TR_NOOP("Wireframe"), QT_TR_NOOP("Bones"),
                               QT_TR_NOOP("Grid")};
        bool ModelViewToggles::*fields[] = {&ModelViewToggles::textures,
                                            &ModelViewToggles::wireframe, &ModelViewToggles::bones,
                                            &ModelViewToggles::grid};
        for (int i = 0; i < 4; ++i) {
            auto* box = new QCheckBox(tr(names[i]));
            box->setChecked(m_pView->GetToggles().*fields[i]);
            connect(box, &QCheckBox::toggled, this, [this, field = fields[i]](bool on) {
                ModelViewToggles t = m_pView->GetToggles();
                t.*field = on;
                m_pView->SetToggles(t);
            });
            toggles->addWidget(box);
        }
        toggles->addStretch();
        layout->addLayout(toggles);
        layout->addWidget(m_pView->Widget(), 1);
        m_pView->SetScene(&m_scene);
    }
    bar->addStretch();
    m_pTimer = new QTimer(this);
    connect(m_pTimer, &QTimer::timeout, this, [this] { StepFrame(1); });
    connect(m_pPlay, &QToolButton::clicked, this, &CModelViewer::TogglePlaying);
    connect(m_pChooser, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int i) { SelectAnimation(i > 0 ? size_t(i - 1) : m_animations.size()); });
    connect(m_pSpeed, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int i) {
        m_pTimer->setInterval(int(1000 / (kFramesPerSecond * kSpeeds[std::clamp(i, 0, 4)])));
    });
    m_pTimer->setInterval(int(1000 / kFramesPerSecond));
    auto shortcut = [this](const QKeySequence& keys, auto slot) {
        auto* s = new QShortcut(keys, GetClientWidget(), slot);
        s->setContext(Qt::WidgetWithChildrenShortcut);
    };
    shortcut(QKeySequence(Qt::Key_Space), [this] { TogglePlaying(); });
    shortcut(QKeySequence(Qt::Key_Comma), [this] { StepFrame(-1); });
    shortcut(QKeySequence(Qt::Key_Period), [this] { StepFrame(1); });
    ShowFrame();
}

std::vector<std::string> CModelViewer::AnimationNames() const {
    std::vector<std::string> names;
    for (const NamedAnimation& a : m_animations) {
        names.push_back(a.name);
    }
    return names;
}

bool CModelViewer::SelectAnimation(size_t index) {
    const int wanted = index < m_animations.size() ? int(index) : -1;
    if (index > m_animations.size()) {
        return false;
    }
    m_current = wanted;
    m_frame = 0;
    if (m_pChooser && m_pChooser->currentIndex() != wanted + 1) {
        m_pChooser->setCurrentIndex(wanted + 1);
    }
    ShowFrame();
    return m_current >= 0;
}

size_t CModelViewer::GetFrameCount() const {
    return m_current >= 0 ? m_animations[size_t(m_current)].animation.frames.size() : 0;
}

void CModelViewer::StepFrame(int delta) {
    const size_t count = GetFrameCount();
    if (count == 0) {
        return;
    }
    const long next = long(m_frame) + delta;
    if (next < 0 || next >= long(count)) {
        if (!m_pLoop || !m_pLoop->isChecked()) {
            m_pTimer->stop();
            ShowFrame();
            return;
        }
    }
    m_frame = size_t((next % long(count) + long(count)) % long(count));
    ShowFrame();
}

void CModelViewer::TogglePlaying() {
    if (!m_pTimer) {
        return;
    }
    if (m_pTimer->isActive() || GetFrameCount() == 0) {
        m_pTimer->stop();
    } else {
        m_pTimer->start();
    }
    ShowFrame();
}

bool CModelViewer::IsPlaying() const {
    return m_pTimer && m_pTimer->isActive();
}

void CModelViewer::ShowFrame() {
    const Animation* a = m_current >= 0 ? &m_animations[size_t(m_current)].animation : nullptr;
    if (m_pView) {
        m_pView->SetPose(PoseSkeleton(m_scene.skeleton, a, m_frame));
    }
    if (m_pFrameLabel) {
        m_pFrameLabel->setText(a ? tr("Frame %1 / %2").arg(m_frame + 1).arg(a->frames.size())
                                 : tr("No animation"));
    }
    if (m_pPlay) {
        m_pPlay->setText(IsPlaying() ? tr("Pause") : tr("Play"));
        m_pPlay->setEnabled(a != nullptr);
    }
}

QImage CModelViewer::GrabImage() {
    return m_pView ? m_pView->Grab() : QImage();
}

void CModelViewer::Report(const std::string& text) {
    platform::MessageRequest message;
    message.text = text;
    message.icon = platform::MessageIcon::Exclamation;
    message.owner = this;
    platform::Prompts().ShowMessage(message);
}

void CModelViewer::OnFileExportModel() {
    platform::SaveFileRequest request;
    request.fileName = GetEntryName().section('.', 0, 0).toStdString() + ".glb";
    request.defaultExtension = "glb";
    request.filter = tr("glTF binary files (*.glb)|*.glb|").toStdString();
    request.owner = this;
    const std::optional<std::string> path = platform::Prompts().SaveFile(request);
    if (!path) {
        return;
    }
    GltfExportOptions options;
    options.name = GetEntryName().toStdString();
    if (m_scene.hasSkeleton) {
        options.animations = m_animations;
    }
    std::string error;
    const std::vector<uint8_t> glb = ExportGlb(m_scene, options, &error);
    if (glb.empty() || !WriteFrameOutput(*this, *path, glb.data(), glb.size(), &error)) {
        Report(error);
    }
}

void CModelViewer::OnFileExportImage() {
    ExportImageAsPng(*this, GrabImage());
}

void CModelViewer::OnEditCopy() {
    QGuiApplication::clipboard()->setImage(GrabImage());
}

void CModelViewer::OnViewZoomIn() {
    if (m_pView) {
        m_pView->Zoom(1.25f);
    }
}

void CModelViewer::OnViewZoomOut() {
    if (m_pView) {
        m_pView->Zoom(0.8f);
    }
}

void CModelViewer::OnViewReset() {
    if (m_pView) {
        m_pView->ResetCamera();
    }
}

bool CModelViewer::OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) {
    if (id == ID_EDIT_COPY && FocusElsewhere()) {
        return false;
    }
    return DispatchCommand(*this, kModelCommands, id, query, ui) ||
           CChildFrame::OnCmdMsg(id, query, ui);
}
