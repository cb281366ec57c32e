// SPDX-License-Identifier: MIT
#include "viewers/music_viewer.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/prompts.h"
#include "res/resource.h"
#include "viewers/hex_viewer.h"
#include "viewers/music_export.h"
#include "viewers/music_player.h"

namespace {

const CommandMapEntry<CMusicViewer> kMusicCommands[] = {
    {ID_FILE_EXPORT_AUDIO, &CMusicViewer::OnFileExportAudio, &CMusicViewer::OnUpdateExportAudio},
};

constexpr int kTicksPerSecond = 10;  // of the position slider

QString Instruments(const MidiTrack& track) {
    QStringList names;
    for (const MidiProgram& p : track.programs) {
        names << QString::fromLatin1(GeneralMidiInstrument(p.channel, p.program));
    }
    for (uint8_t channel : track.channels) {
        if (channel == 9 && !names.contains("Percussion")) {
            names << "Percussion";
        }
    }
    names.removeDuplicates();
    return names.join(", ");
}

QString Time(double seconds) {
    return QString::fromStdString(FormatMinutesSeconds(seconds));
}

}  // namespace

CMusicViewer::CMusicViewer(QWidget* parent)
    : CChildFrame(parent),
      m_pTitle(new QLabel),
      m_pNotice(new QLabel),
      m_pTime(new QLabel),
      m_pTracks(new QTreeWidget),
      m_pPlay(new QPushButton(tr("Play"))),
      m_pStop(new QPushButton(tr("Stop"))),
      m_pSoundFont(new QPushButton(tr("SoundFont..."))),
      m_pPosition(new QSlider(Qt::Horizontal)),
      m_pVolume(new QSlider(Qt::Horizontal)) {
    auto* layout = new QVBoxLayout(GetClientWidget());
    QFont big = m_pTitle->font();
    big.setBold(true);
    m_pTitle->setFont(big);
    m_pNotice->setWordWrap(true);
    m_pNotice->hide();
    m_pTracks->setHeaderLabels({tr("Track"), tr("Name"), tr("Instruments"), tr("Notes")});
    m_pTracks->setRootIsDecorated(false);
    m_pTracks->header()->setStretchLastSection(false);
    m_pTracks->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_pVolume->setRange(0, 100);
    m_pVolume->setValue(100);
    m_pVolume->setMaximumWidth(100);
    m_pVolume->setToolTip(tr("Volume"));
    auto* controls = new QHBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_pPlay, m_pStop, m_pPosition, m_pTime,
                                         new QLabel(tr("Volume")), m_pVolume, m_pSoundFont}) {
        controls->addWidget(w);
    }
    layout->addWidget(m_pTitle);
    layout->addWidget(m_pNotice);
    layout->addWidget(m_pTracks, 1);
    layout->addLayout(controls);
    connect(m_pPlay, &QPushButton::clicked, this, &CMusicViewer::OnPlayPause);
    connect(m_pStop, &QPushButton::clicked, this, &CMusicViewer::OnStop);
    connect(m_pSoundFont, &QPushButton::clicked, this, &CMusicViewer::OnChooseSoundFont);
    connect(m_pPosition, &QSlider::sliderPressed, this, [this] { m_bDragging = true; });
    connect(m_pPosition, &QSlider::sliderReleased, this, [this] {
        m_bDragging = false;
        m_pPlayer->Seek(static_cast<double>(m_pPosition->value()) / kTicksPerSecond);
    });
    // A click on the groove or a key moves the slider without a drag: seek there too.
    connect(m_pPosition, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove && m_pPlayer) {
            QTimer::singleShot(0, this, [this] {
                m_pPlayer->Seek(static_cast<double>(m_pPosition->value()) / kTicksPerSecond);
            });
        }
    });
    connect(m_pVolume, &QSlider::valueChanged, this, [this](int v) {
        if (m_pPlayer) {
            m_pPlayer->SetVolume(v / 100.0);
        }
    });
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    space->setContext(Qt::WidgetWithChildrenShortcut);
    connect(space, &QShortcut::activated, this, &CMusicViewer::OnPlayPause);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &CMusicViewer::UpdateControls);
    timer->start(200);
}

CMusicViewer::~CMusicViewer() = default;

bool CMusicViewer::OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) {
    return DispatchCommand(*this, kMusicCommands, id, query, ui) ||
           CChildFrame::OnCmdMsg(id, query, ui);
}

