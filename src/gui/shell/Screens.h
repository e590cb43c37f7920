#pragma once

#include "core/jobs/JobFile.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>

class QMainWindow;
class frmMethod1;
class frmMethod2;

// The two calculation screens and what passes between them. Each screen is made
// once, when first needed, and lives until the program ends.
class Screens : public QObject {
    Q_OBJECT

public:
    // Called with each screen as it is made, so that the program can give it its
    // menu bar and close rule.
    using MadeHook = std::function<void(QMainWindow* screen)>;

    explicit Screens(MadeHook made = {});
    ~Screens() override;

    frmMethod1* Zone();
    frmMethod2* Pool();
    // The pool screen if it has been made, without making it.
    frmMethod2* PoolIfMade() const { return m_pool.get(); }

    // "Estimate..": the pool screen as the estimator of the zone's pool gain.
    void EstimatePoolGain(const QString& zoneTemp, const QString& zoneRh);

    // Hide Details pressed on one screen: its panel first, then the other's.
    void HideDetailsFrom(QObject* screen);

    // The right password: both detail panels shown, both screens maximised. A
    // screen not made yet is made hidden, and shows so when next opened.
    void RevealDetails();

    // A job opened: its entry texts written into its own screen as typing would,
    // that screen's results cleared and the screen shown.
    void OpenJob(const Job& job);

    // The job of a calculation screen's entry texts as they stand, with the title
    // and notes of the job last opened there.
    Job JobOf(const QObject* screen);

    // A project's room opened on its calculation screen as a job is, with the
    // room's name in the screen's caption. From then on every change of the
    // screen's entries, Calculate's included, is reported by roomEntriesChanged,
    // until the room is released or another job or room takes the screen.
    void OpenRoom(std::uint64_t room, const QString& name, const Job& job);
    void RenameRoom(std::uint64_t room, const QString& name);
    // The room's entries replaced in the project: its screen shows them, its
    // results cleared.
    void ReplaceRoomJob(std::uint64_t room, const Job& job);
    // The screen that holds the room is a plain calculation screen again.
    void ReleaseRoom(std::uint64_t room);
    void ReleaseRooms();

signals:
    // The entries of a project's room, as its screen now holds them.
    void roomEntriesChanged(std::uint64_t room, const Job& job);

private:
    // The room a screen holds, if any, and the caption it had before.
    struct RoomLink {
        std::uint64_t room = 0;
        QString caption;
    };
    RoomLink& LinkOf(JobKind kind) { return kind == JobKind::Zone ? m_zoneRoom : m_poolRoom; }
    QMainWindow* ScreenOf(JobKind kind);
    void Release(JobKind kind);
    // Its screen shown and brought forward when `show`.
    void WriteEntries(const Job& job, bool show);
    void ReportRoomEntries(JobKind kind);

    MadeHook m_made;
    // Kept from the job last opened on each screen, for the next save there.
    Job m_zoneJob;
    Job m_poolJob;
    RoomLink m_zoneRoom;
    RoomLink m_poolRoom;
    std::unique_ptr<frmMethod1> m_zone;
    std::unique_ptr<frmMethod2> m_pool;
};
