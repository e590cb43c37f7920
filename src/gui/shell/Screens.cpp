#include "gui/shell/Screens.h"

#include "gui/pool/frmMethod2.h"
#include "gui/zone/frmMethod1.h"

#include "gui/common/ScreenLinks.h"

Screens::Screens(MadeHook made) : m_made(std::move(made)) {}

// The pool screen was made after the zone screen, and goes first.
Screens::~Screens() {
    m_pool.reset();
    m_zone.reset();
}

frmMethod1* Screens::Zone() {
    if (!m_zone) {
        m_zone = std::make_unique<frmMethod1>();
        connect(m_zone.get(), &frmMethod1::estimateRequested, this, &Screens::EstimatePoolGain);
        connect(m_zone.get(), &frmMethod1::hideDetailsRequested, this,
                [this] { HideDetailsFrom(m_zone.get()); });
        connect(m_zone.get(), &frmMethod1::entriesChanged, this,
                [this] { ReportRoomEntries(JobKind::Zone); });
        if (m_made) {
            m_made(m_zone.get());
        }
    }
    return m_zone.get();
}

frmMethod2* Screens::Pool() {
    if (!m_pool) {
        frmMethod1* zone = Zone();
        m_pool = std::make_unique<frmMethod2>();
        connect(m_pool.get(), &frmMethod2::hideDetailsRequested, this,
                [this] { HideDetailsFrom(m_pool.get()); });
        connect(m_pool.get(), &frmMethod2::entriesChanged, this,
                [this] { ReportRoomEntries(JobKind::Pool); });
        connect(m_pool.get(), &frmMethod2::iterationCountWritten, zone,
                &frmMethod1::ShowIterationCount);
        connect(m_pool.get(), &frmMethod2::estimateHandedBack, zone, &frmMethod1::TakePoolEstimate);
        connect(m_pool.get(), &frmMethod2::zoneResultsOutdated, zone,
                &frmMethod1::ClearZoneResults);
        if (m_made) {
            m_made(m_pool.get());
        }
    }
    return m_pool.get();
}

void Screens::EstimatePoolGain(const QString& zoneTemp, const QString& zoneRh) {
    // The estimator's entries are the zone's, not a pool room's.
    Release(JobKind::Pool);
    Pool()->ShowAsEstimator(zoneTemp, zoneRh);
}

void Screens::HideDetailsFrom(QObject* screen) {
    // The pressed screen has hidden its own panel already.
    if (screen == m_zone.get()) {
        Pool()->HideDetailPanel();
    } else {
        Zone()->HideDetailPanel();
    }
}

void Screens::RevealDetails() {
    frmMethod1* zone = Zone();
    zone->ShowDetailPanel();
    zone->setWindowState(zone->windowState() | Qt::WindowMaximized);
    frmMethod2* pool = Pool();
    pool->ShowDetailPanel();
    pool->setWindowState(pool->windowState() | Qt::WindowMaximized);
}

void Screens::OpenJob(const Job& job) {
    Release(job.kind);
    if (job.kind == JobKind::Zone) {
        m_zoneJob = job;
    } else {
        m_poolJob = job;
    }
    WriteEntries(job, true);
}

void Screens::WriteEntries(const Job& job, bool show) {
    if (job.kind == JobKind::Zone) {
        frmMethod1* zone = Zone();
        const ZoneTexts texts = JobToZoneTexts(job);
        for (const ZoneEntry& entry : kZoneFields) {
            zone->SetEntryText(entry.text, QString::fromStdString(texts.*entry.text));
        }
        zone->ClearZoneResults();
        if (!show) {
            return;
        }
        zone->show();
        zone->raise();
        zone->activateWindow();
        return;
    }
    frmMethod2* pool = Pool();
    const PoolTexts texts = JobToPoolTexts(job);
    for (const PoolEntry& entry : kPoolFields) {
        pool->SetEntryText(entry.text, QString::fromStdString(texts.*entry.text));
    }
    pool->ClearPoolResults();
    if (show) {
        pool->ShowStandalone();
    }
}

QMainWindow* Screens::ScreenOf(JobKind kind) {
    return kind == JobKind::Zone ? static_cast<QMainWindow*>(Zone()) : Pool();
}

void Screens::OpenRoom(std::uint64_t room, const QString& name, const Job& job) {
    ReleaseRoom(room);
    Release(job.kind);
    // A job saved from the screen is titled with the room's name.
    (job.kind == JobKind::Zone ? m_zoneJob : m_poolJob) =
        Job{job.kind, name.toStdString(), {}, {}, {}};
    // Linked only once its entries are written: writing them is no change of the room's.
    WriteEntries(job, true);
    RoomLink& link = LinkOf(job.kind);
    QMainWindow* screen = ScreenOf(job.kind);
    link.room = room;
    link.caption = screen->windowTitle();
    RenameRoom(room, name);
}

void Screens::RenameRoom(std::uint64_t room, const QString& name) {
    for (JobKind kind : {JobKind::Zone, JobKind::Pool}) {
        if (room != 0 && LinkOf(kind).room == room) {
            ScreenOf(kind)->setWindowTitle(LinkOf(kind).caption + QStringLiteral(": ") + name);
        }
    }
}

void Screens::ReplaceRoomJob(std::uint64_t room, const Job& job) {
    RoomLink& link = LinkOf(job.kind);
    if (room == 0 || link.room != room) {
        return;
    }
    link.room = 0;
    WriteEntries(job, false);
    link.room = room;
}

void Screens::ReleaseRoom(std::uint64_t room) {
    for (JobKind kind : {JobKind::Zone, JobKind::Pool}) {
        if (room != 0 && LinkOf(kind).room == room) {
            Release(kind);
        }
    }
}

void Screens::ReleaseRooms() {
    Release(JobKind::Zone);
    Release(JobKind::Pool);
}

void Screens::Release(JobKind kind) {
    RoomLink& link = LinkOf(kind);
    if (link.room == 0) {
        return;
    }
    link.room = 0;
    ScreenOf(kind)->setWindowTitle(link.caption);
}

void Screens::ReportRoomEntries(JobKind kind) {
    const RoomLink& link = LinkOf(kind);
    if (link.room != 0) {
        emit roomEntriesChanged(link.room, kind == JobKind::Zone ? ZoneJob(m_zone->EntryTexts())
                                                                 : PoolJob(m_pool->EntryTexts()));
    }
}

Job Screens::JobOf(const QObject* screen) {
    if (screen == m_pool.get()) {
        return PoolJob(m_pool->EntryTexts(), m_poolJob.title, m_poolJob.notes);
    }
    return ZoneJob(Zone()->EntryTexts(), m_zoneJob.title, m_zoneJob.notes);
}