bool CMusicViewer::LoadEntryData(const unsigned char* pData, uint32_t nSize) {
    m_data.assign(pData, pData + (pData ? nSize : 0));
    const MidiError error = ReadMidi(m_data.data(), m_data.size(), m_info);
    if (error != MidiError::None) {
        ShowUnreadable(error);
        return true;
    }
    ShowSequence();
    return true;
}

void CMusicViewer::ShowSequence() {
    m_pTitle->setText(tr("%1 — %2").arg(GetEntryName(), Time(m_info.lengthSeconds)));
    for (size_t i = 0; i < m_info.tracks.size(); ++i) {
        const MidiTrack& track = m_info.tracks[i];
        auto* item = new QTreeWidgetItem(m_pTracks);
        item->setText(0, QString::number(i + 1));
        item->setText(
            1, QString::fromLatin1(track.name.data(), static_cast<qsizetype>(track.name.size())));
        item->setText(2, Instruments(track));
        item->setText(3, QString::number(track.noteCount));
    }
    m_pTracks->resizeColumnToContents(1);
    m_pPosition->setRange(0, static_cast<int>(m_info.lengthSeconds * kTicksPerSecond));
    m_pPlayer = new CMusicPlayer(m_data, m_info, this);
    connect(m_pPlayer, &CMusicPlayer::stateChanged, this, &CMusicViewer::UpdateControls);
    UpdateControls();
}

void CMusicViewer::ShowUnreadable(MidiError error) {
    m_pTitle->setText(GetEntryName());
    m_pNotice->setText(
        tr("Shown as bytes: %1.").arg(QString::fromLatin1(DescribeMidiError(error))));
    m_pNotice->show();
    m_pTracks->hide();
    for (QWidget* w : {static_cast<QWidget*>(m_pPlay), static_cast<QWidget*>(m_pStop),
                       static_cast<QWidget*>(m_pPosition), static_cast<QWidget*>(m_pTime),
                       static_cast<QWidget*>(m_pVolume), static_cast<QWidget*>(m_pSoundFont)}) {
        w->hide();
    }
    m_pHex = new CHexView;
    m_pHex->SetData(m_data.data(), m_data.size());
    static_cast<QVBoxLayout*>(GetClientWidget()->layout())->insertWidget(2, m_pHex, 1);
}

QString CMusicViewer::GetNotice() const {
    return m_pNotice->isHidden() ? QString() : m_pNotice->text();
}

void CMusicViewer::UpdateControls() {
    if (!m_pPlayer) {
        return;
    }
    const QString problem = m_pPlayer->Problem();
    m_pNotice->setText(problem);
    m_pNotice->setVisible(!problem.isEmpty());
    m_pPlay->setEnabled(problem.isEmpty());
    m_pStop->setEnabled(problem.isEmpty());
    m_pPlay->setText(m_pPlayer->IsPlaying() ? tr("Pause") : tr("Play"));
    const double at = m_pPlayer->Position();
    if (!m_bDragging) {
        m_pPosition->setValue(static_cast<int>(at * kTicksPerSecond));
    }
    m_pTime->setText(Time(at) + " / " + Time(m_info.lengthSeconds));
}

void CMusicViewer::OnPlayPause() {
    if (!m_pPlayer) {
        return;
    }
    if (m_pPlayer->IsPlaying()) {
        m_pPlayer->Pause();
    } else {
        m_pPlayer->Play();
    }
}

void CMusicViewer::OnStop() {
    if (m_pPlayer) {
        m_pPlayer->Stop();
    }
}

void CMusicViewer::OnChooseSoundFont() {
    platform::OpenFileRequest request;
    request.fileName = CMusicPlayer::ChosenSoundFont();
    request.filter = tr("SoundFonts (*.sf2)|*.sf2|").toStdString();
    request.owner = this;
    if (const std::optional<std::string> path = platform::Prompts().OpenFile(request)) {
        CMusicPlayer::SetSoundFont(*path);
        m_pPlayer->Reload();
    }
}

void CMusicViewer::OnFileExportAudio() {
    ExportMusic(this, m_data, GetEntryName().toStdString(), GetSourceFile());
}

void CMusicViewer::OnUpdateExportAudio(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_pPlayer != nullptr);
}
