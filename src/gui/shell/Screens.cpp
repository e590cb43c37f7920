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
    if (job.kind == JobKind::Zone) {
        m_zoneJob = job;
        frmMethod1* zone = Zone();
        const ZoneTexts texts = JobToZoneTexts(job);
        for (const ZoneEntry& entry : kZoneFields) {
            zone->SetEntryText(entry.text, QString::fromStdString(texts.*entry.text));
        }
        zone->ClearZoneResults();
        zone->show();
        zone->raise();
        zone->activateWindow();
        return;
    }
    m_poolJob = job;
    frmMethod2* pool = Pool();
    const PoolTexts texts = JobToPoolTexts(job);
    for (const PoolEntry& entry : kPoolFields) {
        pool->SetEntryText(entry.text, QString::fromStdString(texts.*entry.text));
    }
    pool->ClearPoolResults();
    pool->ShowStandalone();
}

Job Screens::JobOf(const QObject* screen) {
    if (screen == m_pool.get()) {
        return PoolJob(m_pool->EntryTexts(), m_poolJob.title, m_poolJob.notes);
    }
    return ZoneJob(Zone()->EntryTexts(), m_zoneJob.title, m_zoneJob.notes);
}
